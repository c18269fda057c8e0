#pragma once
// Parts of a drawing file the engine does not model, kept as read so that a
// drawing opened and saved loses nothing: the records of the objects section
// (image definitions, table and multileader styles, materials, groups,
// extension records), dimension styles, class definitions, the ACDSDATA
// section (the geometry of 3-D solids), and what belongs to a multi-column
// text: its embedded column data (files of 2018 and later), its linked columns
// and its frame (earlier files). The reader fills it, the writer writes it back
// with the same handles. Also the handles of the records the writer makes
// itself: saved again, a drawing that was read writes them under the handles
// it had, so that reading and saving twice gives the same file. Engine-internal.

#include <absl/container/flat_hash_map.h>

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

    // Handles of records the writer makes (0: none kept, a fresh one is taken).
    std::unordered_map<std::string, std::uint64_t> tableHeads;  // TABLE, by the table's upper-case name
    std::uint64_t activeView = 0;                               // the VPORT "*ACTIVE"
    struct BlockEnds {
        std::uint64_t begin = 0, end = 0;  // BLOCK, ENDBLK
    };
    std::unordered_map<const Block*, BlockEnds> blockEnds;
    // The records that follow an entity (a polyline's vertices and its SEQEND,
    // the SEQEND after a reference's attributes): `count` handles from `first`.
    struct Run {
        std::uint64_t first = 0, count = 0;
    };
    absl::flat_hash_map<const Entity*, Run> followers;  // one for most references of a network drawing
    // A clipped reference's extension dictionary, its ACAD_FILTER and SPATIAL.
    struct Clip {
        std::uint64_t dictionary = 0, filters = 0, filter = 0;
    };
    std::unordered_map<const Entity*, Clip> clips;
    // The block a dimension names that holds nothing (the dimension is drawn
    // from its points): named again, rather than a picture made anew.
    std::unordered_map<const Entity*, const Block*> emptyPictures;

    bool Empty() const
    {
        return classes.empty() && objects.empty() && root == 0 && dimStyles.empty() && !hasAcdsData &&
               columns.empty() && embedded.empty() && extensionDictionaries.empty() && tableHeads.empty() &&
               activeView == 0 && blockEnds.empty() && followers.empty() && clips.empty() && emptyPictures.empty();
    }
};

}  // namespace acad::dxf
