// Lists and combos, the grid, the drive and folder lists.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;
using formstest::ExpectError;
using formstest::TempFolder;

namespace {

using Log = std::vector<std::string>;


TEST(FormsLists, AddRemoveAndChooseInAListBox)
{
    Form f("frmList");
    auto& List1 = f.Add<ListBox>("List1");
    int clicks = 0;
    List1.Click += [&] { ++clicks; };
    List1.AddItem("b");
    List1.AddItem("d");
    List1.AddItem("a", 0);
    List1.AddItem("c", 2);
    EXPECT_EQ(List1.NewIndex(), 2);
    ASSERT_EQ(List1.ListCount(), 4);
    EXPECT_EQ(List1.List(0) + List1.List(1) + List1.List(2) + List1.List(3), "abcd");
    EXPECT_EQ(List1.List(9), "");  // out of range reads give nothing
    EXPECT_EQ(List1.ListIndex(), -1);
    EXPECT_EQ(clicks, 0);  // adding chooses nothing

    List1.SetItemData(3, 40);
    EXPECT_EQ(List1.ItemData(3), 40);
    List1.SetListIndex(2);
    EXPECT_EQ(List1.Text(), "c");
    List1.AddItem("a0", 0);  // inserting before the choice keeps the choice
    EXPECT_EQ(List1.Text(), "c");
    EXPECT_EQ(List1.ListIndex(), 3);
    List1.RemoveItem(0);
    EXPECT_EQ(List1.ListIndex(), 2);
    List1.RemoveItem(2);  // the chosen entry goes: nothing is chosen
    EXPECT_EQ(List1.ListIndex(), -1);
    EXPECT_EQ(List1.NewIndex(), -1);
    EXPECT_EQ(List1.ItemData(2), 40);
    EXPECT_EQ(clicks, 1);

    List1.SetSelected(1, true);  // one choice: Selected chooses
    EXPECT_EQ(List1.ListIndex(), 1);
    List1.SetSelected(1, false);
    EXPECT_EQ(List1.ListIndex(), -1);
    EXPECT_EQ(clicks, 3);

    ExpectError(5, [&] { List1.RemoveItem(3); });
    ExpectError(5, [&] { List1.AddItem("x", 7); });
    ExpectError(381, [&] { List1.ItemData(-1); });
    ExpectError(380, [&] { List1.SetListIndex(3); });

    List1.Clear();
    EXPECT_EQ(List1.ListCount(), 0);
    EXPECT_EQ(List1.ListIndex(), -1);
    EXPECT_EQ(clicks, 3);
}

TEST(FormsLists, MultiSelectListsToggleEntriesAndRaiseClickForEach)
{
    Form f("frmMulti");
    auto& Opts = f.Add<ListBox>("Opts");
    Opts.Move(0, 0, 2000, 2000);
    Opts.SetMultiSelect(vbMultiSelectSimple);
    for (const char* s : {"Diâmetro", "Declividade", "Profundidade", "Degrau"}) Opts.AddItem(s);
    Log log;
    Opts.Click +=
        [&] { log.push_back(std::to_string(Opts.ListIndex()) + (Opts.Selected(Opts.ListIndex()) ? "+" : "-")); };
    Opts.SetSelected(0, true);
    Opts.SetSelected(2, true);
    Opts.SetSelected(2, true);  // no change: no Click
    EXPECT_EQ(Opts.SelCount(), 2);
    f.Show();
    user::Choose(Opts, 3);
    user::Choose(Opts, 0);  // a second click takes it out again
    EXPECT_EQ(log, (Log{"0+", "2+", "3+", "0-"}));
    EXPECT_EQ(Opts.SelCount(), 2);
    EXPECT_TRUE(Opts.Selected(2));
    EXPECT_TRUE(Opts.Selected(3));
    EXPECT_EQ(Opts.List(0), "Diâmetro");
    Unload(f);
}

TEST(FormsLists, ComboBoxesEditableAndDropDownLists)
{
    Form f("frmCombos");
    auto& Escala = f.Add<ComboBox>("Escala");  // editable
    auto& Material = f.Add<ComboBox>("Material");
    Material.SetStyle(vbComboDropdownList);
    Log log;
    Escala.Click += [&] { log.push_back("escala click " + Escala.Text()); };
    Escala.Change += [&] { log.push_back("escala change " + Escala.Text()); };
    Material.Click += [&] { log.push_back("material click " + Material.Text()); };
    for (const char* s : {"500", "1000", "2000"}) Escala.AddItem(s);
    for (const char* s : {"PVC", "Ferro Fundido", "Concreto"}) Material.AddItem(s);
    EXPECT_EQ(Material.ListIndex(), -1);  // adding chooses nothing
    EXPECT_EQ(Material.Text(), "");
    EXPECT_EQ(Escala.Text(), "");

    Escala.SetText("1000");  // an item's text: it becomes the choice, Change only
    EXPECT_EQ(Escala.ListIndex(), 1);
    Escala.SetListIndex(2);
    Material.SetText("concreto");  // a drop-down list chooses the item, whatever the case
    EXPECT_EQ(Material.ListIndex(), 2);
    ExpectError(383, [&] { Material.SetText("Aço"); });
    EXPECT_EQ(log, (Log{"escala change 1000", "escala click 2000", "material click Concreto"}));

    f.Show();
    log.clear();
    user::Type(Escala, "5");  // typing: Change, and no item is chosen any more
    EXPECT_EQ(Escala.ListIndex(), -1);
    user::Choose(Escala, 0);
    user::Choose(Material, 0);
    EXPECT_EQ(log, (Log{"escala change 20005", "escala click 500", "material click PVC"}));
    EXPECT_EQ(Escala.ListIndex(), 0);

    Material.SetDropDownWidth(4500);  // 300 pixels
    EXPECT_DOUBLE_EQ(Material.DropDownWidth(), 4500);
    Material.RemoveItem(0);  // the choice goes
    EXPECT_EQ(Material.ListIndex(), -1);
    EXPECT_EQ(Material.Text(), "");
    Escala.Clear();
    EXPECT_EQ(Escala.Text(), "");
    EXPECT_EQ(Escala.ListCount(), 0);
    Unload(f);
}

TEST(FormsLists, GridWithFormatStringWidthsColoursAndKeys)
{
    Form f("frmGrid");
    auto& TEMAFlg = f.Add<FlexGrid>("TEMAFlg");
    TEMAFlg.Move(0, 0, 2400, 2400);
    TEMAFlg.SetFormatString("|Tipo|>Qtt");
    EXPECT_EQ(TEMAFlg.Cols(), 3);
    EXPECT_EQ(TEMAFlg.TextMatrix(0, 1), "Tipo");
    EXPECT_EQ(TEMAFlg.TextMatrix(0, 2), "Qtt");
    EXPECT_EQ(TEMAFlg.ColAlignment(2), flexAlignRightCenter);
    TEMAFlg.SetColWidth(0, 275);
    TEMAFlg.SetColWidth(1, 1300);
    TEMAFlg.SetColWidth(2, 400);
    EXPECT_DOUBLE_EQ(TEMAFlg.ColWidth(0), 270);  // whole pixels: 18
    EXPECT_DOUBLE_EQ(TEMAFlg.ColWidth(1), 1305);

    const long colours[] = {vbRed, vbYellow, vbGreen};
    for (int i = 0; i < 3; ++i) {
        TEMAFlg.SetRows(i + 2);
        TEMAFlg.SetRow(i + 1);
        TEMAFlg.SetCol(0);
        TEMAFlg.SetCellBackColor(colours[i]);
        TEMAFlg.SetTextMatrix(i + 1, 1, "Classe " + std::to_string(i));
        TEMAFlg.SetTextMatrix(i + 1, 2, std::to_string(10 * i));
    }
    EXPECT_EQ(TEMAFlg.Rows(), 4);
    TEMAFlg.SetRow(2);
    TEMAFlg.SetCol(0);
    EXPECT_EQ(TEMAFlg.CellBackColor(), vbYellow);
    TEMAFlg.SetCol(1);
    EXPECT_EQ(TEMAFlg.CellBackColor(), 0);  // never set: the grid's own colour
    EXPECT_EQ(TEMAFlg.Text(), "Classe 1");
    ExpectError(381, [&] { TEMAFlg.TextMatrix(4, 0); });

    Log log;
    TEMAFlg.KeyDown += [&](int& KeyCode, int Shift) {
        if (KeyCode == vbKeyC && Shift == vbCtrlMask) log.push_back("copy " + TEMAFlg.Text());
    };
    TEMAFlg.Click +=
        [&] { log.push_back("click " + std::to_string(TEMAFlg.Row()) + "," + std::to_string(TEMAFlg.Col())); };
    TEMAFlg.RowColChange += [&] { log.push_back("moved"); };
    f.Show();
    user::ClickCell(TEMAFlg, 3, 2);
    user::PressKey(TEMAFlg, vbKeyC, vbCtrlMask);
    EXPECT_EQ(log, (Log{"moved", "click 3,2", "copy 20"}));
    EXPECT_EQ(TEMAFlg.RowSel(), 3);
    EXPECT_EQ(TEMAFlg.ColSel(), 2);
    TEMAFlg.SetRowSel(1);  // a selection from row 1 to row 3 of column 2
    EXPECT_EQ(TEMAFlg.Row(), 3);
    EXPECT_EQ(TEMAFlg.RowSel(), 1);

    TEMAFlg.AddItem("\tClasse 3\t30");
    EXPECT_EQ(TEMAFlg.Rows(), 5);
    EXPECT_EQ(TEMAFlg.TextMatrix(4, 2), "30");
    TEMAFlg.Clear();
    EXPECT_EQ(TEMAFlg.TextMatrix(4, 2), "");
    Unload(f);
}

TEST(FormsLists, DrivesAndFoldersFollowTheFileSystem)
{
    namespace fs = std::filesystem;
    const fs::path root = TempFolder("forms-dirs");
    fs::create_directories(root / "Beta");
    fs::create_directories(root / "alfa" / "interna");
    std::ofstream(root / "arquivo.txt") << "x";

    Form f("frmAbrir");
    auto& Drive1 = f.Add<DriveListBox>("Drive1");
    auto& Dir1 = f.Add<DirListBox>("Dir1");
    Dir1.Move(0, 400, 3000, 3000);
    Log log;
    Drive1.Change += [&] { Dir1.SetPath(Drive1.Drive()); };
    Dir1.Change += [&] { log.push_back(Dir1.Path()); };

    ASSERT_GE(Drive1.ListCount(), 1);
    EXPECT_EQ(Drive1.List(0), "/");
    Drive1.SetDrive(root.string());  // the mount point holding the folder
    EXPECT_EQ(Drive1.ListIndex() >= 0, true);

    Dir1.SetPath(root.string());
    EXPECT_EQ(Dir1.Path(), root.string());
    EXPECT_EQ(Dir1.ListCount(), 2);  // folders only
    EXPECT_EQ(Dir1.List(0), (root / "alfa").string());
    EXPECT_EQ(Dir1.List(1), (root / "Beta").string());
    EXPECT_EQ(Dir1.List(-1), root.string());
    EXPECT_EQ(Dir1.List(-2), root.parent_path().string());

    f.Show();
    log.clear();
    user::OpenFolder(Dir1, 0);
    EXPECT_EQ(log, (Log{(root / "alfa").string()}));
    EXPECT_EQ(Dir1.ListCount(), 1);
    user::OpenFolder(Dir1, -2);  // back up to the parent
    EXPECT_EQ(Dir1.Path(), root.string());
    Dir1.SetPath(root.string());  // the same folder: no Change
    EXPECT_EQ(log.size(), 2u);
    ExpectError(76, [&] { Dir1.SetPath((root / "nada").string()); });
    ExpectError(76, [&] { Dir1.SetPath((root / "arquivo.txt").string()); });
    Unload(f);
    fs::remove_all(root);
}

}  // namespace
