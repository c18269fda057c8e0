#pragma once
// The water panel on a form of its own, shown and started with the shipped
// catalogue, over the drawing host of DesenhoAgua.

#include <atomic>
#include <memory>
#include <string>

#include "DesenhoAgua.h"
#include "water/WATDes98.h"

namespace watertest {

class PainelAguaTest : public DesenhoAgua {
protected:
    PainelAguaTest() : form(NomeUnico()), WC(form.Add<WATDes98>("WC"))
    {
        form.Move(0, 0, 2800, 4000);
        form.Show();
        WC.Start(false);
        EXPECT_TRUE(WC.Iniciado());
    }
    ~PainelAguaTest() override { forms::Unload(form); }

    // Each form of a run needs a name of its own.
    static std::string NomeUnico()
    {
        static std::atomic<int> n{0};
        return "frmPainelAgua" + std::to_string(n++);
    }

    forms::Form form;
    WATDes98& WC;
};

}  // namespace watertest
