// The head and tail lines of the sewer DXF export: wrapped around entities
// written the way the export writes them, they make a well-formed AutoCAD 2000
// DXF file that declares everything the entities name.

#include "CatalogueFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace catalogue_test;

namespace {

// The export's rule: each row in Num order, trimmed, Null as an empty line.
std::vector<std::string> lines(const std::string& table)
{
    std::vector<std::string> out;
    for (const auto& r : catalogue().query("SELECT Campo FROM " + table + " ORDER BY Num"))
        out.push_back(trim(r[0].value_or("")));
    return out;
}

struct Group {
    int code;
    std::string value;
};

std::vector<Group> groups(const std::vector<std::string>& text)
{
    std::vector<Group> out;
    EXPECT_EQ(text.size() % 2, 0u) << "a group code without its value";
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const auto code = integer(text[i]);
        EXPECT_TRUE(code) << "line " << i + 1 << " is not a group code: " << text[i];
        out.push_back({code ? static_cast<int>(*code) : -1, text[i + 1]});
    }
    return out;
}

// One manhole and one reach, as the export writes them (handles from 3E9 on).
std::vector<std::string> sampleEntities()
{
    return {" 0",    "TEXT",
            " 5",    "3E9",
            " 100",  "AcDbEntity",
            " 8",    "NUMPV",
            " 100",  "AcDbText",
            " 10",   "96.000000000000",
            " 20",   "203.200000000000",
            " 30",   "0.0",
            " 40",   "4.0",
            " 1",    "PV-1",
            " 7",    "ROMANS",
            " 72",   "1",
            " 11",   "103.200000000000",
            " 21",   "203.200000000000",
            " 31",   "0.0",
            " 100",  "AcDbText",
            " 0",    "INSERT",
            " 5",    "3EA",
            " 100",  "AcDbEntity",
            " 8",    "PL",
            " 100",  "AcDbBlockReference",
            " 2",    "PL",
            " 10",   "100.000000000000",
            " 20",   "200.000000000000",
            " 30",   "0.0",
            "0",     "LINE",
            " 5",    "3EB",
            " 100",  "AcDbEntity",
            " 8",    "REDE",
            " 100",  "AcDbLine",
            " 10",   "100.000000000000",
            " 20",   "200.000000000000",
            " 30",   "101.5",
            " 11",   "150.000000000000",
            " 21",   "230.000000000000",
            " 31",   "100.9",
            " 1001", "NUMEROTRE",
            " 1000", "1",
            " 1000", "PV-1",
            " 1000", "Asfalto",
            " 1000", "SIM"};
}

}  // namespace

TEST(DxfHead, HeadEndsInsideEntitiesAndTailClosesTheFile)
{
    const auto head = groups(lines("dxfINI"));
    const auto tail = groups(lines("dxfEND"));
    ASSERT_GE(head.size(), 4u);
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(head.back().code, 2);
    EXPECT_EQ(head.back().value, "ENTITIES");
    EXPECT_EQ(tail.front().code, 0);
    EXPECT_EQ(tail.front().value, "ENDSEC");
    EXPECT_EQ(tail.back().code, 0);
    EXPECT_EQ(tail.back().value, "EOF");
    // AutoCAD 2000.
    for (std::size_t i = 0; i + 1 < head.size(); ++i)
        if (head[i].code == 9 && head[i].value == "$ACADVER") {
            EXPECT_EQ(head[i + 1].value, "AC1015");
        }
}

TEST(DxfHead, WrappedAroundTheExportsEntitiesItMakesAWellFormedFile)
{
    std::vector<std::string> text = lines("dxfINI");
    for (const auto& l : sampleEntities()) text.push_back(trim(l));
    for (const auto& l : lines("dxfEND")) text.push_back(l);
    const auto g = groups(text);

    // Sections and tables open and close in order; every block ends.
    std::vector<std::string> sections;
    std::string section, table;
    bool inBlock = false;
    std::map<std::string, std::set<std::string>> entries;  // table -> names
    std::set<std::string> blocks, handles, tables;
    unsigned long handseed = 0;
    for (std::size_t i = 0; i < g.size(); ++i) {
        const auto& [code, value] = g[i];
        if (code == 0 && value == "SECTION") {
            ASSERT_TRUE(section.empty()) << "section inside section";
            ASSERT_LT(i + 1, g.size());
            EXPECT_EQ(g[i + 1].code, 2);
            section = g[i + 1].value;
            sections.push_back(section);
        } else if (code == 0 && value == "ENDSEC") {
            EXPECT_FALSE(section.empty()) << "ENDSEC without SECTION";
            EXPECT_TRUE(table.empty()) << "table left open in " << section;
            EXPECT_FALSE(inBlock) << "block left open";
            section.clear();
        } else if (code == 0 && value == "TABLE") {
            EXPECT_EQ(section, "TABLES");
            table = g[i + 1].value;
            tables.insert(table);
        } else if (code == 0 && value == "ENDTAB") {
            EXPECT_FALSE(table.empty());
            table.clear();
        } else if (code == 0 && value == "BLOCK") {
            EXPECT_FALSE(inBlock);
            inBlock = true;
        } else if (code == 0 && value == "ENDBLK") {
            EXPECT_TRUE(inBlock);
            inBlock = false;
        } else if (code == 2 && !table.empty() && g[i - 1].code != 0) {
            entries[table].insert(value);
        } else if (code == 2 && inBlock) {
            blocks.insert(value);
        }
        if ((code == 5 || code == 105) && !(i > 0 && g[i - 1].code == 9)) {
            EXPECT_TRUE(handles.insert(value).second) << "handle " << value << " used twice";
            EXPECT_EQ(value.find_first_not_of("0123456789ABCDEF"), std::string::npos) << value;
        }
        if (code == 9 && value == "$HANDSEED") handseed = std::stoul(g[i + 1].value, nullptr, 16);
    }
    EXPECT_TRUE(section.empty()) << "section " << section << " not closed";
    EXPECT_EQ(sections, (std::vector<std::string>{"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"}));
    EXPECT_EQ(g.back().value, "EOF");

    // What the export's entities name is declared.
    for (const char* layer : {"0", "NUMPV", "PV", "PL", "REDE"})
        EXPECT_TRUE(entries["LAYER"].count(layer)) << "layer " << layer;
    EXPECT_TRUE(entries["STYLE"].count("ROMANS"));
    EXPECT_TRUE(entries["APPID"].count("NUMEROTRE"));
    for (const char* block : {"*Model_Space", "*Paper_Space", "PV", "PL"}) {
        EXPECT_TRUE(entries["BLOCK_RECORD"].count(block)) << block;
        EXPECT_TRUE(blocks.count(block)) << block;
    }
    for (const char* t : {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCK_RECORD"})
        EXPECT_TRUE(tables.count(t)) << "table " << t;

    // The head and tail handles stay below the export's first handle 3E9, and
    // the next free handle lies above every handle a large network would use.
    for (const auto& h : handles) {
        const unsigned long v = std::stoul(h, nullptr, 16);
        if (h == "3E9" || h == "3EA" || h == "3EB") continue;
        EXPECT_LT(v, 0x3E9ul) << h;
    }
    EXPECT_GT(handseed, 0x3E9ul + 10000000ul);

    // Owners point at handles of the file (0 is the root).
    for (std::size_t i = 0; i < g.size(); ++i)
        if ((g[i].code == 330 || g[i].code == 350 || g[i].code == 340) && g[i].value != "0") {
            EXPECT_TRUE(handles.count(g[i].value)) << "group " << g[i].code << " points at unknown " << g[i].value;
        }
}
