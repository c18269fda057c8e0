#pragma once
// The loader of the topography block catalogue: T_DXFs of the catalogue
// database at gMdbPath into gBlocosTopo (topography/TOPDes.h). The topography
// panel and the common tools panel call it at each of their starts.

class clsTOPDb {
public:
    // Replaces gBlocosTopo by the rows of T_DXFs ordered by block name, S1 and
    // S4. When the database, the table, a column or a value is missing, or the
    // table has no rows, it shows one message naming the file and what is
    // missing, keeps gBlocosTopo as it was and returns false; the next call
    // tries again. The mouse pointer is the hourglass while it reads.
    bool LoadDb();
};
