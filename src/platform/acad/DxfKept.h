#pragma once
// Parts of a drawing file the engine does not model, kept as read so that a
// drawing opened and saved loses nothing: the records of the objects section
// (image definitions, table and multileader styles, materials, groups,
// extension records), dimension styles, class definitions, the ACDSDATA
// section (the geometry of 3-D solids), and what belongs to a multi-column
// text: its embedded column data (files of 2018 and later), its linked columns
// and its frame (earlier files). The reader fills it, the writer writes it back
// with the same handles. Engine-internal.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/acad/EntityData.h"
#include "platform/acad/Variant.h"

namespace acad {
class Block;
class Entity;
}  // namespace acad

namespace acad::dxf {

// A record as the file holds it: its type (group 0) and every group after it.
struct KeptRecord {
    std::string type;
    std::uint64_t handle = 0;
    std::vector<RawGroup> groups;
};

// An entry of a dictionary: name (3) and the handle it names (350 or 360).
struct DictionaryEntry {
    std::string name;
    int code = 350;
    std::uint64_t handle = 0;
};

struct KeptDimStyle {
    std::string name;
    std::uint64_t handle = 0;
    std::vector<RawGroup> groups;  // after the handle and the owner
    std::vector<int> xdataCodes;
    std::vector<Variant> xdataValues;
};

struct KeptFileParts {
    std::vector<KeptRecord> classes;  // CLASS records
    // Records of the objects section the writer does not make itself, in file order.
    std::vector<KeptRecord> objects;
    // The file's root dictionary and the named dictionaries the writer makes
    // itself (ACAD_GROUP, ACAD_MLINESTYLE...): the writer takes their handles
    // again, so that the records they own stay owned.
    std::uint64_t root = 0;
    std::vector<DictionaryEntry> rootEntries;  // those the writer does not make
    struct Owned {
        std::uint64_t handle = 0;
        std::vector<DictionaryEntry> entries;
    };
    std::unordered_map<std::string, Owned> dictionaries;  // by upper-case name
    std::vector<KeptDimStyle> dimStyles;
    bool hasAcdsData = false;
    std::vector<RawGroup> acdsData;  // the section's groups
    // Records a text lists as its own (linked columns, the frame), written after it.
    std::unordered_map<const Entity*, std::vector<KeptRecord>> columns;
    // An entity's embedded object (101 and the groups after it), written after its own groups.
    std::unordered_map<const Entity*, std::vector<RawGroup>> embedded;
    // The extension dictionary of a block's record (its drawing order's, among others), kept with the objects.
    std::unordered_map<const Block*, std::uint64_t> extensionDictionaries;

    bool Empty() const
    {
        return classes.empty() && objects.empty() && root == 0 && dimStyles.empty() && !hasAcdsData &&
               columns.empty() && embedded.empty() && extensionDictionaries.empty();
    }
};

}  // namespace acad::dxf
