// Text boxes bound to the fields of a dBase table: what they show after each
// move, what the user types reaching the file at the next move, and values
// the file or the field refuses keeping the user's text and the record.

#include <gtest/gtest.h>

#include <shapefil.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "platform/ado/Ado.h"
#include "platform/forms/DataBinding.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

// REDE1.DBF: CLTAT N(4), PVM C(6), DIAM N(6,3); three records stored out of
// CLTAT order, the second with blank PVM and DIAM.
struct Table {
    std::filesystem::path dir = formstest::TempFolder("quoril-binding");
    std::string path = (dir / "REDE1.DBF").string();
    ado::Connection cn;

    Table()
    {
        DBFHandle h = DBFCreate(path.c_str());
        DBFAddField(h, "CLTAT", FTInteger, 4, 0);
        DBFAddField(h, "PVM", FTString, 6, 0);
        DBFAddField(h, "DIAM", FTDouble, 6, 3);
        const struct {
            int cltat;
            const char* pvm;
            double diam;
        } rows[] = {{3, "PV3", 0.2}, {1, nullptr, -1}, {2, "PV2", 0.15}};
        int i = 0;
        for (const auto& r : rows) {
            DBFWriteIntegerAttribute(h, i, 0, r.cltat);
            if (r.pvm)
                DBFWriteStringAttribute(h, i, 1, r.pvm);
            else
                DBFWriteNULLAttribute(h, i, 1);
            if (r.diam >= 0)
                DBFWriteDoubleAttribute(h, i, 2, r.diam);
            else
                DBFWriteNULLAttribute(h, i, 2);
            ++i;
        }
        DBFClose(h);
        cn.SetCursorLocation(ado::adUseClient);
        cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.string() + "/; Extended Properties=dBase 5.0;",
                "", "");
    }
    ~Table() { std::filesystem::remove_all(dir); }

    ado::Recordset Open(const std::string& order = "CLTAT")
    {
        ado::Recordset rs;
        rs.Open("select CLTAT,PVM,DIAM from REDE1.DBF order by " + order, cn, ado::adOpenStatic, ado::adLockOptimistic);
        return rs;
    }

    // Field `field` of the record with CLTAT `cltat` as the file holds it now.
    std::string Stored(int cltat, const std::string& field)
    {
        ado::Connection other;
        other.SetCursorLocation(ado::adUseClient);
        other.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.string() + "/; Extended Properties=dBase 5.0;",
                   "", "");
        ado::Recordset rs;
        rs.Open("select * from REDE1.DBF where CLTAT = " + std::to_string(cltat), other, ado::adOpenStatic,
                ado::adLockReadOnly);
        return rs.Eof() ? "<no record>" : rs.Fields(field).Value().TextOr("<null>");
    }
};

struct EditForm : Form {
    TextBox& txtCLTAT = Add<TextBox>("txtCLTAT");
    TextBox& txtPVM = Add<TextBox>("txtPVM");
    TextBox& txtDIAM = Add<TextBox>("txtDIAM");
    EditForm() : Form("frmBound")
    {
        txtCLTAT.Move(120, 120, 1500, 300);
        txtPVM.Move(120, 520, 1500, 300);
        txtDIAM.Move(120, 920, 1500, 300);
        txtCLTAT.SetDataField("CLTAT");
        txtPVM.SetDataField("PVM");
        txtDIAM.SetDataField("DIAM");
    }
    void Bind(const ado::Recordset& rs)
    {
        for (TextBox* t : {&txtCLTAT, &txtPVM, &txtDIAM}) SetDataSource(*t, rs);
    }
    std::vector<std::string> Shown() const { return {txtCLTAT.Text(), txtPVM.Text(), txtDIAM.Text()}; }
};

// Replaces the box's text key by key, as a person selecting it all and typing.
void Retype(TextBox& box, const std::string& text)
{
    user::Focus(box);
    box.SetSelStart(0);
    box.SetSelLength(static_cast<int>(box.Text().size()));
    user::PressKey(box, vbKeyDelete);
    user::Type(box, text);
}

long ErrorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ado::Error& e) {
        return e.Number();
    }
    return 0;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(TextBinding, ShowsTheCurrentRecordAfterEveryMoveWithoutCountingAsAnEdit)
{
    Table t;
    EditForm f;
    f.Show();
    ado::Recordset rs = t.Open();
    int changes = 0;
    f.txtPVM.Change += [&] { ++changes; };
    f.Bind(rs);
    EXPECT_EQ(f.Shown(), (Texts{"1", "", ""}));  // Null shows as empty
    rs.MoveNext();
    EXPECT_EQ(f.Shown(), (Texts{"2", "PV2", "0.15"}));
    EXPECT_EQ(changes, 1);  // the box's own Change still runs when a value is shown
    EXPECT_FALSE(f.txtPVM.DataChanged());
    EXPECT_EQ(rs.EditMode(), ado::adEditNone);
    rs.MoveLast();
    EXPECT_EQ(f.Shown(), (Texts{"3", "PV3", "0.2"}));
    rs.MoveNext();  // past the end: no current record
    EXPECT_EQ(f.Shown(), (Texts{"", "", ""}));
    rs.MoveFirst();
    EXPECT_EQ(f.Shown()[0], "1");

    // Reopened in another order, the same recordset keeps its boxes.
    rs.Close();
    rs.Open("select CLTAT,PVM,DIAM from REDE1.DBF order by CLTAT desc", t.cn, ado::adOpenStatic, ado::adLockOptimistic);
    EXPECT_EQ(f.Shown()[0], "3");
    rs.MoveNext();
    // A new DataField shows that field; a box let go shows nothing new.
    f.txtPVM.SetDataField("CLTAT");
    EXPECT_EQ(f.txtPVM.Text(), "2");
    ClearDataSource(f.txtPVM);
    rs.MoveNext();
    EXPECT_EQ(f.txtPVM.Text(), "2");
    EXPECT_EQ(f.txtCLTAT.Text(), "1");
    EXPECT_FALSE(DataSource(f.txtPVM).has_value());
    EXPECT_TRUE(DataSource(f.txtCLTAT).has_value());

    // An empty table shows empty boxes; a field that is not there is refused at once.
    ado::Recordset none;
    none.Open("select CLTAT,PVM,DIAM from REDE1.DBF where CLTAT > 10", t.cn, ado::adOpenStatic, ado::adLockOptimistic);
    f.Bind(none);
    EXPECT_EQ(f.Shown(), (Texts{"", "", ""}));
    TextBox& loose = f.Add<TextBox>("txtNada");
    loose.SetDataField("NADA");
    EXPECT_EQ(ErrorNumberOf([&] { SetDataSource(loose, rs); }), ado::adErrItemNotFound);
    EXPECT_FALSE(DataSource(loose).has_value());
}

TEST(TextBinding, WhatTheUserTypesIsSavedAtTheNextMoveAndRefusedValuesKeepTheRecord)
{
    Table t;
    EditForm f;
    f.Show();
    ado::Recordset rs = t.Open();
    f.Bind(rs);
    rs.MoveNext();  // CLTAT 2

    Retype(f.txtDIAM, "0,3");  // either decimal point
    Retype(f.txtPVM, "PV20");
    EXPECT_TRUE(f.txtDIAM.DataChanged());
    EXPECT_EQ(t.Stored(2, "DIAM"), "0.15");  // nothing written before the move
    rs.MoveFirst();
    EXPECT_EQ(t.Stored(2, "DIAM"), "0.3");
    EXPECT_EQ(t.Stored(2, "PVM"), "PV20");
    EXPECT_FALSE(f.txtDIAM.DataChanged());

    // Emptied by code, the field becomes Null.
    rs.MoveNext();
    f.txtPVM.SetText("");
    rs.MovePrevious();
    EXPECT_EQ(t.Stored(2, "PVM"), "<null>");

    // Too long for the field: the move is refused, the record and the text stay.
    rs.MoveNext();
    Retype(f.txtPVM, "PV2000000");
    EXPECT_EQ(ErrorNumberOf([&] { rs.MoveNext(); }), ado::adErrConversion);
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    EXPECT_EQ(f.txtPVM.Text(), "PV2000000");
    EXPECT_EQ(t.Stored(2, "PVM"), "<null>");
    Retype(f.txtPVM, "PV200");
    rs.MoveNext();
    EXPECT_EQ(t.Stored(2, "PVM"), "PV200");
    EXPECT_EQ(f.txtPVM.Text(), "PV3");
}

TEST(TextBinding, LettersInANumberFieldAreNotAssignedAndTheBoxSaysWhy)
{
    Table t;
    EditForm f;
    f.Show();
    ado::Recordset rs = t.Open();
    f.Bind(rs);
    rs.MoveLast();  // CLTAT 3, DIAM 0.2

    Retype(f.txtDIAM, "1a");  // "1" went in at the first key, "1a" cannot
    ASSERT_TRUE(DataError(f.txtDIAM).has_value());
    EXPECT_EQ(DataError(f.txtDIAM)->Number(), ado::adErrConversion);
    EXPECT_NE(DataError(f.txtDIAM)->Description().find("DIAM"), std::string::npos);
    EXPECT_EQ(f.txtDIAM.Text(), "1a");
    EXPECT_EQ(rs.Fields("DIAM").Value().ToText(), "0.2");  // not the "1" of the first key
    EXPECT_FALSE(DataError(f.txtPVM).has_value());

    // Mended, the text goes in and the error is gone.
    user::PressKey(f.txtDIAM, vbKeyBack);
    EXPECT_FALSE(DataError(f.txtDIAM).has_value());
    rs.MoveFirst();
    EXPECT_EQ(t.Stored(3, "DIAM"), "1");

    // Typed where there is no current record: nothing is assigned, the box says why.
    rs.MoveLast();
    rs.MoveNext();
    f.txtPVM.SetText("PV9");
    ASSERT_TRUE(DataError(f.txtPVM).has_value());
    EXPECT_EQ(DataError(f.txtPVM)->Number(), ado::adErrNoCurrentRecord);
    rs.MoveFirst();
    EXPECT_FALSE(DataError(f.txtPVM).has_value());  // a new record shown clears it
}
