#pragma once
// The water catalogue loader. The main window reloads the catalogue through
// it after the fittings table closes; the loading itself (the water tables of
// the database at gMdbPath into the water catalogue arrays) is added by the
// water catalogue's work.

class clsWATDb {
public:
    void LoadDb();
};
