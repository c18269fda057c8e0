#pragma once
// Engine-internal: the extended data of one object, kept by its document.

#include <cstdint>
#include <vector>

#include "platform/acad/Variant.h"

namespace acad {

struct XDataStore {
    struct Group {
        std::uint32_t app = 0;  // index into the registered applications
        std::vector<int> codes;
        std::vector<Variant> values;
    };
    std::vector<Group> groups;
};

}  // namespace acad
