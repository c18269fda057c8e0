#pragma once
// The water drawing commands through the real drawing host with scripted
// input and the shipped catalogue loaded as the water panel loads it.

#include <gtest/gtest.h>

#include <string>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/TextEntities.h"
#include "shell/modGlobais.h"
#include "water/clsWATDb.h"
#include "water/clsWATDes.h"
#include "WaterTestSupport.h"

namespace watertest {

class DesenhoAgua : public cadtest::CadTest {
protected:
    DesenhoAgua()
    {
        gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
        gBlocosPath = gImagensPath = PastaDoPrograma().string();
        app->SetSupportFolders({PastaDoPrograma()});
        EXPECT_TRUE(clsWATDb().LoadDb());
        MontaTiposTubo();
        Conecta();
        app->ZoomCenter({0, 0, 0}, 300);
    }
    ~DesenhoAgua() override
    {
        gBlocosAgua.clear();
        gMateriaisAgua.clear();
        gTiposTubo.clear();
    }

    // The attribute of the block by tag; fails the test when missing.
    static acad::AttributeReference* Atributo(acad::BlockReference* b, const std::string& Tag)
    {
        for (acad::AttributeReference* a : b->GetAttributes())
            if (a->TagString() == Tag) return a;
        ADD_FAILURE() << "sem atributo " << Tag;
        return nullptr;
    }
    static std::string Texto(acad::BlockReference* b, const std::string& Tag)
    {
        acad::AttributeReference* a = Atributo(b, Tag);
        return a ? a->TextString() : "";
    }

    // The block references of model space named `Nome`, in drawing order.
    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) v.push_back(b);
        return v;
    }

    clsWATDes des;
};

}  // namespace watertest
