#pragma once
// The reader of one design table: the dBase file in which the sewer design
// program hands over a network, one record per reach (CLTAT its number, PVM and
// PVJ its manholes with their coordinates, elevations and depths, DIAM, COMP,
// DECL, MATER, PAVIM, ETAPA). The import draws from it and the workbook output
// reads it; both read the records in CLTAT order (text order for a text field,
// numeric order for a number field).
//
// A value is Null, text or a number; a field is empty only when it reads as
// Null (a text of blanks is stored as blanks and reads as Null, as the dBase
// layer rules; a text with anything else is never empty).
//
// Every member but Initialize needs a table that Initialize opened. Failures of
// the data layer (a field the table lacks, a write that failed) reach the
// caller as ado::Error.

#include <string>

#include "platform/Event.h"
#include "platform/ado/Ado.h"
#include "shell/ProgressBar.h"

// A table's file name as one name of the SQL the data layer reads: in
// brackets, a "]" in it doubled, so that blanks, parentheses, quotes, dots
// and reserved words ("select.dbf") stay part of the name.
std::string NomeTabelaSQL(const std::string& Arquivo);

class clsTabela1 {
public:
    std::string dbFileName;            // the table's file name, as Initialize got it
    std::string dbFilePath;            // its folder
    ProgressBar* cProgress = nullptr;  // advanced by VerificarTabela

    // From the first record: moves to the first whose Field equals Value and
    // returns true; false, past the last record, when none does. A Null Value
    // looks for a Null field; numbers equal numbers by value, anything else is
    // compared as text (so the reach "1" is found whether CLTAT is stored as
    // text or as a number).
    bool FindFirst(const std::string& Field, const ado::Value& Value);
    // The same from the current record on.
    bool Find(const std::string& Field, const ado::Value& Value);
    // The records whose required fields are empty, one line each, every line
    // preceded by CR LF, grouped by field: "<CLTAT> tem <campo> vazio.". ""
    // when the table is complete. Leaves the current record past the last.
    std::string VerificarTabela();
    // The field of the current record; with NoNull a Null reads as "" for a
    // text field and as 0 for any other.
    ado::Value GetFieldData(const std::string& Field, bool NoNull);
    // Writes into the current record; the change stays pending until the next
    // move, which stores it in the file.
    void SetFieldData(const std::string& Field, const ado::Value& Value);
    // Opens the table `Filename` (name and extension) of the folder
    // `FilePath`. A name with "_" or "-" is refused with its message and
    // keeps dbFileName and dbFilePath; a table that cannot be read (missing
    // folder or file, damaged file) gives a message naming it. True when the
    // table is open.
    bool Initialize(const std::string& Filename, const std::string& FilePath);
    bool Aberta() const { return aberta_; }

    bool EditingRecord() const;
    long long AbsolutePosition() const;  // 1-based; adPosEOF / adPosBOF off the records
    bool Eof() const;
    bool Bof() const;
    long long RecordCount() const;
    void AddNew();
    // Deletes the current record, then MoveNext.
    void Delete();
    // Reads the table again in CLTAT order and announces "Primary": what was
    // written into the file since (by the record editor) is what is read.
    void Requery();
    // Changes are stored by the moves: nothing to do here.
    void Update();
    // Discards the pending changes; a record being added leaves for the first.
    void Cancel();
    void MoveFirst();
    void MoveLast();
    // Never leaves the records at the end: past the last it comes back to the
    // last (when there is one); nothing moves once past the end.
    void MoveNext();
    // Likewise at the beginning.
    void MovePrevious();

    // Raised after every completed move of the record set.
    platform::Event<> MoveComplete;
    // Raised with "Primary" when the records were read again: views bound to
    // the reader refresh.
    platform::Event<std::string> DataMemberChanged;

private:
    std::string VerificaVazios(const std::string& Nome, const std::string& Campo);
    bool Procura(const std::string& Field, const ado::Value& Value, bool DoPrimeiro);
    void Abre();

    ado::Connection conexao_;
    ado::Recordset adoPrimaryRS;
    platform::Event<>::Connection movimento_;
    bool aberta_ = false;
};
