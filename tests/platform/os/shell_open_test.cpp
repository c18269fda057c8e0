#include "DialogScript.h"
#include "Modal.h"
#include "Support.h"

#include "platform/os/DesktopApps.h"
#include "platform/os/ShellOpen.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <filesystem>

using namespace ostest;
using os::DialogAnswer;
using os::DialogKind;

namespace {

// The system's file types through a folder that holds only them, one for the
// whole run: the file type database of the process keeps the folders it
// found for a few seconds, so a folder of the test before, removed since,
// would leave it without types.
std::string TypesFolder()
{
    static const TempDir types;
    static const bool linked = [] {
        std::filesystem::create_directories(types / "share");
        std::filesystem::create_directory_symlink("/usr/share/mime", types / "share/mime");
        return true;
    }();
    (void)linked;
    return types / "share";
}

// A desktop of its own: the user's and the system's data and config folders
// in a temporary folder, and a launch hook that records instead of starting.
struct Desktop : ::testing::Test {
    TempDir root;
    ScopedEnv home{"HOME", root.path()};
    ScopedEnv dataHome{"XDG_DATA_HOME", root / "home/share"};
    // The programs installed on the machine must not take part.
    ScopedEnv dataDirs{"XDG_DATA_DIRS", root / "sys/share" + ":" + TypesFolder()};
    ScopedEnv configHome{"XDG_CONFIG_HOME", root / "home/config"};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", root / "sys/config"};
    ScopedEnv desktop{"XDG_CURRENT_DESKTOP", std::string("Test")};
    ScopedEnv lang{"LC_ALL", std::string("pt_BR.UTF-8")};
    std::vector<os::LaunchRequest> launched;
    bool launchWorks = true;
    os::LaunchHook previous;

    void SetUp() override
    {
        previous = os::SetLaunchHook([this](const os::LaunchRequest& r) {
            launched.push_back(r);
            return launchWorks;
        });
    }
    void TearDown() override { os::SetLaunchHook(previous); }

    void App(const std::string& dir, const std::string& id, const std::string& body)
    {
        const std::string path = root / (dir + "/applications/" + id);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteBytes(path, "[Desktop Entry]\nType=Application\n" + body);
    }
    void Config(const std::string& path, const std::string& body)
    {
        std::filesystem::create_directories(std::filesystem::path(root / path).parent_path());
        WriteBytes(root / path, body);
    }
    std::string File(const std::string& name)
    {
        WriteBytes(root / name, "P1\t1\t2\t3\n");
        return root / name;
    }
};

}  // namespace

TEST_F(Desktop, TheDefaultProgramOpensTheFileInItsFolder)
{
    App("sys/share", "leitor.desktop",
        "Name=Text Reader\nName[pt]=Leitor de Texto\nExec=leitor --view %f\nMimeType=text/plain;\n");
    App("sys/share", "editor.desktop", "Name=Editor\nExec=\"/opt/meu editor/bin/ed\" %U\nMimeType=text/plain;\n");
    const std::string file = File("pontos.txt");

    auto r = os::ShellOpen(file);
    ASSERT_EQ(r.outcome, os::OpenOutcome::Opened) << r.message;
    ASSERT_EQ(launched.size(), 1u);
    // Among programs that name the type themselves, the first by id.
    EXPECT_EQ(launched[0].program, "/opt/meu editor/bin/ed");
    EXPECT_EQ(launched[0].arguments, std::vector<std::string>{file});
    EXPECT_EQ(launched[0].workingDir, root.path());

    // The user's choice of default, then a desktop-specific one, wins.
    Config("sys/config/mimeapps.list", "[Default Applications]\ntext/plain=naoinstalado.desktop;editor.desktop;\n");
    Config("home/config/mimeapps.list", "[Default Applications]\ntext/plain=ausente.desktop;leitor.desktop\n");
    launched.clear();
    ASSERT_TRUE(os::ShellOpen(file).ok());
    EXPECT_EQ(launched.at(0).program, "leitor");
    EXPECT_EQ(launched[0].arguments, (std::vector<std::string>{"--view", file}));

    Config("home/config/test-mimeapps.list", "[Default Applications]\ntext/plain=editor.desktop\n");
    launched.clear();
    ASSERT_TRUE(os::ShellOpen(file).ok());
    EXPECT_EQ(launched.at(0).program, "/opt/meu editor/bin/ed");

    const auto registry = os::AppRegistry::Load();
    ASSERT_NE(registry.Find("leitor.desktop"), nullptr);
    EXPECT_EQ(registry.Find("leitor.desktop")->name, "Leitor de Texto");

    r = os::ShellOpen(root / "falta.txt");
    EXPECT_EQ(r.outcome, os::OpenOutcome::Failed);
    EXPECT_NE(r.message.find("falta.txt"), std::string::npos);
}

TEST_F(Desktop, AssociationsAddedRemovedAndHidden)
{
    App("sys/share", "a.desktop", "Name=A\nExec=a %f\nMimeType=text/csv;\n");
    App("sys/share", "b.desktop", "Name=B\nExec=b %f\nMimeType=text/csv;\n");
    App("sys/share", "c.desktop", "Name=C\nExec=c %f\n");
    App("sys/share", "gone.desktop", "Name=Gone\nExec=gone %f\nMimeType=text/csv;\n");
    App("home/share", "gone.desktop", "Name=Gone\nExec=gone %f\nHidden=true\n");  // the user deleted it
    App("sys/share", "needs.desktop", "Name=Needs\nTryExec=/nao/existe\nExec=needs %f\nMimeType=text/csv;\n");
    Config("home/config/mimeapps.list",
           "[Added Associations]\ntext/csv=c.desktop;\n[Removed Associations]\ntext/csv=a.desktop;\n");

    const auto registry = os::AppRegistry::Load();
    std::vector<std::string> ids;
    for (const auto* a : registry.AppsFor("text/csv")) ids.push_back(a->id);
    EXPECT_EQ(ids, (std::vector<std::string>{"c.desktop", "b.desktop"}));
    EXPECT_EQ(registry.DefaultFor("text/csv")->id, "c.desktop");
    EXPECT_EQ(registry.Find("gone.desktop"), nullptr);
    EXPECT_EQ(registry.Find("needs.desktop"), nullptr);
    EXPECT_EQ(registry.DefaultFor("application/x-nada"), nullptr);
}

TEST_F(Desktop, WithoutAnAssociationTheUserChoosesOrTypesACommand)
{
    App("sys/share", "hex.desktop", "Name=Hex\nExec=hex %f\nMimeType=application/octet-stream;\n");
    App("sys/share", "zviewer.desktop", "Name=Visualizador\nExec=zv %F\n");
    App("sys/share", "helper.desktop", "Name=Helper\nExec=helper %f\nNoDisplay=true\n");
    const std::string file = File("modelo.qqq");

    DialogScript script;
    script.Then(DialogAnswer::Cancel());
    auto r = os::ShellOpen(file);
    EXPECT_EQ(r.outcome, os::OpenOutcome::Cancelled);
    EXPECT_TRUE(launched.empty());  // the generic binary type never opens without asking
    ASSERT_EQ(script.seen().size(), 1u);
    const auto& req = script.seen()[0];
    EXPECT_EQ(req.kind, DialogKind::ChooseProgram);
    EXPECT_EQ(req.fileName, file);
    EXPECT_NE(req.text.find("modelo.qqq"), std::string::npos);
    // Programs for the type (and its parents) first, then the others that open files.
    ASSERT_GE(req.candidates.size(), 2u);
    EXPECT_EQ(req.candidates[0], "Hex");
    const auto pos = [&](const std::string& n) {
        return std::find(req.candidates.begin(), req.candidates.end(), n) - req.candidates.begin();
    };
    EXPECT_LT(pos("Visualizador"), static_cast<long>(req.candidates.size()));
    EXPECT_EQ(pos("Helper"), static_cast<long>(req.candidates.size()));

    DialogScript chosen;
    chosen.Then(DialogAnswer::Program(static_cast<int>(pos("Visualizador"))));
    r = os::ShellOpen(file);
    EXPECT_EQ(r.outcome, os::OpenOutcome::OpenedChosen);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].program, "zv");
    EXPECT_EQ(launched[0].arguments, std::vector<std::string>{file});

    // A typed command: quoted words stay whole; the file goes where %f is, else at the end.
    DialogScript typed;
    typed.Then(DialogAnswer::Command("\"/opt/My App/run\" --abrir"))
        .Then(DialogAnswer::Command("conv -i %f -o out.csv"));
    launched.clear();
    ASSERT_TRUE(os::ShellOpen(file).ok());
    ASSERT_TRUE(os::ShellOpen(file).ok());
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[0].program, "/opt/My App/run");
    EXPECT_EQ(launched[0].arguments, (std::vector<std::string>{"--abrir", file}));
    EXPECT_EQ(launched[1].arguments, (std::vector<std::string>{"-i", file, "-o", "out.csv"}));
}

TEST_F(Desktop, AProgramThatCannotStartLeadsToTheChoice)
{
    App("sys/share", "leitor.desktop", "Name=Leitor\nExec=leitor %f\nMimeType=text/plain;\n");
    const std::string file = File("p.txt");
    launchWorks = false;
    DialogScript script;
    script.Then(DialogAnswer::Command("outro")).Then(DialogAnswer::Yes()).Then(DialogAnswer::Cancel());
    const auto r = os::ShellOpen(file);
    EXPECT_EQ(r.outcome, os::OpenOutcome::Cancelled);
    EXPECT_EQ(script.kinds(),
              (std::vector<DialogKind>{DialogKind::ChooseProgram, DialogKind::Message, DialogKind::ChooseProgram}));
    EXPECT_NE(script.seen()[0].text.find("Leitor"), std::string::npos);
    EXPECT_NE(script.seen()[1].text.find("outro"), std::string::npos);
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[0].program, "leitor");
    EXPECT_EQ(launched[1].program, "outro");
}

TEST_F(Desktop, TheChoiceDialogListsTheProgramsAndTakesACommand)
{
    EnsureQtApp();
    App("sys/share", "zviewer.desktop", "Name=Visualizador\nExec=zv %f\n");
    const std::string file = File("modelo.qqq");
    QStringList listed;
    WhenModal<QDialog>([&](QDialog* dlg) {
        auto* list = dlg->findChild<QListWidget*>();
        for (int i = 0; list && i < list->count(); ++i) listed << list->item(i)->text();
        // Choosing in the list, then typing a command instead.
        list->item(0)->setSelected(true);
        auto* edit = dlg->findChild<QLineEdit*>();
        edit->setText("conv %f");
        EXPECT_TRUE(list->selectedItems().isEmpty());
        dlg->accept();
    });
    const auto r = os::ShellOpen(file);
    EXPECT_EQ(r.outcome, os::OpenOutcome::OpenedChosen);
    EXPECT_TRUE(listed.contains("Visualizador"));
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].program, "conv");
}

TEST(DesktopEntries, CommandLinesAndFieldCodes)
{
    os::DesktopApp app;
    app.name = "Leitor";
    app.icon = "leitor";
    app.file = "/usr/share/applications/leitor.desktop";
    using V = std::vector<std::string>;
    EXPECT_EQ(
        os::CommandForFile("leitor %i --name %c %k %U", "/d/a b.txt", &app),
        (V{"leitor", "--icon", "leitor", "--name", "Leitor", "/usr/share/applications/leitor.desktop", "/d/a b.txt"}));
    EXPECT_EQ(os::CommandForFile("run --file=%f --pct=50%% %d %m", "/x"), (V{"run", "--file=/x", "--pct=50%"}));
    EXPECT_EQ(os::CommandForFile("sh -c \"echo \\\"\\$1\\\"\" x", "/x"), (V{"sh", "-c", "echo \"$1\"", "x", "/x"}));
    EXPECT_TRUE(os::CommandForFile("\"unterminated", "/x").empty());
    EXPECT_TRUE(os::CommandForFile("   ", "/x").empty());

    os::DesktopApp parsed;
    EXPECT_TRUE(os::AppRegistry::ParseDesktopFile(
        "# c\n[Desktop Entry]\nType=Application\nName=X\nExec=x\\sy %f\nMimeType=a/b;c/d\n[Desktop Action new]\nExec=other\n",
        "x.desktop", "/p/x.desktop", parsed));
    EXPECT_EQ(parsed.exec, "x y %f");
    EXPECT_EQ(parsed.mimeTypes, (V{"a/b", "c/d"}));
    EXPECT_TRUE(parsed.TakesFiles());
    EXPECT_FALSE(os::AppRegistry::ParseDesktopFile("[Desktop Entry]\nType=Link\nExec=x\n", "l", "l", parsed));
    EXPECT_FALSE(os::AppRegistry::ParseDesktopFile("[Desktop Entry]\nType=Application\n", "n", "n", parsed));
    EXPECT_FALSE(os::AppRegistry::ParseDesktopFile("garbage", "g", "g", parsed));
}
