#pragma once
// System variables of a drawing, with the host's defaults. Some are stored
// values (OSMODE, LTSCALE, ...), some are views onto the document (CLAYER,
// EXTMIN, VIEWCTR, ...). Names are case-insensitive.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/acad/Variant.h"

namespace acad {

class Document;

class SystemVariables {
public:
    explicit SystemVariables(Document& doc);

    Variant Get(const std::string& name) const;               // UnknownVariable
    void Set(const std::string& name, const Variant& value);  // InvalidInput on kind/range/read-only
    bool Exists(const std::string& name) const;
    // Stored values (not the computed ones), for the DXF header.
    std::vector<std::string> StoredNames() const;
    // Engine: sets a stored value without the read-only check (DXF reader).
    void SetStored(const std::string& name, const Variant& value);

    // Frequent reads, without the lookup.
    int OsMode() const;
    double LtScale() const;

private:
    struct Entry {
        Variant value;
        enum Kind { Int, Real, Text, Point } kind = Int;
        bool readOnly = false;
        double minValue = -1e300;
        double maxValue = 1e300;
        std::function<Variant(const Document&)> get;  // computed variables
        std::function<void(Document&, const Variant&)> set;
    };
    Entry* Find(const std::string& name);
    const Entry* Find(const std::string& name) const;
    void Define(const std::string& name, Entry e);

    Document& doc_;
    std::map<std::string, Entry> vars_;  // by upper-case name
};

}  // namespace acad
