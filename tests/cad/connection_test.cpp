// Attaching to the running host: the drawing resolved by file, by name or
// template, the shared objects, the selection sets, Escape to a busy host,
// and the messages of a missing host, drawing or file.

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include "CadTestSupport.h"
#include "cad/modAcad.h"
#include "platform/forms/Application.h"

using namespace cadtest;

namespace {

// The program's widget application, made before any widget.
struct Aplicacao {
    Aplicacao() { forms::DoEvents(); }
};

// The host's main window as the drawing window will title it; it records the
// keys that reach it.
class JanelaHost : private Aplicacao, public QWidget {
public:
    explicit JanelaHost(const std::string& titulo)
    {
        setWindowTitle(QString::fromStdString(titulo));
        auto* layout = new QVBoxLayout(this);
        linha = new Registro;
        layout->addWidget(linha);
        resize(300, 120);
        show();
        linha->setFocus();
    }
    // Escape presses delivered so far (the keys are posted: delivered by the loop).
    int Escapes()
    {
        QApplication::processEvents();
        int n = 0;
        for (auto [tipo, tecla] : linha->teclas)
            if (tipo == QEvent::KeyPress && tecla == Qt::Key_Escape) ++n;
        return n;
    }
    void Zera() { linha->teclas.clear(); }

private:
    struct Registro : QLineEdit {
        std::vector<std::pair<QEvent::Type, int>> teclas;
        void keyPressEvent(QKeyEvent* e) override { teclas.emplace_back(e->type(), e->key()); }
        void keyReleaseEvent(QKeyEvent* e) override { teclas.emplace_back(e->type(), e->key()); }
    };
    Registro* linha;
};

class Conexao : public CadTest {};

class SemHost : public CadTest {
protected:
    SemHost() : CadTest(false) {}
};

}  // namespace

TEST_F(Conexao, FillsTheSharedObjectsAndTheSelectionSetsOfTheActiveDrawing)
{
    app->SetVisible(false);
    std::string nome = "   ";
    ASSERT_TRUE(ConectaAcad(nome, ""));
    acad::Document& doc = Doc();
    EXPECT_EQ(gAcadApp, app.get());
    EXPECT_EQ(gAcadDoc, &doc);
    EXPECT_EQ(gModelSpace, &doc.ModelSpace());
    EXPECT_EQ(gAcadUtil, &doc.Utility());
    ASSERT_TRUE(gAcadState);
    EXPECT_TRUE(gAcadState->IsQuiescent());
    EXPECT_TRUE(app->Visible());
    // A new drawing has no file yet: no base name for the files beside it.
    EXPECT_EQ(nome, "");
    EXPECT_EQ(gDwgName, "");
    std::vector<std::string> sets;
    for (acad::SelectionSet* s : doc.SelectionSets()) sets.push_back(s->Name());
    EXPECT_EQ(sets, (std::vector<std::string>{"SS1", "SS2", "SS3", "SStmp"}));

    // A set that exists is left as it is, entities and all.
    acad::Entity* linha = doc.ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    doc.SelectionSets().Item("SS1")->AddItems({linha});
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(doc.SelectionSets().Count(), 4);
    EXPECT_EQ(doc.SelectionSets().Item("SS1")->Count(), 1);
    EXPECT_TRUE(mensagens.Lista().empty());

    // Once saved, the base name is the full path without ".dwg" (characters,
    // not bytes, are dropped).
    const std::string salvo = (pasta / "Rede Ação.dwg").string();
    doc.SaveAs(salvo);
    ASSERT_TRUE(ConectaAcad(nome, ""));
    EXPECT_EQ(nome, salvo);
    EXPECT_EQ(gDwgName, (pasta / "Rede Ação").string());

    // A name without an extension is the base name whole, in its own folder,
    // also when the folder's name holds a dot.
    std::filesystem::create_directory(pasta / "obra.v2");
    doc.SaveAs((pasta / "obra.v2" / "top").string());
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(gDwgName, (pasta / "obra.v2" / "top").string());
}

TEST_F(Conexao, ANamedDrawingIsFoundAsTheSameFileOpenedFromDiskOrReported)
{
    acad::Document& a = Doc();
    a.SaveAs((pasta / "Norte.dwg").string());
    acad::Document& b = *app->Documents().Add("Acad");
    b.SaveAs((pasta / "Sul.dwg").string());
    ASSERT_EQ(app->ActiveDocument(), &b);

    // Through a link to its folder, with blanks around: the same file.
    std::filesystem::create_directory_symlink(pasta.Caminho(), pasta / "atalho");
    std::string nome = "  " + (pasta / "atalho" / "Norte.dwg").string() + " ";
    ASSERT_TRUE(ConectaAcad(nome, ""));
    EXPECT_EQ(gAcadDoc, &a);
    EXPECT_EQ(app->ActiveDocument(), &a);             // activated
    EXPECT_EQ(nome, (pasta / "Norte.dwg").string());  // the host's own spelling comes back
    EXPECT_EQ(gModelSpace, &a.ModelSpace());

    // A name that differs only in case is another file, opened from disk.
    {
        acad::Document outro;
        outro.ModelSpace().AddCircle({5, 5, 0}, 2);
        acad::WriteDxf(outro, pasta / "NORTE.DWG");
    }
    nome = (pasta / "NORTE.DWG").string();
    ASSERT_TRUE(ConectaAcad(nome, ""));
    EXPECT_NE(gAcadDoc, &a);
    EXPECT_EQ(gAcadDoc->ModelSpace().Count(), 1);
    EXPECT_EQ(nome, (pasta / "NORTE.DWG").string());

    // A drawing on disk but not open is opened and becomes the one worked on.
    {
        acad::Document solto;
        solto.ModelSpace().AddCircle({5, 5, 0}, 2);
        acad::WriteDxf(solto, pasta / "Leste.dwg");
    }
    nome = (pasta / "Leste.dwg").string();
    ASSERT_TRUE(ConectaAcad(nome, ""));
    EXPECT_EQ(app->Documents().Count(), 4);
    EXPECT_EQ(gAcadDoc, app->ActiveDocument());
    EXPECT_EQ(gAcadDoc->ModelSpace().Count(), 1);
    EXPECT_EQ(nome, gAcadDoc->FullName());
    EXPECT_EQ(gDwgName, (pasta / "Leste").string());
    acad::Document* leste = gAcadDoc;

    // Neither open nor on disk: the message, False, and the same drawing as before.
    nome = (pasta / "Oeste.dwg").string();
    EXPECT_FALSE(ConectaAcad(nome, ""));
    EXPECT_EQ(mensagens.Textos(),
              std::vector<std::string>{"Arquivo: " + (pasta / "Oeste.dwg").string() + " não existe"});
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(gAcadDoc, leste);
    EXPECT_EQ(nome, leste->FullName());

    // A file the host cannot read: its reason, naming the file, and False.
    mensagens.Limpa();
    {
        std::ofstream ruim(pasta / "Ruim.dwg");
        ruim << "isto não é um desenho\n";
    }
    nome = (pasta / "Ruim.dwg").string();
    EXPECT_FALSE(ConectaAcad(nome, ""));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string motivo = mensagens.Lista()[0].Texto;
    EXPECT_EQ(motivo.rfind("Não foi possível abrir o desenho " + (pasta / "Ruim.dwg").string() + ":\n", 0), 0u)
        << motivo;
    EXPECT_GT(motivo.size(), motivo.find(":\n") + 2) << "the host's reason: " << motivo;
    EXPECT_EQ(app->Documents().Count(), 4);
    EXPECT_EQ(gAcadDoc, leste);
}

TEST_F(Conexao, OfTwoDrawingsWithTheSameNameTheLaterIsTaken)
{
    Doc().SaveAs((pasta / "Mesmo.dwg").string());
    acad::Document* primeiro = app->ActiveDocument();
    acad::Document* segundo = app->Documents().Open((pasta / "Mesmo.dwg").string());
    ASSERT_NE(primeiro, segundo);
    app->SetActiveDocument(*primeiro);
    std::string nome = (pasta / "Mesmo.dwg").string();
    ASSERT_TRUE(ConectaAcad(nome, ""));
    EXPECT_EQ(gAcadDoc, segundo);
    EXPECT_EQ(app->ActiveDocument(), segundo);
}

TEST_F(Conexao, ATemplateAddsANewDrawingUnsavedUntilSaved)
{
    acad::Document* antes = app->ActiveDocument();
    std::string nome;
    ASSERT_TRUE(ConectaAcad(nome, "Acad"));
    EXPECT_EQ(app->Documents().Count(), 2);
    EXPECT_NE(gAcadDoc, antes);
    EXPECT_EQ(gAcadDoc, app->ActiveDocument());
    EXPECT_EQ(gDwgName, "");
    EXPECT_EQ(gAcadDoc->SelectionSets().Count(), 4);
    // A blank template is no template.
    ASSERT_TRUE(ConectaAcad("", "  "));
    EXPECT_EQ(app->Documents().Count(), 2);
}

TEST_F(Conexao, EscapeGoesToTheHostsWindowAtTheFirstConnectionAndWhileItIsBusy)
{
    JanelaHost outra("Desenhos [antigos] de autocad");  // matches too, but is listed earlier
    JanelaHost host("AutoCAD - [Drawing1.dwg]");
    AchaJanelaAcad();
    const os::WindowHandle achada = gAcadHwnd;
    ASSERT_NE(achada, 0u);
    gAcadHwnd = 0;

    // The first connection of a run cannot ask the state: the host might be busy.
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(gAcadHwnd, achada);
    EXPECT_EQ(host.Escapes() + outra.Escapes(), 2);
    EXPECT_EQ(os::WindowTitle(gAcadHwnd) == "AutoCAD - [Drawing1.dwg]" ? host.Escapes() : outra.Escapes(), 2);
    host.Zera();
    outra.Zera();

    // Idle: nothing is sent.
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(host.Escapes() + outra.Escapes(), 0);

    // In the middle of a command: Escape twice again.
    Doc().SetCommandActive(true);
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(host.Escapes() + outra.Escapes(), 2);
    Doc().SetCommandActive(false);
    host.Zera();
    outra.Zera();

    // The window is searched once: a window opened later is not looked at.
    JanelaHost nova("AUTOCAD [nova]");
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(gAcadHwnd, achada);
    EXPECT_EQ(nova.Escapes(), 0);

    // A host that has been replaced since cannot be asked either.
    registro.reset();
    acad::Application outroHost;
    outroHost.Documents().Add("Acad");
    acad::ActiveObjectRegistration novoRegistro(outroHost);
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(gAcadApp, &outroHost);
    EXPECT_EQ(host.Escapes() + outra.Escapes(), 2);
    gAcadHwnd = 0;
}

TEST_F(Conexao, WithoutTheHostsWindowNoKeyIsSent)
{
    JanelaHost qualquer("Planilha - [dados.xls]");
    ASSERT_TRUE(ConectaAcad());
    EXPECT_EQ(gAcadHwnd, 0u);
    EXPECT_EQ(qualquer.Escapes(), 0);
    EnviaEsc();
    EXPECT_EQ(qualquer.Escapes(), 0);
}

TEST_F(Conexao, WithNoDrawingOpenThereIsNothingToWorkOn)
{
    Conecta();
    app->Documents().Close(Doc());
    EXPECT_FALSE(ConectaAcad());
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Nenhum desenho aberto\n\nAbra um desenho no AutoCAD"});
    EXPECT_EQ(gAcadDoc, nullptr);
    EXPECT_EQ(gModelSpace, nullptr);

    // A named drawing that is missing, with the earlier drawing closed: False,
    // and the shared objects hold the host's active drawing.
    acad::Document* novo = app->Documents().Add("Acad");
    mensagens.Limpa();
    EXPECT_FALSE(ConectaAcad((pasta / "Falta.dwg").string(), ""));
    EXPECT_EQ(gAcadDoc, novo);
    EXPECT_EQ(gModelSpace, &novo->ModelSpace());
    EXPECT_EQ(mensagens.Textos().size(), 1u);
}

TEST_F(SemHost, AMissingHostIsReportedAndTheSharedObjectsKeepTheirValues)
{
    EXPECT_FALSE(ConectaAcad());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    std::string descricao;
    try {
        acad::GetObject("AutoCAD.Application");
    } catch (const acad::Error& e) {
        descricao = e.Description();
    }
    ASSERT_FALSE(descricao.empty());
    EXPECT_EQ(mensagens.Lista()[0].Texto, descricao + "\nAutoCAD.Application\n\nInicie o AutoCAD");
    EXPECT_EQ(gAcadApp, nullptr);
    EXPECT_FALSE(gAcadState);

    // Connected once, then the host goes away.
    registro.emplace(*app);
    ASSERT_TRUE(ConectaAcad());
    registro.reset();
    mensagens.Limpa();
    EXPECT_FALSE(ConectaAcad());
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(gAcadApp, app.get());
    EXPECT_EQ(gAcadDoc, app->ActiveDocument());
    EXPECT_EQ(gModelSpace, &Doc().ModelSpace());
    // The state object of a host no longer running cannot answer.
    EXPECT_THROW(gAcadState->IsQuiescent(), acad::Error);
}
