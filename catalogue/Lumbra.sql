-- Template of the hydraulic-model database that the water network export copies
-- and fills: junctions, pipes and demand zones, and the detail tables that record
-- how every pipe was assembled. The tables start empty; the export only adds rows.
-- SMALLINT columns hold 16-bit whole numbers, INTEGER 32-bit ones.

CREATE TABLE "Pressure Junction" (
  Label TEXT,
  X DOUBLE,
  Y DOUBLE,
  Elevation DOUBLE,
  Demand DOUBLE,
  Zone TEXT,
  Numero TEXT
);

CREATE TABLE "Pressure Pipe" (
  Label TEXT,
  StartNode TEXT,
  StopNode TEXT,
  Diameter TEXT,
  Demand DOUBLE,
  Comprimento DOUBLE,
  Material TEXT,
  Etapa SMALLINT
);

CREATE TABLE Zonas (
  Nome TEXT,
  Tipo TEXT,
  TotalTubos DOUBLE,
  TotalNodes INTEGER,
  Contrib DOUBLE,
  ContribM DOUBLE,
  ContribT DOUBLE
);

CREATE TABLE tmp_Nodes (
  Label TEXT,
  X DOUBLE,
  Y DOUBLE,
  r DOUBLE,
  Elevation DOUBLE,
  Zona TEXT
);

CREATE TABLE tmp_PAVs (
  Handle TEXT,
  Diametro TEXT,
  Pavimento TEXT,
  Distancia DOUBLE
);

CREATE TABLE tmp_Zonas (
  Handle TEXT,
  Diametro TEXT,
  Zona TEXT,
  IdZon SMALLINT,
  Distancia DOUBLE,
  Inicial DOUBLE
);

CREATE TABLE tmp_BENDs (
  Handle TEXT,
  Evento TEXT,
  X DOUBLE,
  Y DOUBLE,
  d DOUBLE
);

CREATE TABLE tmp_TUBOS (
  Handle TEXT,
  StartNode TEXT,
  StopNode TEXT,
  Comprimento DOUBLE,
  CompNominal TEXT,
  Codigo TEXT,
  Material TEXT,
  Diametro TEXT,
  Etapa SMALLINT,
  nBolsasIni SMALLINT,
  nBolsasFim SMALLINT,
  PTIni TEXT,
  PTFim TEXT,
  LHandle TEXT,
  AHandle TEXT,
  DemIni DOUBLE,
  DemFim DOUBLE
);
