-- Water catalogue of rereva2000r.mdb: diameters with their layer colours, fittings
-- and pipe types by material, their diameters, sockets, extra item codes, the
-- materials' picture menus and the geometry rows of the water blocks.
--
-- A fitting's code is written into its CODIGO attribute followed by "DN" and the
-- diameters, so no code holds "DN". TLHW gives the fitting's cell in its
-- material's picture menu: row, column, extra rows, extra columns. Materials whose
-- name begins with "Tubulações" hold the pipe types. A socket's number is the S4
-- of its point row in A_DXFs.

CREATE TABLE A_CodDiam (
  "Index" SMALLINT NOT NULL UNIQUE,
  sDiametro TEXT NOT NULL UNIQUE,
  Color SMALLINT NOT NULL
);

CREATE TABLE A_Materiais (
  Material TEXT NOT NULL PRIMARY KEY,
  Tubulacao TEXT NOT NULL,
  DimX SMALLINT NOT NULL,
  DimY SMALLINT NOT NULL
);

CREATE TABLE A_Conexoes (
  codigo TEXT NOT NULL PRIMARY KEY,
  conexao TEXT NOT NULL,
  material TEXT NOT NULL,
  bloco TEXT,
  HasDS BOOLEAN NOT NULL DEFAULT 0,
  TLHW TEXT
);

CREATE TABLE A_Diams (
  codigo TEXT NOT NULL,
  dp TEXT NOT NULL,
  ds TEXT
);

CREATE TABLE A_Bolsas (
  Codigo TEXT NOT NULL,
  Numero TEXT NOT NULL,
  Principal BOOLEAN NOT NULL,
  Anel TEXT,
  Tubulacao TEXT NOT NULL
);

CREATE TABLE A_ConExtra (
  Codigo TEXT NOT NULL,
  Att TEXT NOT NULL,
  Cod TEXT NOT NULL
);

CREATE TABLE A_DXFs (
  Bloco TEXT NOT NULL,
  S1 TEXT NOT NULL,
  S2 TEXT NOT NULL,
  S3 TEXT,
  S4 TEXT
);

BEGIN;

-- Diameters in their order, with the colour of the pipe layers of each.
INSERT INTO A_CodDiam ("Index", sDiametro, Color) VALUES
  (1, '50', 1), (2, '63', 10), (3, '75', 2), (4, '80', 30),
  (5, '90', 50), (6, '100', 3), (7, '110', 70), (8, '150', 4),
  (9, '160', 130), (10, '200', 5), (11, '250', 150), (12, '300', 6),
  (13, '350', 210), (14, '400', 230), (15, '500', 40), (16, '600', 8);

-- Materials: preferred pipe and the columns and rows of the picture menu.
INSERT INTO A_Materiais (Material, Tubulacao, DimX, DimY) VALUES
  ('Diversos', 'Indefinido', 2, 2),
  ('Ferro Fundido', 'Tubo FoFo K7 JGS', 4, 3),
  ('PEAD', 'Tubo PEAD PE100 PN10', 3, 2),
  ('PVC DEFoFo', 'Tubo PVC DEFoFo JE', 4, 2),
  ('PVC PBA', 'Tubo PVC PBA JE Classe 15', 4, 2),
  ('Tubulações Ferro Fundido', 'Tubo FoFo K7 JGS', 2, 1),
  ('Tubulações PEAD', 'Tubo PEAD PE100 PN10', 3, 1),
  ('Tubulações PVC', 'Tubo PVC PBA JE Classe 15', 2, 2);

-- PVC PBA
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('TEPBA', 'Tê', 'PVC PBA', 'A-TE', 1, '0000'),
  ('C90PBA', 'Curva 90°', 'PVC PBA', 'A-CURVA90', 0, '0100'),
  ('C45PBA', 'Curva 45°', 'PVC PBA', 'A-CURVA45', 0, '0200'),
  ('C22PBA', 'Curva 22,5°', 'PVC PBA', 'A-CURVA22', 0, '0300'),
  ('LUPBA', 'Luva de correr', 'PVC PBA', 'A-LUVA', 0, '1000'),
  ('REPBA', 'Redução', 'PVC PBA', 'A-REDUCAO', 1, '1100'),
  ('CAPPBA', 'Cap', 'PVC PBA', 'A-CAP', 0, '1200');
-- PVC DEFoFo
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('TEDEF', 'Tê', 'PVC DEFoFo', 'A-TE', 1, '0000'),
  ('C90DEF', 'Curva 90°', 'PVC DEFoFo', 'A-CURVA90', 0, '0100'),
  ('C45DEF', 'Curva 45°', 'PVC DEFoFo', 'A-CURVA45', 0, '0200'),
  ('C22DEF', 'Curva 22,5°', 'PVC DEFoFo', 'A-CURVA22', 0, '0300'),
  ('LUDEF', 'Luva de correr', 'PVC DEFoFo', 'A-LUVA', 0, '1000'),
  ('REDEF', 'Redução', 'PVC DEFoFo', 'A-REDUCAO', 1, '1100'),
  ('CAPDEF', 'Cap', 'PVC DEFoFo', 'A-CAP', 0, '1200');
-- PEAD
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('TEPE', 'Tê', 'PEAD', 'A-TE', 1, '0000'),
  ('C90PE', 'Curva 90°', 'PEAD', 'A-CURVA90', 0, '0100'),
  ('C45PE', 'Curva 45°', 'PEAD', 'A-CURVA45', 0, '0200'),
  ('LUPE', 'Luva de eletrofusão', 'PEAD', 'A-LUVA', 0, '1000'),
  ('REPE', 'Redução', 'PEAD', 'A-REDUCAO', 1, '1100'),
  ('CAPPE', 'Cap', 'PEAD', 'A-CAP', 0, '1200');
-- Ferro Fundido
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('TEFF', 'Tê', 'Ferro Fundido', 'A-TE', 1, '0000'),
  ('CZFF', 'Cruzeta', 'Ferro Fundido', 'A-CRUZETA', 1, '0100'),
  ('C90FF', 'Curva 90°', 'Ferro Fundido', 'A-CURVA90', 0, '0200'),
  ('C45FF', 'Curva 45°', 'Ferro Fundido', 'A-CURVA45', 0, '0300'),
  ('C22FF', 'Curva 22,5°', 'Ferro Fundido', 'A-CURVA22', 0, '1000'),
  ('C11FF', 'Curva 11,25°', 'Ferro Fundido', 'A-CURVA11', 0, '1100'),
  ('LUFF', 'Luva', 'Ferro Fundido', 'A-LUVA', 0, '1200'),
  ('REFF', 'Redução', 'Ferro Fundido', 'A-REDUCAO', 1, '1300'),
  ('CAPFF', 'Cap', 'Ferro Fundido', 'A-CAP', 0, '2000'),
  ('RGFF', 'Registro de gaveta JGS', 'Ferro Fundido', 'A-REGISTRO', 0, '2100'),
  ('RGFFL', 'Registro de gaveta flangeado', 'Ferro Fundido', 'A-REGISTROF', 0, '2200');
-- Diversos
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('PDR', 'Ponto de interligação', 'Diversos', 'A-PDR', 0, '0000'),
  ('HIDR', 'Hidrante de coluna', 'Diversos', 'A-HIDRANTE', 0, '0100'),
  ('VENT', 'Ventosa', 'Diversos', 'A-VENTOSA', 0, '1000'),
  ('VRP', 'Válvula redutora de pressão', 'Diversos', 'A-VRP', 0, '1100');
-- Tubulações PVC
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('PBA12', 'Tubo PVC PBA JE Classe 12', 'Tubulações PVC', 'A-TUBO', 0, '0000'),
  ('PBA15', 'Tubo PVC PBA JE Classe 15', 'Tubulações PVC', 'A-TUBO', 0, '0100'),
  ('PBA20', 'Tubo PVC PBA JE Classe 20', 'Tubulações PVC', 'A-TUBO', 0, '1000'),
  ('DEF', 'Tubo PVC DEFoFo JE', 'Tubulações PVC', 'A-TUBO', 0, '1100');
-- Tubulações PEAD
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('PE8', 'Tubo PEAD PE100 PN8', 'Tubulações PEAD', 'A-TUBO', 0, '0000'),
  ('PE10', 'Tubo PEAD PE100 PN10', 'Tubulações PEAD', 'A-TUBO', 0, '0100'),
  ('PE16', 'Tubo PEAD PE100 PN16', 'Tubulações PEAD', 'A-TUBO', 0, '0200');
-- Tubulações Ferro Fundido
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('FFK7', 'Tubo FoFo K7 JGS', 'Tubulações Ferro Fundido', 'A-TUBO', 0, '0000'),
  ('FFK9', 'Tubo FoFo K9 JGS', 'Tubulações Ferro Fundido', 'A-TUBO', 0, '0100');
-- Items never drawn: rings (their names begin with "Anel") and the extra items of flanged fittings.
INSERT INTO A_Conexoes (codigo, conexao, material, bloco, HasDS, TLHW) VALUES
  ('ANPBA', 'Anel de borracha JE para PVC PBA', 'PVC PBA', NULL, 0, NULL),
  ('ANDEF', 'Anel de borracha JE para PVC DEFoFo', 'PVC DEFoFo', NULL, 0, NULL),
  ('ANJGS', 'Anel de borracha JGS para ferro fundido', 'Ferro Fundido', NULL, 0, NULL),
  ('RCFC10', 'Conjunto de junta e parafusos para flange PN10', 'Ferro Fundido', NULL, 0, NULL),
  ('RCFC16', 'Conjunto de junta e parafusos para flange PN16', 'Ferro Fundido', NULL, 0, NULL),
  ('CXREG', 'Caixa de proteção para registro', 'Ferro Fundido', NULL, 0, NULL);

-- Diameters of each fitting: primary, and secondary for tees, crosses and reducers.
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('TEPBA', '50', '50'), ('TEPBA', '75', '50'), ('TEPBA', '75', '75'), ('TEPBA', '100', '50'),
  ('TEPBA', '100', '75'), ('TEPBA', '100', '100');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C90PBA', '50', NULL), ('C90PBA', '75', NULL), ('C90PBA', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C45PBA', '50', NULL), ('C45PBA', '75', NULL), ('C45PBA', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C22PBA', '50', NULL), ('C22PBA', '75', NULL), ('C22PBA', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('LUPBA', '50', NULL), ('LUPBA', '75', NULL), ('LUPBA', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('REPBA', '75', '50'), ('REPBA', '100', '50'), ('REPBA', '100', '75');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('CAPPBA', '50', NULL), ('CAPPBA', '75', NULL), ('CAPPBA', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('TEDEF', '100', '100'), ('TEDEF', '150', '100'), ('TEDEF', '150', '150'), ('TEDEF', '200', '100'),
  ('TEDEF', '200', '150'), ('TEDEF', '200', '200'), ('TEDEF', '250', '100'), ('TEDEF', '250', '150'),
  ('TEDEF', '250', '200'), ('TEDEF', '250', '250'), ('TEDEF', '300', '100'), ('TEDEF', '300', '150'),
  ('TEDEF', '300', '200'), ('TEDEF', '300', '250'), ('TEDEF', '300', '300');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C90DEF', '100', NULL), ('C90DEF', '150', NULL), ('C90DEF', '200', NULL), ('C90DEF', '250', NULL),
  ('C90DEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C45DEF', '100', NULL), ('C45DEF', '150', NULL), ('C45DEF', '200', NULL), ('C45DEF', '250', NULL),
  ('C45DEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C22DEF', '100', NULL), ('C22DEF', '150', NULL), ('C22DEF', '200', NULL), ('C22DEF', '250', NULL),
  ('C22DEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('LUDEF', '100', NULL), ('LUDEF', '150', NULL), ('LUDEF', '200', NULL), ('LUDEF', '250', NULL),
  ('LUDEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('REDEF', '150', '100'), ('REDEF', '200', '100'), ('REDEF', '200', '150'), ('REDEF', '250', '100'),
  ('REDEF', '250', '150'), ('REDEF', '250', '200'), ('REDEF', '300', '100'), ('REDEF', '300', '150'),
  ('REDEF', '300', '200'), ('REDEF', '300', '250');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('CAPDEF', '100', NULL), ('CAPDEF', '150', NULL), ('CAPDEF', '200', NULL), ('CAPDEF', '250', NULL),
  ('CAPDEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('TEPE', '63', '63'), ('TEPE', '90', '63'), ('TEPE', '90', '90'), ('TEPE', '110', '63'),
  ('TEPE', '110', '90'), ('TEPE', '110', '110'), ('TEPE', '160', '63'), ('TEPE', '160', '90'),
  ('TEPE', '160', '110'), ('TEPE', '160', '160'), ('TEPE', '200', '63'), ('TEPE', '200', '90'),
  ('TEPE', '200', '110'), ('TEPE', '200', '160'), ('TEPE', '200', '200'), ('TEPE', '250', '63'),
  ('TEPE', '250', '90'), ('TEPE', '250', '110'), ('TEPE', '250', '160'), ('TEPE', '250', '200'),
  ('TEPE', '250', '250');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C90PE', '63', NULL), ('C90PE', '90', NULL), ('C90PE', '110', NULL), ('C90PE', '160', NULL),
  ('C90PE', '200', NULL), ('C90PE', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C45PE', '63', NULL), ('C45PE', '90', NULL), ('C45PE', '110', NULL), ('C45PE', '160', NULL),
  ('C45PE', '200', NULL), ('C45PE', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('LUPE', '63', NULL), ('LUPE', '90', NULL), ('LUPE', '110', NULL), ('LUPE', '160', NULL),
  ('LUPE', '200', NULL), ('LUPE', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('REPE', '90', '63'), ('REPE', '110', '63'), ('REPE', '110', '90'), ('REPE', '160', '63'),
  ('REPE', '160', '90'), ('REPE', '160', '110'), ('REPE', '200', '63'), ('REPE', '200', '90'),
  ('REPE', '200', '110'), ('REPE', '200', '160'), ('REPE', '250', '63'), ('REPE', '250', '90'),
  ('REPE', '250', '110'), ('REPE', '250', '160'), ('REPE', '250', '200');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('CAPPE', '63', NULL), ('CAPPE', '90', NULL), ('CAPPE', '110', NULL), ('CAPPE', '160', NULL),
  ('CAPPE', '200', NULL), ('CAPPE', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('TEFF', '80', '80'), ('TEFF', '100', '80'), ('TEFF', '100', '100'), ('TEFF', '150', '80'),
  ('TEFF', '150', '100'), ('TEFF', '150', '150'), ('TEFF', '200', '80'), ('TEFF', '200', '100'),
  ('TEFF', '200', '150'), ('TEFF', '200', '200'), ('TEFF', '250', '80'), ('TEFF', '250', '100'),
  ('TEFF', '250', '150'), ('TEFF', '250', '200'), ('TEFF', '250', '250'), ('TEFF', '300', '80'),
  ('TEFF', '300', '100'), ('TEFF', '300', '150'), ('TEFF', '300', '200'), ('TEFF', '300', '250'),
  ('TEFF', '300', '300'), ('TEFF', '350', '80'), ('TEFF', '350', '100'), ('TEFF', '350', '150'),
  ('TEFF', '350', '200'), ('TEFF', '350', '250'), ('TEFF', '350', '300'), ('TEFF', '350', '350'),
  ('TEFF', '400', '80'), ('TEFF', '400', '100'), ('TEFF', '400', '150'), ('TEFF', '400', '200'),
  ('TEFF', '400', '250'), ('TEFF', '400', '300'), ('TEFF', '400', '350'), ('TEFF', '400', '400'),
  ('TEFF', '500', '80'), ('TEFF', '500', '100'), ('TEFF', '500', '150'), ('TEFF', '500', '200'),
  ('TEFF', '500', '250'), ('TEFF', '500', '300'), ('TEFF', '500', '350'), ('TEFF', '500', '400'),
  ('TEFF', '500', '500'), ('TEFF', '600', '80'), ('TEFF', '600', '100'), ('TEFF', '600', '150'),
  ('TEFF', '600', '200'), ('TEFF', '600', '250'), ('TEFF', '600', '300'), ('TEFF', '600', '350'),
  ('TEFF', '600', '400'), ('TEFF', '600', '500'), ('TEFF', '600', '600');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('CZFF', '80', '80'), ('CZFF', '100', '80'), ('CZFF', '100', '100'), ('CZFF', '150', '80'),
  ('CZFF', '150', '100'), ('CZFF', '150', '150'), ('CZFF', '200', '80'), ('CZFF', '200', '100'),
  ('CZFF', '200', '150'), ('CZFF', '200', '200'), ('CZFF', '250', '80'), ('CZFF', '250', '100'),
  ('CZFF', '250', '150'), ('CZFF', '250', '200'), ('CZFF', '250', '250'), ('CZFF', '300', '80'),
  ('CZFF', '300', '100'), ('CZFF', '300', '150'), ('CZFF', '300', '200'), ('CZFF', '300', '250'),
  ('CZFF', '300', '300'), ('CZFF', '350', '80'), ('CZFF', '350', '100'), ('CZFF', '350', '150'),
  ('CZFF', '350', '200'), ('CZFF', '350', '250'), ('CZFF', '350', '300'), ('CZFF', '350', '350'),
  ('CZFF', '400', '80'), ('CZFF', '400', '100'), ('CZFF', '400', '150'), ('CZFF', '400', '200'),
  ('CZFF', '400', '250'), ('CZFF', '400', '300'), ('CZFF', '400', '350'), ('CZFF', '400', '400');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C90FF', '80', NULL), ('C90FF', '100', NULL), ('C90FF', '150', NULL), ('C90FF', '200', NULL),
  ('C90FF', '250', NULL), ('C90FF', '300', NULL), ('C90FF', '350', NULL), ('C90FF', '400', NULL),
  ('C90FF', '500', NULL), ('C90FF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C45FF', '80', NULL), ('C45FF', '100', NULL), ('C45FF', '150', NULL), ('C45FF', '200', NULL),
  ('C45FF', '250', NULL), ('C45FF', '300', NULL), ('C45FF', '350', NULL), ('C45FF', '400', NULL),
  ('C45FF', '500', NULL), ('C45FF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C22FF', '80', NULL), ('C22FF', '100', NULL), ('C22FF', '150', NULL), ('C22FF', '200', NULL),
  ('C22FF', '250', NULL), ('C22FF', '300', NULL), ('C22FF', '350', NULL), ('C22FF', '400', NULL),
  ('C22FF', '500', NULL), ('C22FF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('C11FF', '80', NULL), ('C11FF', '100', NULL), ('C11FF', '150', NULL), ('C11FF', '200', NULL),
  ('C11FF', '250', NULL), ('C11FF', '300', NULL), ('C11FF', '350', NULL), ('C11FF', '400', NULL),
  ('C11FF', '500', NULL), ('C11FF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('LUFF', '80', NULL), ('LUFF', '100', NULL), ('LUFF', '150', NULL), ('LUFF', '200', NULL),
  ('LUFF', '250', NULL), ('LUFF', '300', NULL), ('LUFF', '350', NULL), ('LUFF', '400', NULL),
  ('LUFF', '500', NULL), ('LUFF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('REFF', '100', '80'), ('REFF', '150', '80'), ('REFF', '150', '100'), ('REFF', '200', '80'),
  ('REFF', '200', '100'), ('REFF', '200', '150'), ('REFF', '250', '80'), ('REFF', '250', '100'),
  ('REFF', '250', '150'), ('REFF', '250', '200'), ('REFF', '300', '80'), ('REFF', '300', '100'),
  ('REFF', '300', '150'), ('REFF', '300', '200'), ('REFF', '300', '250'), ('REFF', '350', '80'),
  ('REFF', '350', '100'), ('REFF', '350', '150'), ('REFF', '350', '200'), ('REFF', '350', '250'),
  ('REFF', '350', '300'), ('REFF', '400', '80'), ('REFF', '400', '100'), ('REFF', '400', '150'),
  ('REFF', '400', '200'), ('REFF', '400', '250'), ('REFF', '400', '300'), ('REFF', '400', '350'),
  ('REFF', '500', '80'), ('REFF', '500', '100'), ('REFF', '500', '150'), ('REFF', '500', '200'),
  ('REFF', '500', '250'), ('REFF', '500', '300'), ('REFF', '500', '350'), ('REFF', '500', '400'),
  ('REFF', '600', '80'), ('REFF', '600', '100'), ('REFF', '600', '150'), ('REFF', '600', '200'),
  ('REFF', '600', '250'), ('REFF', '600', '300'), ('REFF', '600', '350'), ('REFF', '600', '400'),
  ('REFF', '600', '500');
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('CAPFF', '80', NULL), ('CAPFF', '100', NULL), ('CAPFF', '150', NULL), ('CAPFF', '200', NULL),
  ('CAPFF', '250', NULL), ('CAPFF', '300', NULL), ('CAPFF', '350', NULL), ('CAPFF', '400', NULL),
  ('CAPFF', '500', NULL), ('CAPFF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('RGFF', '80', NULL), ('RGFF', '100', NULL), ('RGFF', '150', NULL), ('RGFF', '200', NULL),
  ('RGFF', '250', NULL), ('RGFF', '300', NULL), ('RGFF', '350', NULL), ('RGFF', '400', NULL),
  ('RGFF', '500', NULL), ('RGFF', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('RGFFL', '80', NULL), ('RGFFL', '100', NULL), ('RGFFL', '150', NULL), ('RGFFL', '200', NULL),
  ('RGFFL', '250', NULL), ('RGFFL', '300', NULL), ('RGFFL', '350', NULL), ('RGFFL', '400', NULL),
  ('RGFFL', '500', NULL), ('RGFFL', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PDR', '50', NULL), ('PDR', '63', NULL), ('PDR', '75', NULL), ('PDR', '80', NULL),
  ('PDR', '90', NULL), ('PDR', '100', NULL), ('PDR', '110', NULL), ('PDR', '150', NULL),
  ('PDR', '160', NULL), ('PDR', '200', NULL), ('PDR', '250', NULL), ('PDR', '300', NULL),
  ('PDR', '350', NULL), ('PDR', '400', NULL), ('PDR', '500', NULL), ('PDR', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('HIDR', '100', NULL), ('HIDR', '150', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('VENT', '50', NULL), ('VENT', '75', NULL), ('VENT', '100', NULL), ('VENT', '150', NULL),
  ('VENT', '200', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('VRP', '50', NULL), ('VRP', '75', NULL), ('VRP', '100', NULL), ('VRP', '150', NULL),
  ('VRP', '200', NULL), ('VRP', '250', NULL), ('VRP', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PBA12', '50', NULL), ('PBA12', '75', NULL), ('PBA12', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PBA15', '50', NULL), ('PBA15', '75', NULL), ('PBA15', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PBA20', '50', NULL), ('PBA20', '75', NULL), ('PBA20', '100', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('DEF', '100', NULL), ('DEF', '150', NULL), ('DEF', '200', NULL), ('DEF', '250', NULL),
  ('DEF', '300', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PE8', '63', NULL), ('PE8', '90', NULL), ('PE8', '110', NULL), ('PE8', '160', NULL),
  ('PE8', '200', NULL), ('PE8', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PE10', '63', NULL), ('PE10', '90', NULL), ('PE10', '110', NULL), ('PE10', '160', NULL),
  ('PE10', '200', NULL), ('PE10', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('PE16', '63', NULL), ('PE16', '90', NULL), ('PE16', '110', NULL), ('PE16', '160', NULL),
  ('PE16', '200', NULL), ('PE16', '250', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('FFK7', '80', NULL), ('FFK7', '100', NULL), ('FFK7', '150', NULL), ('FFK7', '200', NULL),
  ('FFK7', '250', NULL), ('FFK7', '300', NULL), ('FFK7', '350', NULL), ('FFK7', '400', NULL),
  ('FFK7', '500', NULL), ('FFK7', '600', NULL);
INSERT INTO A_Diams (codigo, dp, ds) VALUES
  ('FFK9', '80', NULL), ('FFK9', '100', NULL), ('FFK9', '150', NULL), ('FFK9', '200', NULL),
  ('FFK9', '250', NULL), ('FFK9', '300', NULL), ('FFK9', '350', NULL), ('FFK9', '400', NULL),
  ('FFK9', '500', NULL), ('FFK9', '600', NULL);

-- Sockets: diameter (principal or branch), ring and the pipe that fits.
INSERT INTO A_Bolsas (Codigo, Numero, Principal, Anel, Tubulacao) VALUES
  ('TEPBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('TEPBA', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('TEPBA', '3', 0, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C90PBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C90PBA', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C45PBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C45PBA', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C22PBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('C22PBA', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('LUPBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('LUPBA', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('REPBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('REPBA', '2', 0, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('CAPPBA', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('TEDEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('TEDEF', '2', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('TEDEF', '3', 0, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C90DEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C90DEF', '2', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C45DEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C45DEF', '2', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C22DEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('C22DEF', '2', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('LUDEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('LUDEF', '2', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('REDEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('REDEF', '2', 0, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('CAPDEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('TEPE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('TEPE', '2', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('TEPE', '3', 0, NULL, 'Tubo PEAD PE100 PN10'),
  ('C90PE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('C90PE', '2', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('C45PE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('C45PE', '2', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('LUPE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('LUPE', '2', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('REPE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('REPE', '2', 0, NULL, 'Tubo PEAD PE100 PN10'),
  ('CAPPE', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('TEFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('TEFF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('TEFF', '3', 0, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('CZFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('CZFF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('CZFF', '3', 0, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('CZFF', '4', 0, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C90FF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C90FF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C45FF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C45FF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C22FF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C22FF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C11FF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('C11FF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('LUFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('LUFF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('REFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('REFF', '2', 0, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('CAPFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('RGFF', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('RGFF', '2', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('RGFFL', '1', 1, NULL, 'Indefinido'),
  ('RGFFL', '2', 1, NULL, 'Indefinido'),
  ('PDR', '1', 1, NULL, 'Indefinido'),
  ('HIDR', '1', 1, NULL, 'Indefinido'),
  ('VENT', '1', 1, NULL, 'Indefinido'),
  ('VRP', '1', 1, NULL, 'Indefinido'),
  ('VRP', '2', 1, NULL, 'Indefinido'),
  ('PBA12', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 12'),
  ('PBA12', '2', 1, NULL, 'Tubo PVC PBA JE Classe 12'),
  ('PBA15', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),
  ('PBA15', '2', 1, NULL, 'Tubo PVC PBA JE Classe 15'),
  ('PBA20', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 20'),
  ('PBA20', '2', 1, NULL, 'Tubo PVC PBA JE Classe 20'),
  ('DEF', '1', 1, 'ANDEF', 'Tubo PVC DEFoFo JE'),
  ('DEF', '2', 1, NULL, 'Tubo PVC DEFoFo JE'),
  ('PE8', '1', 1, NULL, 'Tubo PEAD PE100 PN8'),
  ('PE8', '2', 1, NULL, 'Tubo PEAD PE100 PN8'),
  ('PE10', '1', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('PE10', '2', 1, NULL, 'Tubo PEAD PE100 PN10'),
  ('PE16', '1', 1, NULL, 'Tubo PEAD PE100 PN16'),
  ('PE16', '2', 1, NULL, 'Tubo PEAD PE100 PN16'),
  ('FFK7', '1', 1, 'ANJGS', 'Tubo FoFo K7 JGS'),
  ('FFK7', '2', 1, NULL, 'Tubo FoFo K7 JGS'),
  ('FFK9', '1', 1, 'ANJGS', 'Tubo FoFo K9 JGS'),
  ('FFK9', '2', 1, NULL, 'Tubo FoFo K9 JGS');

-- Extra items inserted with a fitting (RCFC becomes RCFC10 or RCFC16 by the pressure class of the diameter).
INSERT INTO A_ConExtra (Codigo, Att, Cod) VALUES
  ('RGFFL', 'CODIG1', 'RCFC'),
  ('RGFFL', 'CODIG2', 'CXREG'),
  ('VRP', 'CODIG1', 'RCFC');

-- Block geometry. Arc rows hold the radius in S3 and the start and end angles in S4;
-- point rows are the sockets: S2 the point, S3 its distance and angle from the base
-- point, S4 the socket number. Blocks named A-* also get CODIGO, MATERIAL and ETAPA
-- from the builder, before these rows.
-- A-TE
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-TE', 'Line', '-4,0', '4,0', NULL),
  ('A-TE', 'Line', '0,0', '0,4', NULL),
  ('A-TE', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-TE', 'Line', '4,-0.8', '4,0.8', NULL),
  ('A-TE', 'Line', '0.8,4', '-0.8,4', NULL),
  ('A-TE', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-TE', 'Point', '4,0', '4,0', '2'),
  ('A-TE', 'Point', '0,4', '4,1.570796', '3'),
  ('A-TE', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-TE', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-TE', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-TE', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CRUZETA
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CRUZETA', 'Line', '-4,0', '4,0', NULL),
  ('A-CRUZETA', 'Line', '0,-4', '0,4', NULL),
  ('A-CRUZETA', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-CRUZETA', 'Line', '4,-0.8', '4,0.8', NULL),
  ('A-CRUZETA', 'Line', '0.8,4', '-0.8,4', NULL),
  ('A-CRUZETA', 'Line', '0.8,-4', '-0.8,-4', NULL),
  ('A-CRUZETA', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-CRUZETA', 'Point', '4,0', '4,0', '2'),
  ('A-CRUZETA', 'Point', '0,4', '4,1.570796', '3'),
  ('A-CRUZETA', 'Point', '0,-4', '4,4.712389', '4'),
  ('A-CRUZETA', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CRUZETA', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CRUZETA', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CRUZETA', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CURVA90
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CURVA90', 'Line', '-4,0', '0,0', NULL),
  ('A-CURVA90', 'Line', '0,0', '0,4', NULL),
  ('A-CURVA90', 'Arc', '0,0', '1.2', '1.570796,3.141593'),
  ('A-CURVA90', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-CURVA90', 'Line', '0.8,4', '-0.8,4', NULL),
  ('A-CURVA90', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-CURVA90', 'Point', '0,4', '4,1.570796', '2'),
  ('A-CURVA90', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA90', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA90', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA90', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CURVA45
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CURVA45', 'Line', '-4,0', '0,0', NULL),
  ('A-CURVA45', 'Line', '0,0', '2.828427,2.828427', NULL),
  ('A-CURVA45', 'Arc', '0,0', '1.2', '0.785398,3.141593'),
  ('A-CURVA45', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-CURVA45', 'Line', '3.394113,2.262742', '2.262742,3.394113', NULL),
  ('A-CURVA45', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-CURVA45', 'Point', '2.828427,2.828427', '4,0.785398', '2'),
  ('A-CURVA45', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA45', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA45', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA45', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CURVA22
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CURVA22', 'Line', '-4,0', '0,0', NULL),
  ('A-CURVA22', 'Line', '0,0', '3.695518,1.530734', NULL),
  ('A-CURVA22', 'Arc', '0,0', '1.2', '0.392699,3.141593'),
  ('A-CURVA22', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-CURVA22', 'Line', '4.001665,0.79163', '3.389371,2.269837', NULL),
  ('A-CURVA22', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-CURVA22', 'Point', '3.695518,1.530734', '4,0.392699', '2'),
  ('A-CURVA22', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA22', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA22', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA22', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CURVA11
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CURVA11', 'Line', '-4,0', '0,0', NULL),
  ('A-CURVA11', 'Line', '0,0', '3.923141,0.780361', NULL),
  ('A-CURVA11', 'Arc', '0,0', '1.2', '0.19635,3.141593'),
  ('A-CURVA11', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-CURVA11', 'Line', '4.079213,-0.004267', '3.767069,1.56499', NULL),
  ('A-CURVA11', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-CURVA11', 'Point', '3.923141,0.780361', '4,0.19635', '2'),
  ('A-CURVA11', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA11', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA11', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CURVA11', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-LUVA
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-LUVA', 'Line', '-1.5,-0.9', '1.5,-0.9', NULL),
  ('A-LUVA', 'Line', '1.5,-0.9', '1.5,0.9', NULL),
  ('A-LUVA', 'Line', '1.5,0.9', '-1.5,0.9', NULL),
  ('A-LUVA', 'Line', '-1.5,0.9', '-1.5,-0.9', NULL),
  ('A-LUVA', 'Line', '-2,0', '-1.5,0', NULL),
  ('A-LUVA', 'Line', '1.5,0', '2,0', NULL),
  ('A-LUVA', 'Point', '-2,0', '2,3.141593', '1'),
  ('A-LUVA', 'Point', '2,0', '2,0', '2'),
  ('A-LUVA', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-LUVA', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-LUVA', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-LUVA', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-REDUCAO
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-REDUCAO', 'Line', '-3,-1.2', '3,-0.6', NULL),
  ('A-REDUCAO', 'Line', '3,-0.6', '3,0.6', NULL),
  ('A-REDUCAO', 'Line', '3,0.6', '-3,1.2', NULL),
  ('A-REDUCAO', 'Line', '-3,1.2', '-3,-1.2', NULL),
  ('A-REDUCAO', 'Line', '-4,0', '-3,0', NULL),
  ('A-REDUCAO', 'Line', '3,0', '4,0', NULL),
  ('A-REDUCAO', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-REDUCAO', 'Line', '4,-0.8', '4,0.8', NULL),
  ('A-REDUCAO', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-REDUCAO', 'Point', '4,0', '4,0', '2'),
  ('A-REDUCAO', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REDUCAO', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REDUCAO', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REDUCAO', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-CAP
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-CAP', 'Line', '-3,0', '0,0', NULL),
  ('A-CAP', 'Arc', '0,0', '1.2', '4.712389,1.570796'),
  ('A-CAP', 'Line', '0,-1.2', '0,1.2', NULL),
  ('A-CAP', 'Line', '-3,-0.8', '-3,0.8', NULL),
  ('A-CAP', 'Point', '-3,0', '3,3.141593', '1'),
  ('A-CAP', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CAP', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CAP', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-CAP', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-REGISTRO
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-REGISTRO', 'Line', '-2,-1.5', '2,1.5', NULL),
  ('A-REGISTRO', 'Line', '-2,1.5', '2,-1.5', NULL),
  ('A-REGISTRO', 'Line', '-2,-1.5', '-2,1.5', NULL),
  ('A-REGISTRO', 'Line', '2,-1.5', '2,1.5', NULL),
  ('A-REGISTRO', 'Line', '0,0', '0,2.5', NULL),
  ('A-REGISTRO', 'Line', '-1.2,2.5', '1.2,2.5', NULL),
  ('A-REGISTRO', 'Line', '-4,0', '-2,0', NULL),
  ('A-REGISTRO', 'Line', '2,0', '4,0', NULL),
  ('A-REGISTRO', 'Line', '-4,-0.8', '-4,0.8', NULL),
  ('A-REGISTRO', 'Line', '4,-0.8', '4,0.8', NULL),
  ('A-REGISTRO', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-REGISTRO', 'Point', '4,0', '4,0', '2'),
  ('A-REGISTRO', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTRO', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTRO', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTRO', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-REGISTROF
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-REGISTROF', 'Line', '-2,-1.5', '2,1.5', NULL),
  ('A-REGISTROF', 'Line', '-2,1.5', '2,-1.5', NULL),
  ('A-REGISTROF', 'Line', '-2,-1.5', '-2,1.5', NULL),
  ('A-REGISTROF', 'Line', '2,-1.5', '2,1.5', NULL),
  ('A-REGISTROF', 'Line', '0,0', '0,2.5', NULL),
  ('A-REGISTROF', 'Line', '-1.2,2.5', '1.2,2.5', NULL),
  ('A-REGISTROF', 'Line', '-2.6,-1.8', '-2.6,1.8', NULL),
  ('A-REGISTROF', 'Line', '2.6,-1.8', '2.6,1.8', NULL),
  ('A-REGISTROF', 'Line', '-4,0', '-2.6,0', NULL),
  ('A-REGISTROF', 'Line', '2.6,0', '4,0', NULL),
  ('A-REGISTROF', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-REGISTROF', 'Point', '4,0', '4,0', '2'),
  ('A-REGISTROF', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTROF', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTROF', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-REGISTROF', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-VRP
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-VRP', 'Line', '-2,-1.5', '2,1.5', NULL),
  ('A-VRP', 'Line', '-2,1.5', '2,-1.5', NULL),
  ('A-VRP', 'Line', '-2,-1.5', '-2,1.5', NULL),
  ('A-VRP', 'Line', '2,-1.5', '2,1.5', NULL),
  ('A-VRP', 'Line', '-1.6,-2.2', '1.6,2.2', NULL),
  ('A-VRP', 'Line', '1.6,2.2', '0.7,1.9', NULL),
  ('A-VRP', 'Line', '1.6,2.2', '1.5,1.3', NULL),
  ('A-VRP', 'Line', '-2.6,-1.8', '-2.6,1.8', NULL),
  ('A-VRP', 'Line', '2.6,-1.8', '2.6,1.8', NULL),
  ('A-VRP', 'Line', '-4,0', '-2.6,0', NULL),
  ('A-VRP', 'Line', '2.6,0', '4,0', NULL),
  ('A-VRP', 'Point', '-4,0', '4,3.141593', '1'),
  ('A-VRP', 'Point', '4,0', '4,0', '2'),
  ('A-VRP', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VRP', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VRP', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VRP', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-PDR
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-PDR', 'Circle', '0,0', '1', NULL),
  ('A-PDR', 'Line', '-0.7071,-0.7071', '0.7071,0.7071', NULL),
  ('A-PDR', 'Line', '-0.7071,0.7071', '0.7071,-0.7071', NULL),
  ('A-PDR', 'Line', '-3,0', '-1,0', NULL),
  ('A-PDR', 'Line', '-3,-0.8', '-3,0.8', NULL),
  ('A-PDR', 'Point', '-3,0', '3,3.141593', '1'),
  ('A-PDR', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-PDR', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-PDR', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-PDR', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-HIDRANTE
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-HIDRANTE', 'Circle', '0,1.5', '1.5', NULL),
  ('A-HIDRANTE', 'Text', '1.5', '0,1.5', 'H,TEXTO_CON,ROMANS,10,156'),
  ('A-HIDRANTE', 'Line', '0,-4', '0,0', NULL),
  ('A-HIDRANTE', 'Line', '0.8,-4', '-0.8,-4', NULL),
  ('A-HIDRANTE', 'Point', '0,-4', '4,4.712389', '1'),
  ('A-HIDRANTE', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-HIDRANTE', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-HIDRANTE', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-HIDRANTE', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-VENTOSA
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-VENTOSA', 'Line', '0,-3', '0,0', NULL),
  ('A-VENTOSA', 'Line', '-1.2,0', '1.2,0', NULL),
  ('A-VENTOSA', 'Line', '1.2,0', '0,2', NULL),
  ('A-VENTOSA', 'Line', '0,2', '-1.2,0', NULL),
  ('A-VENTOSA', 'Line', '0.8,-3', '-0.8,-3', NULL),
  ('A-VENTOSA', 'Point', '0,-3', '3,4.712389', '1'),
  ('A-VENTOSA', 'Attribute', '1.5', '-4,-3', '01,CODIG1,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VENTOSA', 'Attribute', '1.5', '-4,-5', '02,CODIG2,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VENTOSA', 'Attribute', '1.5', '-4,-7', '03,CODIG3,TEXTO_CON,1,0,156,ROMANS'),
  ('A-VENTOSA', 'Attribute', '1.5', '-4,-9', '04,CODIG4,TEXTO_CON,1,0,156,ROMANS');

-- A-TUBO
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('A-TUBO', 'Attribute', '1.5', '0,-1.15', '01,CONTRIB,TRECHO,1,10,170,ROMANS'),
  ('A-TUBO', 'Attribute', '0.01', '-5,0', '02,H1,DefPoints,0,10,10,ROMANS'),
  ('A-TUBO', 'Attribute', '0.01', '5,0', '03,H2,DefPoints,0,10,10,ROMANS');

-- The quantity table blocks are those of the sewer table, read before this file.
-- They must hold no arc: arc rows are the only ones whose format differs.
INSERT INTO A_DXFs (Bloco, S1, S2, S3, S4)
  SELECT Bloco, S1, S2, S3, S4 FROM E_DXFs WHERE Bloco IN ('RQ-A', 'RQ-E', 'RQ-I', 'RQ-T');

COMMIT;
