-- Topography and cadastre blocks of rereva2000r.mdb (buildings, map sheets, UTM
-- labels, sectors, city blocks, parcels, parcel grid and water meters). Arc rows
-- hold "radius,start,end" in S3.

CREATE TABLE T_DXFs (
  Bloco TEXT NOT NULL,
  S1 TEXT NOT NULL,
  S2 TEXT NOT NULL,
  S3 TEXT,
  S4 TEXT
);

BEGIN;

-- CAD_RUF
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_RUF', 'Line', '-2.475,-2.475', '2.475,-2.475', NULL),
  ('CAD_RUF', 'Line', '2.475,-2.475', '2.475,2.475', NULL),
  ('CAD_RUF', 'Line', '2.475,2.475', '-2.475,2.475', NULL),
  ('CAD_RUF', 'Line', '-2.475,2.475', '-2.475,-2.475', NULL),
  ('CAD_RUF', 'Line', '-2.475,-2.475', '2.475,2.475', NULL),
  ('CAD_RUF', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '1', '0,2.875', '02,NOME,CADASTRO_TEXTO,1,13,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '1', '0,-4.075', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '1', '0,-5.475', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '1', '0,-6.875', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '0.8', '2.775,1.675', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_RUF', 'Attribute', '0.8', '0,-2.775', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_RMF
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_RMF', 'Line', '-2.475,-2.475', '2.475,-2.475', NULL),
  ('CAD_RMF', 'Line', '2.475,-2.475', '2.475,2.475', NULL),
  ('CAD_RMF', 'Line', '2.475,2.475', '-2.475,2.475', NULL),
  ('CAD_RMF', 'Line', '-2.475,2.475', '-2.475,-2.475', NULL),
  ('CAD_RMF', 'Line', '-2.475,-2.475', '2.475,2.475', NULL),
  ('CAD_RMF', 'Line', '-2.475,2.475', '2.475,-2.475', NULL),
  ('CAD_RMF', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '1', '0,2.875', '02,NOME,CADASTRO_TEXTO,1,13,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '1', '0,-4.075', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '1', '0,-5.475', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '1', '0,-6.875', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '0.8', '2.775,1.675', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_RMF', 'Attribute', '0.8', '0,-2.775', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_MIX
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_MIX', 'Line', '-4.9118,-4.9118', '4.9118,-4.9118', NULL),
  ('CAD_MIX', 'Line', '4.9118,-4.9118', '4.9118,4.9118', NULL),
  ('CAD_MIX', 'Line', '4.9118,4.9118', '-4.9118,4.9118', NULL),
  ('CAD_MIX', 'Line', '-4.9118,4.9118', '-4.9118,-4.9118', NULL),
  ('CAD_MIX', 'Line', '-4.9118,-4.9118', '4.9118,4.9118', NULL),
  ('CAD_MIX', 'Line', '-4.9118,4.9118', '4.9118,-4.9118', NULL),
  ('CAD_MIX', 'Line', '-2.4559,-2.4559', '2.4559,-2.4559', NULL),
  ('CAD_MIX', 'Line', '2.4559,-2.4559', '2.4559,2.4559', NULL),
  ('CAD_MIX', 'Line', '2.4559,2.4559', '-2.4559,2.4559', NULL),
  ('CAD_MIX', 'Line', '-2.4559,2.4559', '-2.4559,-2.4559', NULL),
  ('CAD_MIX', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '1', '0,5.3118', '02,NOME,CADASTRO_TEXTO,0,13,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '1', '0,-6.5118', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '1', '0,-7.9118', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '1', '0,-9.3118', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '0.8', '5.2118,4.1118', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_MIX', 'Attribute', '0.8', '0,-5.2118', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_COM
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_COM', 'Line', '-4.9118,-4.9118', '4.9118,-4.9118', NULL),
  ('CAD_COM', 'Line', '4.9118,-4.9118', '4.9118,4.9118', NULL),
  ('CAD_COM', 'Line', '4.9118,4.9118', '-4.9118,4.9118', NULL),
  ('CAD_COM', 'Line', '-4.9118,4.9118', '-4.9118,-4.9118', NULL),
  ('CAD_COM', 'Line', '-4.9118,2.4559', '4.9118,2.4559', NULL),
  ('CAD_COM', 'Line', '-4.9118,-2.4559', '4.9118,-2.4559', NULL),
  ('CAD_COM', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_COM', 'Attribute', '1', '0,5.3118', '02,NOME,CADASTRO_TEXTO,0,13,7,ROMANS'),
  ('CAD_COM', 'Attribute', '1', '0,-6.5118', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_COM', 'Attribute', '1', '0,-7.9118', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_COM', 'Attribute', '1', '0,-9.3118', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_COM', 'Attribute', '0.8', '5.2118,4.1118', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_COM', 'Attribute', '0.8', '0,-5.2118', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_IND
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_IND', 'Line', '-4.9118,-4.9118', '4.9118,-4.9118', NULL),
  ('CAD_IND', 'Line', '4.9118,-4.9118', '4.9118,4.9118', NULL),
  ('CAD_IND', 'Line', '4.9118,4.9118', '-4.9118,4.9118', NULL),
  ('CAD_IND', 'Line', '-4.9118,4.9118', '-4.9118,-4.9118', NULL),
  ('CAD_IND', 'Line', '-4.9118,4.9118', '-2.4559,2.4559', NULL),
  ('CAD_IND', 'Line', '-2.4559,2.4559', '-2.4559,4.9118', NULL),
  ('CAD_IND', 'Line', '-2.4559,4.9118', '0,2.4559', NULL),
  ('CAD_IND', 'Line', '0,2.4559', '0,4.9118', NULL),
  ('CAD_IND', 'Line', '0,4.9118', '2.4559,2.4559', NULL),
  ('CAD_IND', 'Line', '2.4559,2.4559', '2.4559,4.9118', NULL),
  ('CAD_IND', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_IND', 'Attribute', '1', '0,5.3118', '02,NOME,CADASTRO_TEXTO,0,13,7,ROMANS'),
  ('CAD_IND', 'Attribute', '1', '0,-6.5118', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_IND', 'Attribute', '1', '0,-7.9118', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_IND', 'Attribute', '1', '0,-9.3118', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_IND', 'Attribute', '0.8', '5.2118,4.1118', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_IND', 'Attribute', '0.8', '0,-5.2118', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_SVP
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_SVP', 'Line', '-4.9118,-4.9118', '4.9118,-4.9118', NULL),
  ('CAD_SVP', 'Line', '4.9118,-4.9118', '4.9118,4.9118', NULL),
  ('CAD_SVP', 'Line', '4.9118,4.9118', '-4.9118,4.9118', NULL),
  ('CAD_SVP', 'Line', '-4.9118,4.9118', '-4.9118,-4.9118', NULL),
  ('CAD_SVP', 'Line', '-4.9118,0', '4.9118,0', NULL),
  ('CAD_SVP', 'Line', '0,-4.9118', '0,4.9118', NULL),
  ('CAD_SVP', 'Attribute', '1.5', '0,0', '01,NUMERO,CADASTRO_TEXTO,0,10,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '1', '0,5.3118', '02,NOME,CADASTRO_TEXTO,0,13,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '1', '0,-6.5118', '03,APTOS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '1', '0,-7.9118', '04,COM,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '1', '0,-9.3118', '05,ECONOMIAS,CADASTRO_TEXTO,1,7,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '0.8', '5.2118,4.1118', '06,UNIDADE,CADASTRO_TEXTO,1,0,7,ROMANS'),
  ('CAD_SVP', 'Attribute', '0.8', '0,-5.2118', '07,S-Q-L,CADASTRO_TEXTO,0,7,7,ROMANS');

-- CAD_SBX
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('CAD_SBX', 'Line', '0,0', '1.5,0.9', NULL),
  ('CAD_SBX', 'Line', '1.5,0.9', '1.5,-0.9', NULL),
  ('CAD_SBX', 'Line', '1.5,-0.9', '0,0', NULL),
  ('CAD_SBX', 'Text', '0.8', '2,0', 'SB,CADASTRO_TEXTO,ROMANS,9,7');

-- QUADRICULA2
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('QUADRICULA2', 'Line', '0,-1', '1,-1', NULL),
  ('QUADRICULA2', 'Line', '1,-1', '1,0', NULL),
  ('QUADRICULA2', 'Line', '1,0', '0,0', NULL),
  ('QUADRICULA2', 'Line', '0,0', '0,-1', NULL),
  ('QUADRICULA2', 'Attribute', '0.012', '0.004,-0.004', '01,NUMERO,NUM_QUADRICULA,0,6,3,ROMANS');

-- TOP_UTM
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('TOP_UTM', 'Attribute', '2', '0,0.5', '01,UTM,UTM,0,2,9,ROMANS');

-- COM_SETOR
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_SETOR', 'Circle', '0,0', '12', NULL),
  ('COM_SETOR', 'Circle', '0,0', '11', NULL),
  ('COM_SETOR', 'Attribute', '8', '0,0', '01,SETOR,COD_SETOR,0,10,1,ROMANS');

-- COM_QUADRA
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_QUADRA', 'Circle', '0,0', '5', NULL),
  ('COM_QUADRA', 'Attribute', '4', '0,0', '01,QUADRA,COD_QUADRA,0,10,5,ROMANS'),
  ('COM_QUADRA', 'Attribute', '1', '0,-6', '02,SETOR,COD_QUADRA,1,10,5,ROMANS');

-- COM_QUADRAD
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_QUADRAD', 'Line', '-6,0', '0,6', NULL),
  ('COM_QUADRAD', 'Line', '0,6', '6,0', NULL),
  ('COM_QUADRAD', 'Line', '6,0', '0,-6', NULL),
  ('COM_QUADRAD', 'Line', '0,-6', '-6,0', NULL),
  ('COM_QUADRAD', 'Attribute', '4', '0,0', '01,QUADRA,COD_QUADRA,0,10,5,ROMANS'),
  ('COM_QUADRAD', 'Attribute', '1', '0,-7', '02,SETOR,COD_QUADRA,1,10,5,ROMANS');

-- COM_QUADRADD
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_QUADRADD', 'Line', '-12,-4', '12,-4', NULL),
  ('COM_QUADRADD', 'Line', '12,-4', '12,4', NULL),
  ('COM_QUADRADD', 'Line', '12,4', '-12,4', NULL),
  ('COM_QUADRADD', 'Line', '-12,4', '-12,-4', NULL),
  ('COM_QUADRADD', 'Attribute', '4', '-6,0', '01,QI,COD_QUADRA,0,10,5,ROMANS'),
  ('COM_QUADRADD', 'Attribute', '4', '6,0', '02,QF,COD_QUADRA,0,10,5,ROMANS'),
  ('COM_QUADRADD', 'Attribute', '1', '0,-5', '03,SETOR,COD_QUADRA,1,10,5,ROMANS'),
  ('COM_QUADRADD', 'Text', '2.5', '0,0', 'a,COD_QUADRA,ROMANS,10,5');

-- COM_LOTE
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_LOTE', 'Line', '-3,-1.4', '3,-1.4', NULL),
  ('COM_LOTE', 'Line', '3,-1.4', '3,1.4', NULL),
  ('COM_LOTE', 'Line', '3,1.4', '-3,1.4', NULL),
  ('COM_LOTE', 'Line', '-3,1.4', '-3,-1.4', NULL),
  ('COM_LOTE', 'Attribute', '1.5', '0,0', '01,LOTE,COD_LOTE,0,10,170,ROMANS'),
  ('COM_LOTE', 'Attribute', '0.8', '0,-2', '02,S-Q,COD_LOTE,1,10,170,ROMANS');

-- COM_GRADE
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_GRADE', 'Line', '0,0', '0,1.5', NULL),
  ('COM_GRADE', 'Attribute', '1.2', '0,2.4', '01,LOTE,GRADE_10,1,10,42,ROMANS'),
  ('COM_GRADE', 'Attribute', '0.5', '0,0.5', '02,QUADRA,GRADE_10,1,10,42,ROMANS');

-- COM_SETA
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_SETA', 'Line', '0,0', '0,2.5', NULL),
  ('COM_SETA', 'Line', '0,2', '-6,2', NULL),
  ('COM_SETA', 'Line', '-6,2', '-4.8,2.6', NULL),
  ('COM_SETA', 'Line', '-6,2', '-4.8,1.4', NULL);

-- COM_HSIM
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_HSIM', 'Circle', '0,0', '1', NULL),
  ('COM_HSIM', 'Text', '1', '0,0', 'H,LIGACAO,ROMANS,10,5'),
  ('COM_HSIM', 'Attribute', '0.8', '1.6,0.6', '01,UNIDADE,LIGACAO,0,0,5,ROMANS'),
  ('COM_HSIM', 'Attribute', '0.6', '1.6,-0.6', '02,S-Q-L,LIGACAO,1,0,5,ROMANS'),
  ('COM_HSIM', 'Attribute', '0.6', '1.6,-1.6', '03,NUMERO,LIGACAO,1,0,5,ROMANS');

-- COM_HNAO
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_HNAO', 'Circle', '0,0', '1', NULL),
  ('COM_HNAO', 'Line', '-0.7071,-0.7071', '0.7071,0.7071', NULL),
  ('COM_HNAO', 'Attribute', '0.8', '1.6,0.6', '01,UNIDADE,LIGACAO,0,0,5,ROMANS'),
  ('COM_HNAO', 'Attribute', '0.6', '1.6,-0.6', '02,S-Q-L,LIGACAO,1,0,5,ROMANS'),
  ('COM_HNAO', 'Attribute', '0.6', '1.6,-1.6', '03,NUMERO,LIGACAO,1,0,5,ROMANS');

-- COM_HSIMC
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_HSIMC', 'Circle', '0,0', '1', NULL),
  ('COM_HSIMC', 'Text', '1', '0,0', 'H,LIGACAO,ROMANS,10,5'),
  ('COM_HSIMC', 'Line', '-1.4,-1.4', '1.4,-1.4', NULL),
  ('COM_HSIMC', 'Line', '1.4,-1.4', '1.4,1.4', NULL),
  ('COM_HSIMC', 'Line', '1.4,1.4', '-1.4,1.4', NULL),
  ('COM_HSIMC', 'Line', '-1.4,1.4', '-1.4,-1.4', NULL),
  ('COM_HSIMC', 'Attribute', '0.8', '1.6,0.6', '01,UNIDADE,LIGACAO,0,0,5,ROMANS'),
  ('COM_HSIMC', 'Attribute', '0.6', '1.6,-0.6', '02,S-Q-L,LIGACAO,1,0,5,ROMANS'),
  ('COM_HSIMC', 'Attribute', '0.6', '1.6,-1.6', '03,NUMERO,LIGACAO,1,0,5,ROMANS');

-- COM_HNAOC
INSERT INTO T_DXFs (Bloco, S1, S2, S3, S4) VALUES
  ('COM_HNAOC', 'Circle', '0,0', '1', NULL),
  ('COM_HNAOC', 'Line', '-0.7071,-0.7071', '0.7071,0.7071', NULL),
  ('COM_HNAOC', 'Line', '-1.4,-1.4', '1.4,-1.4', NULL),
  ('COM_HNAOC', 'Line', '1.4,-1.4', '1.4,1.4', NULL),
  ('COM_HNAOC', 'Line', '1.4,1.4', '-1.4,1.4', NULL),
  ('COM_HNAOC', 'Line', '-1.4,1.4', '-1.4,-1.4', NULL),
  ('COM_HNAOC', 'Attribute', '0.8', '1.6,0.6', '01,UNIDADE,LIGACAO,0,0,5,ROMANS'),
  ('COM_HNAOC', 'Attribute', '0.6', '1.6,-0.6', '02,S-Q-L,LIGACAO,1,0,5,ROMANS'),
  ('COM_HNAOC', 'Attribute', '0.6', '1.6,-1.6', '03,NUMERO,LIGACAO,1,0,5,ROMANS');

COMMIT;
