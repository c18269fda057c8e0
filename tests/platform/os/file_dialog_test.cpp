#include "DialogScript.h"
#include "Modal.h"
#include "Support.h"

#include "platform/os/FileDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <filesystem>

using namespace ostest;
using os::DialogAnswer;
using os::DialogKind;

TEST(FileDialog, FilterTextSplitsIntoDescriptionAndPatternPairs)
{
    auto f = os::ParseFilter("Planilha do MSExcel *.xls|*.xls");
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].description, "Planilha do MSExcel *.xls");
    EXPECT_EQ(f[0].patterns, "*.xls");

    f = os::ParseFilter("AutoCAD Drawing *.dwg|*.dwg|Desenhos|*.dwg;*.dxf|");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1].patterns, "*.dwg;*.dxf");

    f = os::ParseFilter("a||b|*.b|sem par");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].patterns, "");
    EXPECT_EQ(f[1].description, "b");
    EXPECT_TRUE(os::ParseFilter("").empty());
}

TEST(FileDialog, OpenPassesTheOptionsAndSplitsTheChosenFile)
{
    TempDir dir;
    WriteBytes(dir / "rede.dwg", "");
    DialogScript script;
    script.Then(DialogAnswer::Path("rede"));  // typed without extension, relative to the folder shown

    os::FileDialogOptions o;
    o.title = "Substituir bloco";
    o.initialDir = dir.path();
    o.filter = "AutoCAD Drawing *.dwg|*.dwg|Todos|*.*";
    o.filterIndex = 2;
    o.defaultExt = "dwg";
    o.flags = os::kFileMustExist;
    const auto r = os::ShowOpenDialog(o);

    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileName, dir / "rede.dwg");
    EXPECT_EQ(r.fileTitle, "rede.dwg");
    EXPECT_EQ(r.folder, dir.path() + "/");
    EXPECT_EQ(r.files, std::vector<std::string>{dir / "rede.dwg"});
    EXPECT_EQ(r.filterIndex, 2);
    ASSERT_EQ(script.seen().size(), 1u);
    const auto& req = script.seen()[0];
    EXPECT_EQ(req.kind, DialogKind::Open);
    EXPECT_EQ(req.title, "Substituir bloco");
    EXPECT_EQ(req.initialDir, dir.path());
    ASSERT_EQ(req.filters.size(), 2u);
    EXPECT_EQ(req.filters[0].description, "AutoCAD Drawing *.dwg");
    EXPECT_EQ(req.filterIndex, 2);
    EXPECT_EQ(req.defaultExt, "dwg");
    EXPECT_EQ(req.flags, os::kFileMustExist);
}

TEST(FileDialog, OpenRefusesAMissingFileWhenItMustExistAndCancelGivesErrorZero)
{
    TempDir dir;
    WriteBytes(dir / "pontos", "");  // exists only without the default extension
    DialogScript script;
    script.Then(DialogAnswer::Path(dir / "falta.txt")).Then(DialogAnswer::Yes());

    os::FileDialogOptions o;
    o.initialDir = dir.path();
    o.defaultExt = "txt";
    o.flags = os::kFileMustExist;
    auto r = os::ShowOpenDialog(o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(script.kinds(), (std::vector<DialogKind>{DialogKind::Open, DialogKind::Message, DialogKind::Open}));
    EXPECT_NE(script.seen()[1].text.find("falta.txt"), std::string::npos);
    EXPECT_EQ(script.seen()[2].fileName, dir / "falta.txt");  // the dialog comes back with the name typed

    DialogScript again;
    again.Then(DialogAnswer::Path("pontos"));
    r = os::ShowOpenDialog(o);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileName, dir / "pontos");

    // Without the option a new name is accepted as typed (plus the extension).
    DialogScript free;
    free.Then(DialogAnswer::Path("novo"));
    o.flags = 0;
    r = os::ShowOpenDialog(o);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileTitle, "novo.txt");

    // An existing file in a folder named with "\" is refused all the same.
    std::filesystem::create_directory(dir / "Obra\\");
    WriteBytes(dir / "Obra\\/pontos.txt", "");
    DialogScript backslash;
    backslash.Then(DialogAnswer::Path(dir / "Obra\\/pontos.txt")).Then(DialogAnswer::Yes());
    o.flags = os::kFileMustExist;
    EXPECT_FALSE(os::ShowOpenDialog(o).ok);
    EXPECT_EQ(backslash.kinds(), (std::vector<DialogKind>{DialogKind::Open, DialogKind::Message, DialogKind::Open}));
}

TEST(FileDialog, OpenSeveralFiles)
{
    TempDir dir;
    WriteBytes(dir / "a.dwg", "");
    WriteBytes(dir / "b.dwg", "");
    DialogScript script;
    script.Then(DialogAnswer::Paths({dir / "a.dwg", dir / "b.dwg"}));
    os::FileDialogOptions o;
    o.flags = os::kAllowMultiSelect;
    const auto r = os::ShowOpenDialog(o);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.files, (std::vector<std::string>{dir / "a.dwg", dir / "b.dwg"}));
    EXPECT_EQ(r.fileName, dir / "a.dwg");
    EXPECT_EQ(r.folder, dir.path() + "/");
}

TEST(FileDialog, SaveAsksBeforeOverwritingOnlyWhenTold)
{
    TempDir dir;
    WriteBytes(dir / "Quantidades.xls", "old");
    os::FileDialogOptions o;
    o.initialDir = dir.path();
    o.filter = "Planilha do MSExcel *.xls|*.xls";
    o.defaultExt = "xls";
    o.fileName = "Quantidades";
    o.flags = os::kOverwritePrompt;
    {
        // "No" to replacing: the dialog comes back; then a new name.
        DialogScript script;
        script.Then(DialogAnswer::Path("Quantidades")).Then(DialogAnswer::Cancel()).Then(DialogAnswer::Path("Novas"));
        const auto r = os::ShowSaveDialog(o);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.fileName, dir / "Novas.xls");
        EXPECT_EQ(script.kinds(), (std::vector<DialogKind>{DialogKind::Save, DialogKind::Confirm, DialogKind::Save}));
        EXPECT_EQ(script.seen()[0].fileName, "Quantidades");
        EXPECT_NE(script.seen()[1].text.find("Quantidades.xls"), std::string::npos);
    }
    {
        DialogScript script;
        script.Then(DialogAnswer::Path("Quantidades.xls")).Then(DialogAnswer::Yes());
        const auto r = os::ShowSaveDialog(o);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.fileName, dir / "Quantidades.xls");
    }
    {
        DialogScript script;
        script.Then(DialogAnswer::Path("Quantidades.xls"));
        o.flags = 0;
        const auto r = os::ShowSaveDialog(o);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(script.kinds(), std::vector<DialogKind>{DialogKind::Save});
    }
    {
        // A folder that does not exist is refused whatever the flags.
        DialogScript script;
        script.Then(DialogAnswer::Path(dir / "nao/existe.xls"));
        EXPECT_FALSE(os::ShowSaveDialog(o).ok);
        EXPECT_EQ(script.kinds(), (std::vector<DialogKind>{DialogKind::Save, DialogKind::Message, DialogKind::Save}));
    }
    {
        // A folder named "Obra\" beside last year's "Obra": its "\" would be
        // read as a separator and the name would reach the other folder's file.
        std::filesystem::create_directory(dir / "Obra\\");
        std::filesystem::create_directory(dir / "Obra");
        WriteBytes(dir / "Obra/rede.dwg", "last year");
        o.flags = os::kOverwritePrompt;
        o.defaultExt = "dwg";
        DialogScript script;
        script.Then(DialogAnswer::Path(dir / "Obra\\/rede.dwg"))
            .Then(DialogAnswer::Yes())
            .Then(DialogAnswer::Path("Obra\\rede"))  // typed in the folder shown
            .Then(DialogAnswer::Yes());
        EXPECT_FALSE(os::ShowSaveDialog(o).ok);
        ASSERT_EQ(script.kinds(), (std::vector<DialogKind>{DialogKind::Save, DialogKind::Message, DialogKind::Save,
                                                           DialogKind::Message, DialogKind::Save}));
        EXPECT_NE(script.seen()[1].text.find("Obra\\/rede.dwg"), std::string::npos) << script.seen()[1].text;
        EXPECT_NE(script.seen()[1].text.find("\"\\\""), std::string::npos) << script.seen()[1].text;
        EXPECT_NE(script.seen()[3].text.find("Obra\\rede.dwg"), std::string::npos) << script.seen()[3].text;
        EXPECT_EQ(ReadBytes(dir / "Obra/rede.dwg"), "last year");
    }
}

TEST(FileDialog, FolderBrowser)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "Catalogo");
    WriteBytes(dir / "arquivo.txt", "");
    DialogScript script;
    script.Then(DialogAnswer::Path(dir / "arquivo.txt"))
        .Then(DialogAnswer::Yes())
        .Then(DialogAnswer::Path(dir / "Catalogo/"));
    const auto r = os::BrowseForFolder("Localize o arquivo Rereva2000r.mdb", dir.path());
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.path, dir / "Catalogo");
    EXPECT_EQ(script.kinds(), (std::vector<DialogKind>{DialogKind::Folder, DialogKind::Message, DialogKind::Folder}));
    EXPECT_EQ(script.seen()[0].title, "Localize o arquivo Rereva2000r.mdb");
    EXPECT_EQ(script.seen()[0].initialDir, dir.path());

    // A folder whose name holds "\" cannot be told from two folders.
    std::filesystem::create_directory(dir / "Obra\\");
    DialogScript refused;
    refused.Then(DialogAnswer::Path(dir / "Obra\\")).Then(DialogAnswer::Yes());
    EXPECT_FALSE(os::BrowseForFolder("Pasta", dir.path()).ok);
    ASSERT_EQ(refused.kinds(), (std::vector<DialogKind>{DialogKind::Folder, DialogKind::Message, DialogKind::Folder}));
    EXPECT_NE(refused.seen()[1].text.find("\"\\\""), std::string::npos) << refused.seen()[1].text;

    DialogScript cancel;
    const auto c = os::BrowseForFolder("x", dir.path());
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.error, 0);
    EXPECT_EQ(c.path, "");
}

// The real dialogs, driven through their widgets as a person would.
TEST(FileDialog, TheQtDialogsShowTheOptionsAndReturnTheChoice)
{
    EnsureQtApp();
    TempDir dir;
    WriteBytes(dir / "REDE.DWG", "");
    WriteBytes(dir / "Rede.dwg", std::string(22000, 'x'));
    std::filesystem::create_directory(dir / "Projetos");

    QStringList filters;
    QString title;
    std::vector<std::string> columns;
    WhenModal<QFileDialog>([&](QFileDialog* dlg) {
        filters = dlg->nameFilters();
        title = dlg->windowTitle();
        // The list in Portuguese, each column as wide as what it shows.
        auto* list = dlg->findChild<QTreeView*>("treeView");
        auto* files = dlg->findChild<QFileSystemModel*>();
        QEventLoop loaded;
        QObject::connect(files, &QFileSystemModel::directoryLoaded, &loaded, &QEventLoop::quit);
        QTimer::singleShot(5000, &loaded, &QEventLoop::quit);  // only a broken model waits this long
        if (list->model()->rowCount(list->rootIndex()) < 3) loaded.exec();
        QCoreApplication::processEvents();
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            std::string line;
            for (int c = 0; c < 4; ++c)
                line += list->model()->index(row, c, list->rootIndex()).data().toString().toStdString() + "|";
            columns.push_back(line);
        }
        for (int c = 0; c < 4; ++c) {
            EXPECT_GE(list->header()->sectionSize(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c;
            EXPECT_GE(list->header()->sectionSize(c), list->header()->sectionSizeHint(c)) << c;
        }
        EXPECT_EQ(list->model()->headerData(3, Qt::Horizontal).toString(), "Data de modificação");
        // Typed into the name field, which has the focus.
        dlg->findChild<QLineEdit*>("fileNameEdit")->setText("REDE.DWG");
        static_cast<QDialog*>(dlg)->accept();  // QFileDialog hides it, QDialog offers it
    });
    os::FileDialogOptions o;
    o.title = "Abrir desenho";
    o.initialDir = dir.path();
    o.filter = "AutoCAD Drawing *.dwg|*.dwg|Todos|*.*";
    o.flags = os::kFileMustExist;
    auto r = os::ShowOpenDialog(o);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileName, dir / "REDE.DWG");
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(title, "Abrir desenho");
    // Upper-case extensions of files from Windows are listed too.
    EXPECT_EQ(filters, (QStringList{"AutoCAD Drawing *.dwg (*.[dD][wW][gG])", "Todos (*)"}));
    const QRegularExpression dia(R"(\|\d\d/\d\d/\d{4} \d\d:\d\d\|$)");
    ASSERT_EQ(columns.size(), 3u);
    const auto row = [&](const std::string& start) {
        return std::ranges::count_if(columns, [&](const std::string& c) { return c.starts_with(start); });
    };
    EXPECT_EQ(row("Projetos||Pasta|"), 1);
    EXPECT_EQ(row("Rede.dwg|21,5 kB|Arquivo DWG|"), 1);
    for (const std::string& c : columns) EXPECT_TRUE(dia.match(QString::fromStdString(c)).hasMatch()) << c;

    // Saving over a file asks first; "Sim" replaces.
    QString question, proposed;
    bool focused = false;
    WhenModal<QFileDialog>([&](QFileDialog* dlg) {
        // What the user types replaces the proposed name.
        auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
        focused = dlg->focusWidget() == name;
        proposed = name->selectedText();
        // Typed by the user: the name without its extension.
        name->setText("Rede");
        static_cast<QDialog*>(dlg)->accept();  // QFileDialog hides it, QDialog offers it
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            for (auto* b : box->buttons())
                if (b->text() == "Sim") b->click();
        });
    });
    o.flags = os::kOverwritePrompt;
    o.defaultExt = "dwg";
    o.fileName = "Nova rede.dwg";
    r = os::ShowSaveDialog(o);
    EXPECT_TRUE(focused);
    EXPECT_EQ(proposed, "Nova rede.dwg");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fileName, dir / "Rede.dwg");
    EXPECT_TRUE(question.contains("Rede.dwg")) << question.toStdString();

    // Closing the dialog is a cancel.
    WhenModal<QFileDialog>([](QFileDialog* dlg) { dlg->reject(); });
    r = os::ShowSaveDialog(o);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, 0);
}
