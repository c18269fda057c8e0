// The quantity spreadsheet written from a designed network into a copy of the
// shipped template: the values and formulas of each row, the rows in reach
// order after the marker, a template whose marker lies elsewhere or is
// missing, a reach end without a manhole (the earlier workbook kept), a name at
// the system's limit, and the cancel window while reading and while writing.
// The workbook is read back through the data layer.

#include <gtest/gtest.h>

#include <QTimer>

#include <filesystem>
#include <functional>
#include <fstream>
#include <map>

#include "SewerTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/ado/DataControl.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANQtt.h"
#include "shell/frmCancelar.h"

namespace fs = std::filesystem;

namespace {

// Sheet row -> field -> text, as the data layer reads the sheet "Padrao".
using Folha = std::map<int, std::map<std::string, std::string>>;

Folha LeFolha(const std::string& Caminho)
{
    Folha f;
    ado::DataControl dc;
    dc.SetConnect("Excel 8.0;");
    dc.SetDatabaseName(Caminho);
    dc.SetRecordSource("Padrao$");
    dc.Refresh();
    ado::Recordset rs = dc.Recordset();
    int linha = 2;
    for (; !rs.Eof(); rs.MoveNext(), ++linha)
        for (const ado::Field c : rs.Fields()) f[linha][c.Name()] = c.Value().TextOr();
    dc.SetDatabaseName("");
    dc.Refresh();
    return f;
}

// Writes TRECHO of the template's records (1 = the sheet's second row).
void Marca(const std::string& Caminho, const std::map<int, std::string>& Registros)
{
    ado::DataControl dc;
    dc.SetConnect("Excel 8.0;");
    dc.SetDatabaseName(Caminho);
    dc.SetRecordSource("Padrao$");
    dc.Refresh();
    ado::Recordset rs = dc.Recordset();
    for (const auto& [r, texto] : Registros) {
        rs.MoveFirst();
        rs.Move(r - 1);
        rs.Fields("TRECHO").SetValue(texto);
        rs.Update();
    }
    dc.SetDatabaseName("");
    dc.Refresh();
}

class Planilha : public sewertest::SewerTest {
protected:
    Planilha()
        : dialogos_([this](const os::DialogRequest& r) {
              if (r.kind == os::DialogKind::Save) {
                  pedidoSalvar = r.fileName;
                  return destino.empty() ? os::DialogAnswer::Cancel() : os::DialogAnswer::Path(destino);
              }
              if (r.kind == os::DialogKind::ChooseProgram) {
                  Aberto(r.fileName);
                  return os::DialogAnswer::Cancel();
              }
              return os::DialogAnswer::Yes();
          })
    {
        for (PVBlockRec& t : gPVBlocos)
            if (t.Bloco == "E-PV250") t.DiamNominal = "600";
        anterior_ = os::SetLaunchHook([this](const os::LaunchRequest& r) {
            for (const std::string& a : r.arguments)
                if (a.find(".xls") != std::string::npos) Aberto(a);
            return true;
        });
        destino = (pasta / "rede.xls").string();
        dc.SetConnect("Excel 8.0;");
        qtt.cDataControl = &dc;
        qtt.gOrcaXLS = (sewertest::PastaCatalogo() / "DadosOrca.xls").string();
    }
    ~Planilha() override { os::SetLaunchHook(anterior_); }

    // When the workbook is handed to its program, what it holds then.
    void Aberto(const std::string& Caminho)
    {
        abertos.push_back(Caminho);
        if (fs::exists(Caminho)) noAbrir = LeFolha(Caminho);
    }
    acad::BlockReference* Pv(const Ponto& P, const std::string& Numero, const std::string& CS, const std::string& CP,
                             const std::string& Tipo = "E-PV")
    {
        return des.DrawPV(P, 0.0, Tipo, Numero, "102.000", CS, CP, 1, false);
    }
    acad::BlockReference* Tr(acad::BlockReference* A, acad::BlockReference* B, const std::string& Nome,
                             const std::string& Comp)
    {
        std::string codigo;
        return des.DrawTR(A, B, "150", Comp, "0.010000", "PVC", 1, Nome, "Asfalto", codigo);
    }
    // Reaches "2" (a step of 0.500 into a DN 600 manhole), "10" and "1".
    void Rede()
    {
        acad::BlockReference* a = Pv(Ponto(0, 0), "1", "100.000", "1.500");
        acad::BlockReference* b = Pv(Ponto(45.3, 0), "2", "99.047", "2.100", "E-PV250");
        acad::BlockReference* c = Pv(Ponto(45.3, -40), "3", "98.647", "1.800");
        acad::BlockReference* d = Pv(Ponto(45.3, -80), "4", "98.247", "1.900");
        Tr(a, b, "2", "45.30");
        Tr(b, c, "10", "40.00");
        Tr(c, d, "1", "40.00");
    }
    std::string Mensagem(const std::string& Titulo)
    {
        for (const auto& m : mensagens.Lista())
            if (m.Titulo == Titulo) return m.Texto;
        return "(nenhuma)";
    }
    // Runs `Acao` at the `Vez`th yield of the step showing `Passo`.
    void NaJanela(const std::string& Passo, int Vez, const std::function<void(frmCancelar&)>& Acao)
    {
        cancela_.setInterval(0);
        QObject::connect(&cancela_, &QTimer::timeout, [this, Passo, Vez, Acao] {
            for (forms::Form* f : forms::Forms()) {
                auto* c = dynamic_cast<frmCancelar*>(f);
                if (!c || !c->Visible() || c->Mensagem() != Passo) continue;
                if (++vezes_ == Vez) Acao(*c);
            }
        });
        cancela_.start();
    }
    // Presses "Cancelar" at the `Vez`th yield of the step showing `Passo`.
    void CancelaEm(const std::string& Passo, int Vez)
    {
        NaJanela(Passo, Vez, [](frmCancelar& c) { forms::user::Click(c.CmdCancel); });
    }

    std::string destino, pedidoSalvar;
    std::vector<std::string> abertos;
    Folha noAbrir;
    ado::DataControl dc;
    clsSANQtt qtt;

private:
    os::ScopedDialogDriver dialogos_;
    os::LaunchHook anterior_;
    QTimer cancela_;
    int vezes_ = 0;
};

TEST_F(Planilha, RowsFollowTheMarkerInReachOrderWithValuesAndFormulasAsText)
{
    Rede();
    qtt.Insumos();

    EXPECT_EQ(pedidoSalvar, "Drawing1.xls");  // the unsaved drawing's own name
    const Folha f = LeFolha(destino);
    EXPECT_EQ(f.at(10).at("TRECHO"), "inicia");
    // 1, 10, 2: as text.
    EXPECT_EQ(f.at(11).at("TRECHO"), "1");
    EXPECT_EQ(f.at(12).at("TRECHO"), "10");
    const auto& r = f.at(13);
    EXPECT_EQ(r.at("TRECHO"), "2");
    EXPECT_EQ(r.at("PVM"), "#'1");
    EXPECT_EQ(r.at("PVJ"), "#'2");
    EXPECT_EQ(r.at("DN"), "#'150");
    EXPECT_EQ(r.at("EXT"), "#44,50");  // 45.30 - (600 + 1000) / 2000
    EXPECT_EQ(r.at("PROFM"), "#1,500");
    EXPECT_EQ(r.at("PROFJ"), "#1,600");  // 2.100 less the step
    EXPECT_EQ(r.at("DEGRAU"), "#0,500");
    EXPECT_EQ(r.at("NPVM"), "'#1");
    EXPECT_EQ(r.at("TPPV"), "#'1000");
    EXPECT_EQ(r.at("PRPVM"), "#1,500");
    EXPECT_EQ(r.at("PAVMTO"), "#Asfalto");
    EXPECT_EQ(r.at("MEDIA"), "#=(F13+G13)/2");
    EXPECT_EQ(r.at("LARG"), "#=ÍNDICE(VALAS;CORRESP(AC13;CONC;0);Z13)");
    EXPECT_EQ(r.at("CCB"), "#=SE(U13=0;AE13;AE13-U13)");
    // Without a step: the depth as read and a lone "#".
    EXPECT_EQ(f.at(12).at("PROFJ"), "#1,800");
    EXPECT_EQ(f.at(12).at("DEGRAU"), "#");
    EXPECT_EQ(f.at(12).at("EXT"), "#39,20");  // from DN 600 into DN 1000
    EXPECT_EQ(f.at(12).at("TPPV"), "#'600");
    EXPECT_EQ(f.at(11).at("MEDIA"), "#=(F11+G11)/2");
    EXPECT_EQ(f.count(14), 0u);

    // Handed to its program once its rows were written, then the closing words.
    ASSERT_EQ(abertos, std::vector<std::string>{destino});
    EXPECT_EQ(noAbrir.at(13).at("TRECHO"), "2");
    EXPECT_EQ(Mensagem("Planilha: para concluir"),
              "No Excel:\nNo menu 'Editar', selecione 'Substituir...'\nEm 'Localizar:' preencha '#' (grade) e clique "
              "em 'Substituir Tudo...");
    EXPECT_EQ(mensagens.Lista().size(), 1u);
}

TEST_F(Planilha, TheFormulasUseTheRowEachReachIsWrittenTo)
{
    const std::string modelo = (pasta / "modelo.xls").string();
    fs::copy_file(qtt.gOrcaXLS, modelo);
    Marca(modelo, {{9, ""}, {5, "inicia"}});
    qtt.gOrcaXLS = modelo;
    // A workbook named at the system's limit, as a drawing's may be: the copy
    // being filled and the sheet driver's own file beside it keep within it.
    std::string longo(251, 'q');
    destino = (pasta / (longo += ".xls")).string();
    Rede();
    qtt.Insumos();
    EXPECT_EQ(Mensagem("Atenção"), "(nenhuma)");
    const Folha f = LeFolha(destino);
    EXPECT_EQ(f.at(7).at("TRECHO"), "1");
    EXPECT_EQ(f.at(7).at("MEDIA"), "#=(F7+G7)/2");
    EXPECT_EQ(f.at(9).at("TRECHO"), "2");
    EXPECT_EQ(f.at(9).at("VESC"), "#=E9*H9*I9");
}

TEST_F(Planilha, ATemplateWithoutItsMarkerWritesNothing)
{
    const std::string modelo = (pasta / "modelo.xls").string();
    fs::copy_file(qtt.gOrcaXLS, modelo);
    Marca(modelo, {{9, ""}});
    qtt.gOrcaXLS = modelo;
    Rede();
    qtt.Insumos();
    EXPECT_FALSE(fs::exists(destino));
    EXPECT_TRUE(abertos.empty());
    EXPECT_EQ(Mensagem("Atenção"), "A planilha " + destino +
                                       " não tem a linha marcada \"inicia\" entre os seus 21 primeiros registros: "
                                       "nada foi escrito.");
    EXPECT_EQ(Mensagem("Planilha: para concluir"), "(nenhuma)");
}

TEST_F(Planilha, ATemplateThatIsNoWorkbookIsNamedAndLeavesNoFile)
{
    const std::string modelo = (pasta / "modelo.xls").string();
    std::ofstream(modelo) << "não é uma pasta de trabalho";
    qtt.gOrcaXLS = modelo;
    Rede();
    qtt.Insumos();
    EXPECT_NE(Mensagem("Abrindo a planilha").find(destino), std::string::npos) << Mensagem("Abrindo a planilha");
    EXPECT_FALSE(fs::exists(destino));
    EXPECT_TRUE(qtt.Linhas().empty());

    qtt.gOrcaXLS = (pasta / "nenhum.xls").string();
    qtt.Insumos();
    EXPECT_EQ(Mensagem("Atenção"), "O modelo da planilha não foi encontrado: " + qtt.gOrcaXLS);
    EXPECT_FALSE(fs::exists(destino));
}

TEST_F(Planilha, AReachEndWithoutItsManholeIsMarkedAndNothingIsWritten)
{
    acad::BlockReference* a = Pv(Ponto(0, 0), "1", "100.000", "1.500");
    acad::BlockReference* b = Pv(Ponto(40, 0), "2", "99.600", "1.500");
    Tr(a, b, "1", "40.00");
    b->Delete();
    // An earlier workbook of the name chosen stays as it was, where it was.
    std::ofstream(destino) << "antiga";
    qtt.Insumos();
    EXPECT_EQ(Mensagem("Atenção"), "Erros no desenho");
    const auto circulos = Todos<acad::Circle>();
    ASSERT_EQ(circulos.size(), 1u);
    EXPECT_TRUE(sewertest::Perto(Ponto(circulos[0]->Center()), Ponto(40, 0, 0)));
    EXPECT_DOUBLE_EQ(circulos[0]->Radius(), 10.0);
    std::ifstream antiga(destino);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(antiga), {}), "antiga");
    for (const auto& f : fs::directory_iterator(pasta.Caminho()))
        EXPECT_FALSE(f.path().filename().string().starts_with(".rede.xls.")) << f.path();
    EXPECT_TRUE(abertos.empty());
}

TEST_F(Planilha, NoFileChosenReadsNothing)
{
    destino.clear();
    Rede();
    qtt.Insumos();
    EXPECT_EQ(Mensagem("Atenção"), "Nenhum arquivo selecionado");
    EXPECT_TRUE(qtt.Linhas().empty());
}

TEST_F(Planilha, RowsThatCannotBeWrittenAreNamedAtTheEnd)
{
    Rede();
    // The workbook being filled (the hidden copy that takes its place) turns
    // read-only as the writing starts.
    NaJanela("Preenchendo a planilha...", 1, [this](frmCancelar&) {
        for (const auto& f : fs::directory_iterator(pasta.Caminho()))
            if (f.path().filename().string().starts_with(".rede.xls."))
                fs::permissions(f.path(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    });
    qtt.Insumos();
    const std::string r = Mensagem("Planilha");
    EXPECT_EQ(r.rfind("Trechos que não estão na planilha:\nTrecho 1: A pasta de trabalho '" + destino +
                          "' não pode ser alterada (somente leitura).",
                      0),
              0u)
        << r;
    EXPECT_NE(r.find("\nTrecho 10: "), std::string::npos) << r;
    EXPECT_NE(r.find("\nTrecho 2: "), std::string::npos) << r;
    EXPECT_EQ(LeFolha(destino).count(11), 0u);
    EXPECT_EQ(abertos, std::vector<std::string>{destino});
    EXPECT_NE(Mensagem("Planilha: para concluir"), "(nenhuma)");
}

TEST_F(Planilha, CancelWhileReadingLeavesNoSpreadsheet)
{
    Rede();
    CancelaEm("Levantando Quantitativos...", 2);
    qtt.Insumos();
    EXPECT_FALSE(fs::exists(destino));
    EXPECT_TRUE(abertos.empty());
    EXPECT_EQ(Mensagem("Planilha: para concluir"), "(nenhuma)");
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
}

TEST_F(Planilha, CancelWhileWritingKeepsTheRowsWritten)
{
    Rede();
    CancelaEm("Preenchendo a planilha...", 2);
    qtt.Insumos();
    const Folha f = LeFolha(destino);
    EXPECT_EQ(f.at(11).at("TRECHO"), "1");
    EXPECT_EQ(f.count(13), 0u);
    EXPECT_EQ(abertos, std::vector<std::string>{destino});
    EXPECT_NE(Mensagem("Planilha: para concluir"), "(nenhuma)");
}

}  // namespace
