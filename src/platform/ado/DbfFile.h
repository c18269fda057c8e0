#pragma once
// One dBase table file, read whole and changed record by record through
// shapelib, private to the ado layer.
//
// Values (dBase stores no Null, so the rule is ours, and the same as the old
// engine's):
// - character fields: the stored text less its trailing blanks; a field of
//   blanks only reads as Null, and Null (or "") is written as blanks;
// - numeric fields (N, F): a number; blanks or "*" fill read as Null; whole
//   numbers when the field has no decimals, reals otherwise; written with the
//   field's decimals, "." as decimal point, right-aligned;
// - logical fields: T/Y true, F/N false, anything else ("?", blank) Null;
// - date fields: YYYYMMDD; blanks or zeros read as Null;
// - memo fields are not read (Null) and cannot be written.
// Texts: UTF-8 when a ".cpg" file beside the table says so, or when nothing
// declares a code page and every stored text is valid UTF-8 with some letter
// beyond ASCII; Windows-1252 otherwise (the design program's code page).
// Every change rewrites the file: a copy beside it is changed, then renamed
// over it, so a failure never leaves a half-written table.

#include "platform/ado/Constants.h"
#include "platform/ado/Value.h"

#include <string>
#include <utility>
#include <vector>

namespace ado::detail {

struct DbfField {
    std::string name;
    char type = 'C';  // C, N, F, L, D or M
    int width = 0;
    int decimals = 0;
    int offset = 0;  // in the record, after the deletion flag

    DataTypeEnum AdoType() const;
    std::string SqlType() const;
};

class DbfTable {
public:
    struct Record {
        int number = 0;  // 0-based place in the file
        std::vector<Value> values;
    };

    // Throws ado::Error naming the file when it is missing, damaged or not a
    // dBase table this program reads.
    static DbfTable Load(const std::string& path);

    const std::string& Path() const { return path_; }
    const std::vector<DbfField>& Fields() const { return fields_; }
    const std::vector<Record>& Records() const { return records_; }  // deleted ones left out
    int FieldIndex(const std::string& name) const;                   // -1 when absent

    // Each returns the record's values as stored.
    std::vector<Value> Write(int number, const std::vector<std::pair<int, Value>>& changes);
    std::pair<int, std::vector<Value>> Append(const std::vector<std::pair<int, Value>>& values);
    void Remove(int number);

private:
    std::string EncodeField(const DbfField& f, const Value& v) const;
    Value DecodeField(const DbfField& f, const char* raw) const;

    std::string path_;
    std::vector<DbfField> fields_;
    std::vector<Record> records_;
    int recordLength_ = 0;
    bool utf8_ = false;
};

}  // namespace ado::detail
