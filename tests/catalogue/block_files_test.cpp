// The block drawing files of the program folder: inserted by path into a new
// drawing, each defines the block named after it, with the attributes the
// program reads and writes, in the order it relies on.

#include "CatalogueFiles.h"

#include "platform/acad/Acad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> TagsOfInsert(const std::string& name)
{
    acad::Document doc;
    const std::string path = (catalogue_test::binDir() / (name + ".dwg")).string();
    acad::BlockReference* ref = doc.ModelSpace().InsertBlock({0, 0, 0}, path, 1, 1, 1, 0);
    EXPECT_EQ(ref->Name(), name);
    EXPECT_NO_THROW(doc.Blocks().Item(name));
    std::vector<std::string> tags;
    for (acad::AttributeReference* a : ref->GetAttributes()) tags.push_back(a->TagString());
    return tags;
}

using Tags = std::vector<std::string>;

}  // namespace

TEST(BlockFiles, EachFileDefinesItsBlockWithTheTagsTheProgramUses)
{
    EXPECT_EQ(TagsOfInsert("ErroC"), Tags{"MENSAGEM"});
    EXPECT_EQ(TagsOfInsert("ERROC"), Tags{"MENSAGEM"});
    EXPECT_EQ(TagsOfInsert("Zon_PorM"), (Tags{"NOME", "VPM"}));
    EXPECT_EQ(TagsOfInsert("Zon_Total"), (Tags{"NOME", "VTZ"}));
    EXPECT_EQ(TagsOfInsert("E-PVGEN"), (Tags{"NUMERO", "CT", "ET", "COLETOR"}));
    EXPECT_EQ(TagsOfInsert("E-TRCGEN"),
              (Tags{"TRECHO", "PV1", "PV2", "IPV1", "IPV2", "COMP", "ET", "PAVMTO", "CONTRIB", "MATERIAL"}));
    const Tags qtt = TagsOfInsert("CAD_QTT");
    for (const char* kind : {"RUF", "RMF", "MIX", "COM", "IND", "SVP", "TOTAL"}) {
        EXPECT_NE(std::find(qtt.begin(), qtt.end(), std::string("QTT_") + kind), qtt.end()) << kind;
        EXPECT_NE(std::find(qtt.begin(), qtt.end(), std::string("ECO_") + kind), qtt.end()) << kind;
    }
}

TEST(BlockFiles, TheFaultMarkerIsACircleOfRadiusOneDrawnInTheInsertsColour)
{
    // The node drawing reads a marker's X scale as the node's radius.
    acad::Document doc;
    doc.ModelSpace().InsertBlock({0, 0, 0}, (catalogue_test::binDir() / "ErroC.dwg").string(), 5, 5, 5, 0);
    acad::Block& def = *doc.Blocks().Item("ErroC");
    bool circle = false;
    for (acad::Entity* e : def) {
        if (auto* c = dynamic_cast<acad::Circle*>(e)) {
            circle = true;
            EXPECT_DOUBLE_EQ(c->Radius(), 1.0);
            EXPECT_EQ(c->Color(), 0);  // by block
        }
    }
    EXPECT_TRUE(circle);
}
