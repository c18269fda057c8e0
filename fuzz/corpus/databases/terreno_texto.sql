-- Template of the database in which the terrain model and the region loops are
-- stored. "Index" is the position of a vertex or triangle in the model; in the
-- region tables it only keeps the rows in the order they were written.

CREATE TABLE TopVertex (
  "Index" INTEGER NOT NULL,
  X TEXT,
  Y BLOB,
  Z DOUBLE
);

CREATE TABLE Sobra (a); CREATE TABLE TopTriangulos_ (
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

INSERT INTO TopVertex VALUES (1,'abc',x'00',10),('dois',1e308,-1e308,NULL),(3,'1,5','',11);
INSERT INTO Pavimentos (Tipo, External, ID, Loop, X, Y) VALUES (NULL,'talvez',99999999,'um','x',NULL),('B',1,1,1,1e400,2);
