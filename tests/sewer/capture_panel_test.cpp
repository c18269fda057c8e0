// The sewer panel's capture tab: capture, one collector numbered per press of
// "Capture PV inicial", the DXF export with its confirmation, and what each
// step enables; fields that are not whole numbers, "Não" and a network gone.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PanelTestSupport.h"
#include "VerifTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modVista.h"
#include "platform/os/Dialogs.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"

using namespace sewertest;
using namespace forms;
using veriftest::Janela;
using veriftest::Respostas;

namespace {

class PainelCaptura : public PainelTest {
protected:
    PainelCaptura() { SD.SetInterface(1); }

    // Three one-reach collectors starting at (0, 40 i), numbered 1, 2, 3.
    void TresColetores()
    {
        for (int i = 0; i < 3; ++i) {
            acad::BlockReference* s = des.InsertPVGen(Ponto(0, 40 * i), "S" + std::to_string(i), "100", 1);
            acad::BlockReference* e = des.InsertPVGen(Ponto(30, 40 * i), "E" + std::to_string(i), "99", 1);
            trechos.push_back(des.InsertTRGenObjs(s, e, 1, "SIM", "Terra", "PVC"));
            SetAtributo("COLETOR", std::to_string(i + 1), s);
            inicios.push_back(s);
        }
    }
    // "Capture PV inicial", picking the start i on its own lines (close up).
    void Numera(int i)
    {
        ZoomCentro(Ponto(0, 40 * i), 20);
        script->Point({0.7071, 40 * i + 0.7071, 0});
        Clica(SD.SANNumereCmd);
    }
    std::vector<std::string> Textos() const
    {
        std::vector<std::string> v;
        for (const Janela& j : respostas.Mostradas()) v.push_back(j.Titulo + ": " + j.Texto);
        return v;
    }
    void Responde(bool Sim)
    {
        respostas.Proxima<frmMsgBox>([Sim](frmMsgBox& m) { user::Click(Sim ? m.CmdOK : m.CmdCancel); });
    }
    std::string Trecho(int i) { return Atributos(trechos[static_cast<std::size_t>(i)]).at("TRECHO"); }

    std::vector<acad::BlockReference*> inicios, trechos;
    Respostas respostas;
};

}  // namespace

TEST_F(PainelCaptura, CaptureNumberingAndExportEnableEachOtherInTurn)
{
    TresColetores();
    EXPECT_TRUE(SD.SANCaptureCmd.Enabled());
    Clica(SD.SANCaptureCmd);
    EXPECT_TRUE(Textos().empty());
    EXPECT_FALSE(SD.SANCaptureCmd.Enabled());
    EXPECT_TRUE(SD.SANSaveDXFCmd.Enabled());  // the numbers were right
    EXPECT_TRUE(SD.frmColetor.Enabled());
    EXPECT_TRUE(SD.SANNumereCmd.Enabled());
    EXPECT_TRUE(SD.SANColetorLbl.Enabled());
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "001");
    EXPECT_EQ(SD.SANColIniTxt.Text(), "001");
    for (CheckBox* c : {&SD.SANAutoNumColChk, &SD.SANAutoNumPVChk}) {
        EXPECT_TRUE(c->Enabled());
        EXPECT_EQ(c->Value(), vbUnchecked);
    }
    EXPECT_EQ(Blocos("ErroC").size(), 6u);

    // PVs renumbered from 5 with the prefix P.
    user::Click(SD.SANAutoNumPVChk);
    SD.SANPVIniTxt.SetText("5");
    SD.SANPrefixtxt.SetText("P");

    // Escape: nothing numbered, the same collector next time.
    ZoomCentro(Ponto(0, 0), 20);
    script->Escape();
    Clica(SD.SANNumereCmd);
    EXPECT_EQ(Trecho(0), "");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "001");
    EXPECT_TRUE(SD.SANNumereCmd.Enabled());

    Numera(0);
    EXPECT_EQ(Trecho(0), "001-001");
    EXPECT_EQ(Atributos(inicios[0]).at("NUMERO"), "P005");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "002");
    EXPECT_TRUE(SD.SANNumereCmd.Enabled());
    EXPECT_FALSE(SD.SANSaveDXFCmd.Enabled());
    EXPECT_FALSE(SD.SANAutoNumColChk.Enabled());
    EXPECT_FALSE(SD.SANPVIniTxt.Enabled());

    Numera(2);
    Numera(1);
    EXPECT_EQ(Trecho(2), "002-001");
    EXPECT_EQ(Trecho(1), "003-001");
    EXPECT_EQ(Atributos(inicios[1]).at("NUMERO"), "P007");
    EXPECT_TRUE(SD.SANSaveDXFCmd.Enabled());
    EXPECT_FALSE(SD.SANNumereCmd.Enabled());
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "004");
    for (CheckBox* c : {&SD.SANAutoNumColChk, &SD.SANAutoNumPVChk}) {
        EXPECT_TRUE(c->Enabled());
        EXPECT_EQ(c->Value(), vbUnchecked);
    }

    // The export: confirmed, captured and numbered again, written.
    Responde(true);
    const std::filesystem::path arquivo = pasta / "rede.dxf";
    {
        os::ScopedDialogDriver d([&](const os::DialogRequest&) { return os::DialogAnswer::Path(arquivo.string()); });
        Clica(SD.SANSaveDXFCmd);
    }
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Titulo, "Salvar DXF...");
    EXPECT_EQ(respostas.Mostradas()[0].Texto,
              "Manter os números de coletores como estão.\r\n"
              "Manter os números de PVs como estão.\r\n\r\nContinuar ?");
    EXPECT_TRUE(std::filesystem::exists(arquivo));
    EXPECT_EQ(Trecho(0), "001-001");
    // By the numbers the presses wrote on the starts.
    EXPECT_EQ(Trecho(2), "002-001");
    EXPECT_EQ(Trecho(1), "003-001");

    // Captured again, the same network gives the same file: its handles
    // start afresh with the capture, whatever was exported before.
    user::ChooseTab(SD.SSTabBrivan, 1);
    user::ChooseTab(SD.SSTabBrivan, 0);
    Clica(SD.SANCaptureCmd);
    Responde(true);
    const std::filesystem::path outra = pasta / "outra.dxf";
    {
        os::ScopedDialogDriver d([&](const os::DialogRequest&) { return os::DialogAnswer::Path(outra.string()); });
        Clica(SD.SANSaveDXFCmd);
    }
    const auto Conteudo = [](const std::filesystem::path& Arquivo) {
        std::ifstream f(Arquivo, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    const std::string primeira = Conteudo(arquivo), segunda = Conteudo(outra);
    EXPECT_NE(primeira.find("\r\nTEXT\r\n 5\r\n3E9\r\n"), std::string::npos);
    EXPECT_TRUE(segunda == primeira) << "as duas exportações diferem";
}

TEST_F(PainelCaptura, NoAndAMissingNetworkAndBadFieldsChangeNothing)
{
    TresColetores();
    Clica(SD.SANCaptureCmd);
    SetAtributo("TRECHO", "x", trechos[0]);

    // "Não": the markers stay, nothing is captured again.
    user::Click(SD.SANAutoNumColChk);
    SD.SANColIniTxt.SetText("10");
    user::Click(SD.SANAutoNumPVChk);
    SD.SANPVIniTxt.SetText("1");
    SD.SANPrefixtxt.SetText(" PV- ");
    Responde(false);
    Clica(SD.SANSaveDXFCmd);
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Texto,
              "Renumerar Coletores a partir de 10\r\n"
              "Renumerar PVs a partir de PV-1\r\n\r\nContinuar ?");
    EXPECT_EQ(Trecho(0), "x");
    EXPECT_EQ(Blocos("ErroC").size(), 6u);

    // Fields that are not whole numbers: told, nothing asked.
    respostas.Limpa();
    SD.SANColIniTxt.SetText("1a");
    Clica(SD.SANSaveDXFCmd);
    SD.SANColIniTxt.SetText("10");
    SD.SANPVIniTxt.SetText("");
    Clica(SD.SANSaveDXFCmd);
    SD.SANColetorLbl.SetCaption("2.5");
    Clica(SD.SANNumereCmd);
    EXPECT_EQ(Textos(), (std::vector<std::string>{
                            "Atenção: Coletor inicial: \"1a\" não é um número inteiro.\r\n\r\nNada foi alterado.",
                            "Atenção: PV inicial: \"\" não é um número inteiro.\r\n\r\nNada foi alterado.",
                            "Atenção: Coletor a numerar: \"2.5\" não é um número inteiro.\r\n\r\nNada foi alterado."}));
    EXPECT_EQ(Trecho(0), "x");
    EXPECT_EQ(script->Prompts().size(), 0u);

    // The network gone: said, and no file asked for.
    respostas.Limpa();
    SD.SANPVIniTxt.SetText("1");
    for (acad::BlockReference* t : trechos) t->Delete();
    Responde(true);
    int pedidos = 0;
    {
        os::ScopedDialogDriver d([&](const os::DialogRequest&) {
            ++pedidos;
            return os::DialogAnswer::Cancel();
        });
        Clica(SD.SANSaveDXFCmd);
    }
    EXPECT_EQ(pedidos, 0);
    ASSERT_EQ(Textos().size(), 3u);
    EXPECT_EQ(Textos()[1], "Lendo Trechos...: Nenhum trecho localizado.");
    EXPECT_EQ(Textos()[2], "Salvar DXF: Rede não encontrada.");
    EXPECT_TRUE(Blocos("ErroC").empty());  // the markers were erased for the new capture
}

TEST_F(PainelCaptura, ACaptureWithBadNumbersSaysSoAndKeepsTheExportOff)
{
    TresColetores();
    SetAtributo("COLETOR", "1", inicios[2]);
    // The user reads the message over the view he will pick in: his own.
    ZoomCentro(Ponto(15, 40), 120);
    std::string vista;
    const auto Vista = [] {
        const acad::Point3d c = gAcadDoc->GetVariable("VIEWCTR").AsPoint();
        return FormatNum(c.x, 3) + "," + FormatNum(c.y, 3) + " " +
               FormatNum(gAcadDoc->GetVariable("VIEWSIZE").AsDouble(), 3);
    };
    respostas.Proxima<frmMsgBox>([&](frmMsgBox& m) {
        vista = Vista();
        user::Click(m.CmdOK);
    });
    Clica(SD.SANCaptureCmd);
    EXPECT_EQ(vista, "15.000,40.000 120.000");
    EXPECT_EQ(Vista(), vista);
    EXPECT_EQ(Textos(), std::vector<std::string>{"Coletando Dados da Rede...: Coletores com numeração duplicada, "
                                                 "inexistente ou imprópria.\r\n\r\nRefaça a numeração."});
    EXPECT_FALSE(SD.SANSaveDXFCmd.Enabled());
    EXPECT_TRUE(SD.SANNumereCmd.Enabled());
}
