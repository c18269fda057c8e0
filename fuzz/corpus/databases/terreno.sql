-- Template of the database in which the terrain model and the region loops are
-- stored. "Index" is the position of a vertex or triangle in the model; in the
-- region tables it only keeps the rows in the order they were written.

CREATE TABLE TopVertex (
  "Index" INTEGER NOT NULL,
  X DOUBLE,
  Y DOUBLE,
  Z DOUBLE
);

CREATE TABLE TopTriangulos (
  "Index" INTEGER NOT NULL,
  vv0 INTEGER,
  vv1 INTEGER,
  vv2 INTEGER,
  MaxX DOUBLE,
  MinX DOUBLE,
  MaxY DOUBLE,
  MinY DOUBLE
);

CREATE TABLE tmp_TRIxyz (
  "Index" INTEGER NOT NULL,
  X DOUBLE,
  Y DOUBLE,
  Z DOUBLE
);

CREATE TABLE tmp_Triangs (
  "Index" INTEGER NOT NULL,
  vv0 INTEGER,
  vv1 INTEGER,
  vv2 INTEGER,
  MaxX DOUBLE,
  MinX DOUBLE,
  MaxY DOUBLE,
  MinY DOUBLE
);

CREATE TABLE Pavimentos (
  "Index" INTEGER PRIMARY KEY AUTOINCREMENT,
  Tipo TEXT,
  External BOOLEAN,
  ID SMALLINT,
  Loop SMALLINT,
  X DOUBLE,
  Y DOUBLE
);

CREATE TABLE WATZonas (
  "Index" INTEGER PRIMARY KEY AUTOINCREMENT,
  Tipo TEXT,
  External BOOLEAN,
  ID SMALLINT,
  Loop SMALLINT,
  X DOUBLE,
  Y DOUBLE
);

INSERT INTO TopVertex VALUES (0,0,0,0),(1,0,0,10),(2,100,0,12),(3,0,100,11),(4,100,100,13);
INSERT INTO TopTriangulos VALUES (0,0,0,0,0,0,0,0),(1,1,2,3,100,0,100,0),(2,2,4,3,100,0,100,0);
INSERT INTO Pavimentos (Tipo, External, ID, Loop, X, Y) VALUES ('ASFALTO',1,1,1,0,0),('ASFALTO',1,1,1,50,0),('ASFALTO',1,1,1,50,50);
INSERT INTO WATZonas (Tipo, External, ID, Loop, X, Y) VALUES ('Z1',1,1,1,0,0),('Z1',1,1,1,90,0),('Z1',0,1,2,90,90);
