-- Sewer catalogue of rereva2000r.mdb: manhole types, pipe materials with their
-- diameters and step limits, reach layer colours, construction stages, pavements
-- and the geometry rows of the sewer blocks.
--
-- Booleans are 0/1. Step limits (DegrauAte), chimney heights (Chamine) and
-- greatest depths (AlturaMax) are in millimetres; DwgDiam is in drawing units,
-- the distance from a manhole's centre to the rim of its symbol.

CREATE TABLE E_PVBlocks (
  Abrev TEXT NOT NULL,
  Descricao TEXT NOT NULL,
  Bloco TEXT NOT NULL,
  DwgDiam DOUBLE NOT NULL,
  Chamine DOUBLE NOT NULL,
  AlturaMax DOUBLE NOT NULL,
  DiamSaida SMALLINT NOT NULL,
  NumEntradas SMALLINT NOT NULL,
  DiamNominal TEXT NOT NULL,
  Inserir BOOLEAN NOT NULL DEFAULT 0
);

CREATE TABLE E_Materiais (
  Material TEXT NOT NULL,
  CodMaterial SMALLINT NOT NULL,
  Abrev TEXT NOT NULL,
  Diametro TEXT NOT NULL,
  DegrauAte SINGLE NOT NULL
);

CREATE TABLE E_CodDiam (
  "Index" SMALLINT NOT NULL UNIQUE,
  Diametro TEXT NOT NULL UNIQUE
);

CREATE TABLE E_TRLayerColor (
  Diametro SMALLINT NOT NULL UNIQUE,
  Cor SMALLINT NOT NULL
);

CREATE TABLE E_TRLayerParam (
  Etapa SMALLINT NOT NULL UNIQUE,
  Descricao TEXT NOT NULL,
  Sufixo TEXT,
  LineType TEXT NOT NULL
);

CREATE TABLE E_Pavimentos (
  Nome TEXT NOT NULL UNIQUE
);

CREATE TABLE E_DXFs (
  Bloco TEXT NOT NULL,
  S1 TEXT NOT NULL,
  S2 TEXT NOT NULL,
  S3 TEXT,
  S4 TEXT
);

BEGIN;

-- Manhole types. The panel offers the rows with Inserir set, in DiamNominal order;
-- the automatic choice takes the first of them that is deep and wide enough and
-- has inlets to spare, never one of the last three, and falls back on the last.
-- Each type has a block of its own, so that the quantities bill the type that was
-- drawn; DN 1000 keeps "E-PV", the block that every earlier manhole carries.
INSERT INTO E_PVBlocks (Abrev, Descricao, Bloco, DwgDiam, Chamine, AlturaMax, DiamSaida, NumEntradas, DiamNominal, Inserir) VALUES
  ('PV-0600', 'Poço de visita DN 600 (em desuso)', 'E-PV600', 1, 600, 1500, 200, 3, '600', 0),
  ('TIL', 'Terminal de inspeção e limpeza', 'E-PVTIL', 1, 0, 1200, 150, 2, '150', 0),
  ('PV-1000', 'Poço de visita DN 1000 até 2,50 m', 'E-PV', 1, 1000, 2500, 400, 4, '1000', 1),
  ('PV-1200', 'Poço de visita DN 1200 até 4,00 m', 'E-PV1200', 1, 1500, 4000, 600, 5, '1200', 1),
  ('PV-1500', 'Poço de visita DN 1500 até 6,00 m', 'E-PV1500', 1, 2000, 6000, 1000, 6, '1500', 1),
  ('PV-2000', 'Poço de visita DN 2000 até 8,00 m', 'E-PV2000', 1, 2500, 8000, 1500, 6, '2000', 1),
  ('CJ-2200', 'Caixa de junção 2,20 x 2,20 m', 'E-PVCJ2200', 1, 3000, 10000, 1500, 8, '2200', 1),
  ('CJ-2400', 'Caixa de junção 2,40 x 2,40 m', 'E-PVCJ2400', 1, 3000, 12000, 1500, 8, '2400', 1),
  ('PV-ESP', 'Poço de visita especial - verificar dimensão', 'E-PV250', 1.25, 3000, 15000, 1500, 9, '2500', 1);

-- Pipe materials: one row per diameter with the greatest drop built as a step.
INSERT INTO E_Materiais (Material, CodMaterial, Abrev, Diametro, DegrauAte) VALUES
  ('PVC', 1, 'PVC', '100', 500),
  ('PVC', 1, 'PVC', '150', 500),
  ('PVC', 1, 'PVC', '200', 500),
  ('PVC', 1, 'PVC', '250', 600),
  ('PVC', 1, 'PVC', '300', 600),
  ('PVC', 1, 'PVC', '350', 600),
  ('PVC', 1, 'PVC', '400', 600),
  ('Cerâmico', 2, 'MCV', '100', 500),
  ('Cerâmico', 2, 'MCV', '150', 500),
  ('Cerâmico', 2, 'MCV', '200', 500),
  ('Cerâmico', 2, 'MCV', '250', 600),
  ('Cerâmico', 2, 'MCV', '300', 600),
  ('Cerâmico', 2, 'MCV', '375', 600),
  ('Cerâmico', 2, 'MCV', '450', 800),
  ('Concreto', 3, 'CA', '300', 600),
  ('Concreto', 3, 'CA', '400', 600),
  ('Concreto', 3, 'CA', '500', 800),
  ('Concreto', 3, 'CA', '600', 800),
  ('Concreto', 3, 'CA', '700', 1000),
  ('Concreto', 3, 'CA', '800', 1000),
  ('Concreto', 3, 'CA', '900', 1000),
  ('Concreto', 3, 'CA', '1000', 1000),
  ('Concreto', 3, 'CA', '1100', 1000),
  ('Concreto', 3, 'CA', '1200', 1000),
  ('Concreto', 3, 'CA', '1500', 1000),
  ('Ferro Fundido', 4, 'FoFo', '100', 500),
  ('Ferro Fundido', 4, 'FoFo', '150', 500),
  ('Ferro Fundido', 4, 'FoFo', '200', 500),
  ('Ferro Fundido', 4, 'FoFo', '250', 600),
  ('Ferro Fundido', 4, 'FoFo', '300', 600),
  ('Ferro Fundido', 4, 'FoFo', '350', 600),
  ('Ferro Fundido', 4, 'FoFo', '400', 600),
  ('Ferro Fundido', 4, 'FoFo', '500', 800),
  ('Ferro Fundido', 4, 'FoFo', '600', 800),
  ('PEAD', 5, 'PEAD', '150', 500),
  ('PEAD', 5, 'PEAD', '200', 500),
  ('PEAD', 5, 'PEAD', '250', 600),
  ('PEAD', 5, 'PEAD', '300', 600),
  ('PEAD', 5, 'PEAD', '400', 600),
  ('PEAD', 5, 'PEAD', '500', 800),
  ('PEAD', 5, 'PEAD', '600', 800),
  ('PEAD', 5, 'PEAD', '800', 1000);

-- Nominal diameters and their order.
INSERT INTO E_CodDiam ("Index", Diametro) VALUES
  (1, '100'), (2, '150'), (3, '200'), (4, '250'), (5, '300'), (6, '350'),
  (7, '375'), (8, '400'), (9, '450'), (10, '500'), (11, '600'), (12, '700'),
  (13, '800'), (14, '900'), (15, '1000'), (16, '1100'), (17, '1200'), (18, '1500');

-- Reach layer colour by diameter: the first row whose diameter is not smaller wins.
INSERT INTO E_TRLayerColor (Diametro, Cor) VALUES
  (100, 8), (150, 1), (200, 2), (250, 3), (300, 4),
  (350, 5), (400, 6), (500, 30), (600, 40), (800, 150),
  (1000, 170), (1200, 210), (1500, 230);

-- Construction stages, numbered from 0 in list order; reach layers are T_<diameter><Sufixo>.
INSERT INTO E_TRLayerParam (Etapa, Descricao, Sufixo, LineType) VALUES
  (0, 'Existente', '_EX', 'DASHED'),
  (1, '1a. Etapa', NULL, 'CONTINUOUS'),
  (2, '2a. Etapa', '_E2', 'DASHDOT'),
  (3, '3a. Etapa', '_E3', 'DIVIDE'),
  (4, 'A Desativar', '_DES', 'PHANTOM');

-- Pavements.
INSERT INTO E_Pavimentos (Nome) VALUES
  ('Terra'),
  ('Asfalto'),
  ('Paralelepípedo'),
  ('Pedra irregular'),
  ('Bloquete de concreto'),
  ('Concreto'),
  ('Cascalho'),
  ('Passeio cimentado');

-- Block geometry. Attribute rows start their list with a two-digit number: the
-- rows are read in S4 order, which is the order of the attributes in the block.
-- E-PV
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('E-PV', 'Circle', '0,0', '1', NULL),
  ('E-PV', 'Circle', '0,0', '0.4', NULL),
  ('E-PV', 'Attribute', '1.5', '1.3,1.3', '01,NUMERO,N_PV,0,0,2,ROMANS'),
  ('E-PV', 'Attribute', '1', '1.5,0.2', '02,CT,Texto_PV,0,0,7,ROMANS'),
  ('E-PV', 'Attribute', '1', '1.5,-1.2', '03,CS,Texto_PV,0,0,7,ROMANS'),
  ('E-PV', 'Attribute', '1', '1.5,-2.6', '04,CP,Texto_PV,0,0,7,ROMANS'),
  ('E-PV', 'Attribute', '1', '0,0', '05,ET,Texto_PV,1,0,7,ROMANS');

-- The other manhole types of the same size are drawn as E-PV.
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4)
  SELECT t.Bloco, d.S1, d.S2, d.S3, d.S4
  FROM (SELECT DISTINCT Bloco FROM E_PVBlocks WHERE DwgDiam = 1 AND Bloco <> 'E-PV') t, E_DXFs d
  WHERE d.Bloco = 'E-PV' ORDER BY t.Bloco, d.S1, d.S4;

-- E-PV250
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('E-PV250', 'Circle', '0,0', '1.25', NULL),
  ('E-PV250', 'Circle', '0,0', '0.5', NULL),
  ('E-PV250', 'Attribute', '1.5', '1.55,1.55', '01,NUMERO,N_PV,0,0,2,ROMANS'),
  ('E-PV250', 'Attribute', '1', '1.75,0.2', '02,CT,Texto_PV,0,0,7,ROMANS'),
  ('E-PV250', 'Attribute', '1', '1.75,-1.2', '03,CS,Texto_PV,0,0,7,ROMANS'),
  ('E-PV250', 'Attribute', '1', '1.75,-2.6', '04,CP,Texto_PV,0,0,7,ROMANS'),
  ('E-PV250', 'Attribute', '1', '0,0', '05,ET,Texto_PV,1,0,7,ROMANS');

-- E-TRSAN. The reach drawing puts the drop texts (TCP, TCS) and marks (TQ,
-- DG) at the pipe's end, just short of the downstream manhole's rim: the texts
-- end there (right-aligned) and run upstream, and the marks are small enough
-- to stay off the manhole's symbol, which is then picked wherever it is hit.
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('E-TRSAN', 'Line', '-0.9,0.45', '0.9,0', NULL),
  ('E-TRSAN', 'Line', '0.9,0', '-0.9,-0.45', NULL),
  ('E-TRSAN', 'Line', '-0.9,-0.45', '-0.9,0.45', NULL),
  ('E-TRSAN', 'Attribute', '1.5', '0,1.1713', '01,DD,TRECHOS,0,13,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '1.5', '0,-1.9397', '02,DEC,TRECHOS,0,7,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '1', '0,-4', '03,MAT,TRECHOS,1,7,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '1', '0,-5.5', '04,ET,TRECHOS,1,7,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '0.0001', '-10,0', '05,PV1,FLUXO,0,0,12,ROMANS'),
  ('E-TRSAN', 'Attribute', '0.0001', '10,0', '06,PV2,FLUXO,0,0,12,ROMANS'),
  ('E-TRSAN', 'Attribute', '1.5', '0,3.1578', '07,TRECHO,Num_Trecho,0,13,4,ROMANS'),
  ('E-TRSAN', 'Attribute', '1', '0,-7', '08,PAVMTO,TRECHOS,1,7,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '1', '12,0.15', '09,TCP,TRECHOS,0,14,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '1', '12,-0.15', '10,TCS,TRECHOS,0,8,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '0.6', '12,0', '11,TQ,TRECHOS,0,10,3,ROMANS'),
  ('E-TRSAN', 'Attribute', '0.3', '12,0', '12,DG,TRECHOS,0,10,3,ROMANS');

-- E-PVGEN
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('E-PVGEN', 'Circle', '0,0', '1', NULL),
  ('E-PVGEN', 'Line', '-0.7071,-0.7071', '0.7071,0.7071', NULL),
  ('E-PVGEN', 'Line', '-0.7071,0.7071', '0.7071,-0.7071', NULL),
  ('E-PVGEN', 'Attribute', '1.5', '1.3,1.3', '01,NUMERO,GEN_TextosPV,0,0,5,ROMANS'),
  ('E-PVGEN', 'Attribute', '1', '1.5,-0.5', '02,CT,GEN_TextosPV,0,0,5,ROMANS'),
  ('E-PVGEN', 'Attribute', '1', '0,0', '03,ET,GEN_TextosPV,1,0,5,ROMANS'),
  ('E-PVGEN', 'Attribute', '1.2', '-1.3,1.3', '04,COLETOR,GEN_Coletor,0,2,1,ROMANS');

-- E-TRCGEN
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('E-TRCGEN', 'Line', '-0.9,0.45', '0.9,0', NULL),
  ('E-TRCGEN', 'Line', '0.9,0', '-0.9,-0.45', NULL),
  ('E-TRCGEN', 'Line', '-0.9,-0.45', '-0.9,0.45', NULL),
  ('E-TRCGEN', 'Attribute', '1.5', '0,1.2', '01,TRECHO,GEN_Texto_TR,0,13,4,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '-4,0', '02,PV1,GEN_Texto_TR,1,0,4,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '4,0', '03,PV2,GEN_Texto_TR,1,0,4,ROMANS'),
  ('E-TRCGEN', 'Attribute', '0.0001', '-10,0', '04,IPV1,FLUXO,0,0,12,ROMANS'),
  ('E-TRCGEN', 'Attribute', '0.0001', '10,0', '05,IPV2,FLUXO,0,0,12,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1.2', '0,-1.2', '06,COMP,GEN_Texto_TR2,0,7,3,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '0,-3', '07,ET,GEN_Texto_TR3,1,7,8,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '0,-4.5', '08,PAVMTO,GEN_Texto_TR3,1,7,8,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '0,-6', '09,CONTRIB,GEN_Texto_TR3,1,7,8,ROMANS'),
  ('E-TRCGEN', 'Attribute', '1', '0,-7.5', '10,MATERIAL,GEN_Texto_TR3,1,7,8,ROMANS');

-- RQ-A
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('RQ-A', 'Line', '0,0', '140,0', NULL),
  ('RQ-A', 'Line', '140,0', '140,8', NULL),
  ('RQ-A', 'Line', '140,8', '0,8', NULL),
  ('RQ-A', 'Line', '0,8', '0,0', NULL),
  ('RQ-A', 'Line', '0,4', '140,4', NULL),
  ('RQ-A', 'Line', '10,0', '10,4', NULL),
  ('RQ-A', 'Line', '35,0', '35,4', NULL),
  ('RQ-A', 'Line', '110,0', '110,4', NULL),
  ('RQ-A', 'Line', '122,0', '122,4', NULL),
  ('RQ-A', 'Text', '2', '70,6', 'QUANTITATIVOS DE MATERIAIS,QUANTITATIVOS,ROMANS,10,7'),
  ('RQ-A', 'Text', '1.2', '5,2', 'ITEM,QUANTITATIVOS,ROMANS,10,7'),
  ('RQ-A', 'Text', '1.2', '22.5,2', 'CÓDIGO,QUANTITATIVOS,ROMANS,10,7'),
  ('RQ-A', 'Text', '1.2', '72.5,2', 'ESPECIFICAÇÃO,QUANTITATIVOS,ROMANS,10,7'),
  ('RQ-A', 'Text', '1.2', '116,2', 'UNID.,QUANTITATIVOS,ROMANS,10,7'),
  ('RQ-A', 'Text', '1.2', '131,2', 'QUANT.,QUANTITATIVOS,ROMANS,10,7');

-- RQ-E
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('RQ-E', 'Line', '0,0', '0,5', NULL),
  ('RQ-E', 'Line', '140,0', '140,5', NULL),
  ('RQ-E', 'Line', '0,0', '140,0', NULL),
  ('RQ-E', 'Attribute', '1.8', '70,2.5', '01,ETA,QUANTITATIVOS,0,10,7,ROMANS');

-- RQ-I
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('RQ-I', 'Line', '0,0', '0,3', NULL),
  ('RQ-I', 'Line', '140,0', '140,3', NULL),
  ('RQ-I', 'Line', '0,0', '140,0', NULL),
  ('RQ-I', 'Line', '10,0', '10,3', NULL),
  ('RQ-I', 'Line', '35,0', '35,3', NULL),
  ('RQ-I', 'Line', '110,0', '110,3', NULL),
  ('RQ-I', 'Line', '122,0', '122,3', NULL),
  ('RQ-I', 'Attribute', '1.2', '5,1.5', '01,N,QUANTITATIVOS,0,10,7,ROMANS'),
  ('RQ-I', 'Attribute', '1.2', '11,1.5', '02,COD,QUANTITATIVOS,0,9,7,ROMANS'),
  ('RQ-I', 'Attribute', '1.2', '36,1.5', '03,ESP,QUANTITATIVOS,0,9,7,ROMANS'),
  ('RQ-I', 'Attribute', '1.2', '116,1.5', '04,UN,QUANTITATIVOS,0,10,7,ROMANS'),
  ('RQ-I', 'Attribute', '1.2', '139,1.5', '05,QTT,QUANTITATIVOS,0,11,7,ROMANS');

-- RQ-T
INSERT INTO E_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('RQ-T', 'Line', '0,-3', '0,0', NULL),
  ('RQ-T', 'Line', '140,-3', '140,0', NULL),
  ('RQ-T', 'Line', '0,-3', '140,-3', NULL),
  ('RQ-T', 'Line', '122,-3', '122,0', NULL),
  ('RQ-T', 'Attribute', '1.2', '139,-1.5', '01,TOTAL,QUANTITATIVOS,0,11,7,ROMANS'),
  ('RQ-T', 'Text', '1.2', '121,-1.5', 'TOTAL DE TUBULAÇÕES (m),QUANTITATIVOS,ROMANS,11,7');

COMMIT;
