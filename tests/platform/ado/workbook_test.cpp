// Workbook sheets through the data control: filled record by record with
// Edit (and AddNew past the last row), read back, with the template's styles,
// formulas, widths and named ranges intact.

#include "AdoTestSupport.h"

#include "platform/ado/Ado.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <sys/stat.h>

using namespace ado;
using adotest::ErrorNumberOf;
using adotest::ErrorOf;
using adotest::TempDir;

namespace {

bool Contains(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

DataControl Bound(const std::string& path, const std::string& sheet)
{
    DataControl data;
    data.SetConnect("Excel 8.0;");
    data.SetDatabaseName(path);
    data.SetRecordSource(sheet);
    data.Refresh();
    return data;
}

}  // namespace

TEST(WorkbookSheet, DesignRowsFillTheStyledRowsThenAppendBelowThem)
{
    TempDir dir;
    const std::string path = dir.File("rede final.xls");
    adotest::WriteTemplateWorkbook(path);
    const std::string stylesBefore = adotest::ReadZipPart(path, "xl/styles.xml");

    DataControl data = Bound(path, "Plan1$");
    Recordset rs = data.Recordset();
    ASSERT_EQ(rs.RecordCount(), 11);  // rows 2 to 12
    EXPECT_EQ(rs.Fields(0).Name(), " Título com espaço");
    EXPECT_EQ(rs.Fields(1).Name(), "F2");
    EXPECT_EQ(rs.Fields("F20").Name(), "F20");
    EXPECT_EQ(rs.Fields().Count(), 20);

    rs.MoveFirst();
    for (int i = 0; i < 9; ++i) rs.MoveNext();  // the first design row is the tenth record, sheet row 11
    const char* reaches[] = {"1", "2", "10", "11"};
    int added = 0;
    for (const char* reach : reaches) {
        try {
            rs.Edit();
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), adErrNoCurrentRecord);
            rs.AddNew();
            ++added;
        }
        rs.Fields("F2").SetValue(reach);
        rs.Fields("F3").SetValue(std::string(" PV") + reach);
        rs.Fields("F16").SetValue("150");
        rs.Update();
        try {
            rs.MoveNext();
        } catch (const Error&) {
        }
    }
    EXPECT_EQ(added, 2);
    data.SetDatabaseName("");
    data.Refresh();
    EXPECT_EQ(data.Recordset().State(), adStateClosed);

    // Read back through a new control.
    DataControl again = Bound(path, "plan1$");
    Recordset back = again.Recordset();
    ASSERT_EQ(back.RecordCount(), 13);
    back.SetAbsolutePosition(1);
    EXPECT_EQ(back.Fields("F2").Value().ToText(), "coluna B 2");  // the titles above are kept
    back.SetAbsolutePosition(10);
    EXPECT_EQ(back.Fields("F2").Value().ToText(), "1");
    EXPECT_EQ(back.Fields("F3").Value().ToText(), " PV1");  // the leading blank is kept
    back.SetAbsolutePosition(13);
    EXPECT_EQ(back.Fields("F2").Value().ToText(), "11");
    EXPECT_EQ(back.Fields("F16").Value().Kind(), ValueKind::Text);  // written as text
    EXPECT_TRUE(back.Fields(0).Value().IsNull());

    const std::string sheet = adotest::ReadZipPart(path, "xl/worksheets/sheet2.xml");
    EXPECT_TRUE(Contains(sheet, "<c r=\"B11\" s=\"3\" t=\"inlineStr\"><is><t xml:space=\"preserve\">1</t></is></c>"));
    EXPECT_TRUE(Contains(sheet, "<c r=\"B13\" s=\"3\" t=\"inlineStr\">"));  // a new row looks like the one above
    EXPECT_TRUE(Contains(sheet, "<c r=\"P14\" s=\"3\" t=\"inlineStr\">"));
    EXPECT_TRUE(Contains(sheet, "<col min=\"2\" max=\"20\" width=\"11\" customWidth=\"1\"/>"));
    EXPECT_TRUE(Contains(sheet, "<dimension ref=\"A1:T14\"/>"));
    EXPECT_EQ(adotest::ReadZipPart(path, "xl/styles.xml"), stylesBefore);
    EXPECT_TRUE(adotest::ZipPartStorage(path, "xl/worksheets/sheet2.xml") ==
                "deflated");  // compressed again once unbound
    const std::string book = adotest::ReadZipPart(path, "xl/workbook.xml");
    EXPECT_TRUE(Contains(book, "<definedName name=\"VALAS\">Padrao!$H$2:$J$4</definedName>"));
    EXPECT_TRUE(Contains(adotest::ReadZipPart(path, "xl/worksheets/sheet1.xml"), "<f>1+2</f>"));
    EXPECT_TRUE(!adotest::ZipPartStorage(path, "xl/calcChain.xml").empty());  // no formula was overwritten
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().filename().string(), "rede final.xls");  // no temporary file left
}

TEST(WorkbookSheet, QuantitySheetFindsItsMarkerAndWritesFormulasAsText)
{
    TempDir dir;
    const std::string path = dir.File("orca.xls");
    adotest::WriteTemplateWorkbook(path);
    DataControl data = Bound(path, "Padrao$");
    Recordset rs = data.Recordset();
    EXPECT_EQ(rs.Fields(3).Name(), "DN");  // a header of rich-text runs

    rs.MoveFirst();
    for (int i = 0; i < 21; ++i) {
        if (rs.Fields("TRECHO").Value().TextOr("") == "inicia") break;
        rs.MoveNext();
    }
    EXPECT_EQ(rs.AbsolutePosition(), 5);
    EXPECT_DOUBLE_EQ(rs.Fields("PVM").Value().ToDouble(), 12.5);
    EXPECT_TRUE(rs.Fields("PVJ").Value().ToBool());
    rs.MoveNext();
    int r = 11;
    for (const char* trecho : {"1", "10", "2"}) {
        try {
            rs.Edit();
        } catch (const Error&) {
            rs.AddNew();
        }
        rs.Fields("TRECHO").SetValue(trecho);
        rs.Fields("PVM").SetValue("#'PV1");
        rs.Fields("MEDIA").SetValue("#=(F" + std::to_string(r) + "+G" + std::to_string(r) + ")/2");
        rs.Update();
        try {
            rs.MoveNext();
        } catch (const Error&) {
        }
        ++r;
    }
    rs.Close();

    const std::string sheet = adotest::ReadZipPart(path, "xl/worksheets/sheet1.xml");
    // Row 7 held a formula in E7: now a text, so the calculation chain is gone.
    EXPECT_TRUE(Contains(
        sheet, "<c r=\"E7\" s=\"2\" t=\"inlineStr\"><is><t xml:space=\"preserve\">#=(F11+G11)/2</t></is></c>"));
    EXPECT_FALSE(Contains(sheet, "<f>"));
    EXPECT_FALSE(!adotest::ZipPartStorage(path, "xl/calcChain.xml").empty());
    EXPECT_FALSE(Contains(adotest::ReadZipPart(path, "[Content_Types].xml"), "calcChain"));
    EXPECT_FALSE(Contains(adotest::ReadZipPart(path, "xl/_rels/workbook.xml.rels"), "calcChain"));
    EXPECT_TRUE(Contains(adotest::ReadZipPart(path, "xl/workbook.xml"), "fullCalcOnLoad=\"1\""));
    // New cells in the appended row 9: column E has a style of its own, A takes A8's.
    EXPECT_TRUE(Contains(sheet, "<c r=\"E9\" s=\"2\" t=\"inlineStr\">"));
    EXPECT_TRUE(Contains(sheet, "<c r=\"A9\" s=\"2\" t=\"inlineStr\"><is><t xml:space=\"preserve\">2</t></is></c>"));

    DataControl again = Bound(path, "Padrao$");
    Recordset back = again.Recordset();
    back.MoveLast();
    EXPECT_EQ(back.Fields("TRECHO").Value().ToText(), "2");
    EXPECT_EQ(back.Fields("MEDIA").Value().ToText(), "#=(F13+G13)/2");
    EXPECT_THROW(back.Delete(), Error);
}

TEST(WorkbookSheet, MissingFileSheetAndForeignFilesAreNamed)
{
    TempDir dir;
    const std::string path = dir.File("modelo.xls");
    adotest::WriteTemplateWorkbook(path);
    DataControl data;
    data.SetConnect("Excel 8.0;");
    data.SetDatabaseName(path);
    data.SetRecordSource("Resumo$");
    const std::string e1 = ErrorOf([&] { data.Refresh(); });
    EXPECT_TRUE(Contains(e1, "Resumo")) << e1;
    EXPECT_EQ(data.Recordset().State(), adStateClosed);

    data.SetDatabaseName(dir.File("nada.xls"));
    data.SetRecordSource("Plan1$");
    EXPECT_TRUE(Contains(ErrorOf([&] { data.Refresh(); }), dir.File("nada.xls")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("nada.xls")));

    adotest::WriteFile(dir.File("velho.xls"),
                       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    data.SetDatabaseName(dir.File("velho.xls"));
    const std::string e3 = ErrorOf([&] { data.Refresh(); });
    EXPECT_TRUE(Contains(e3, "velho.xls") && Contains(e3, "formato binário antigo")) << e3;

    adotest::WriteZip(dir.File("outro.xls"), {{"readme.txt", "not a workbook"}});
    data.SetDatabaseName(dir.File("outro.xls"));
    EXPECT_TRUE(Contains(ErrorOf([&] { data.Refresh(); }), "outro.xls"));
}

namespace {

// Puts `xml` in place of the sheet "Plan1" of the template (or of another part).
void ReplacePlan1(const std::string& path, const std::string& xml, const char* part = "xl/worksheets/sheet2.xml")
{
    int err = 0;
    zip_t* za = zip_open(path.c_str(), 0, &err);
    ASSERT_NE(za, nullptr);
    zip_source_t* src = zip_source_buffer(za, xml.data(), xml.size(), 0);
    ASSERT_GE(zip_file_add(za, part, src, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(za), 0);
}

// Rewrites the uncompressed size the zip records for `part`, in its local
// header and in the central directory.
void ClaimSize(const std::string& path, const std::string& part, std::uint32_t size)
{
    std::string bytes = adotest::ReadFile(path);
    int patched = 0;
    for (size_t at = 0; (at = bytes.find(part, at)) != std::string::npos; at += part.size()) {
        const size_t local = at - 30, central = at - 46;
        size_t field = 0;
        if (at >= 30 && bytes.compare(local, 4, "PK\x03\x04") == 0)
            field = local + 22;
        else if (at >= 46 && bytes.compare(central, 4, "PK\x01\x02") == 0)
            field = central + 24;
        else
            continue;
        for (int k = 0; k < 4; ++k) bytes[field + k] = static_cast<char>((size >> (8 * k)) & 0xFF);
        ++patched;
    }
    ASSERT_EQ(patched, 2);
    adotest::WriteFile(path, bytes);
}

}  // namespace

TEST(WorkbookSheet, WhatIsReadIsBoundedByWhatTheFileHolds)
{
    TempDir dir;
    const std::string head =
        std::string("<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>");
    const std::string tail = "</sheetData></worksheet>";
    auto refusal = [&](const std::string& name) {
        DataControl data;
        data.SetConnect("Excel 8.0;");
        data.SetDatabaseName(dir.File(name));
        data.SetRecordSource("Plan1$");
        return ErrorOf([&] { data.Refresh(); });
    };

    // One cell in the last row and column: the used range is the whole sheet.
    const std::string far = dir.File("longe.xls");
    adotest::WriteTemplateWorkbook(far);
    ReplacePlan1(far, head +
                          "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>PV</t></is></c></row>"
                          "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>" +
                          tail);
    EXPECT_LT(std::filesystem::file_size(far), 4000u);
    std::string why = refusal("longe.xls");
    EXPECT_TRUE(Contains(why, "Plan1") && Contains(why, "longe.xls") && Contains(why, "A1:XFD1048576")) << why;
    EXPECT_EQ(ErrorNumberOf([&] { Bound(far, "Plan1$"); }), adErrProvider);

    // A wide but sparse sheet whose cells are really there still reads; the
    // template has six shared strings, so 6 names none.
    const std::string wide = dir.File("larga.xls");
    adotest::WriteTemplateWorkbook(wide);
    ReplacePlan1(wide, head +
                           "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>PV</t></is></c>"
                           "<c r=\"AAA1\" t=\"inlineStr\"><is><t>FIM</t></is></c></row>"
                           "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>abc</v></c><c r=\"C2\" t=\"s\"><v>6</v></c>"
                           "<c r=\"D2\" t=\"s\"><v>5</v></c></row>"
                           "<row r=\"300\"><c r=\"Z300\"><v>7</v></c></row>" +
                           tail);
    {
        DataControl data = Bound(wide, "Plan1$");
        Recordset rs = data.Recordset();
        EXPECT_EQ(rs.RecordCount(), 299);
        EXPECT_EQ(rs.Fields().Count(), 703);
        EXPECT_TRUE(rs.Fields("F2").Value().IsNull());  // no shared string's number
        EXPECT_TRUE(rs.Fields("F3").Value().IsNull());
        EXPECT_EQ(rs.Fields("F4").Value().ToText(), " Título com espaço");
        // Written past Z: two letters, then three.
        rs.Edit();
        for (const char* field : {"F26", "F27", "F52", "F53", "F702", "FIM"}) rs.Fields(field).SetValue(field);
        rs.Update();
        rs.Close();
    }
    const std::string larga = adotest::ReadZipPart(wide, "xl/worksheets/sheet2.xml");
    for (const char* cell : {"Z2", "AA2", "AZ2", "BA2", "ZZ2", "AAA2"})
        EXPECT_TRUE(Contains(larga, std::string("<c r=\"") + cell + "\" t=\"inlineStr\">")) << cell;
    EXPECT_TRUE(Contains(larga, "<dimension ref=\"A1:AAA300\"/>"));
    DataControl data = Bound(wide, "Plan1$");
    EXPECT_EQ(data.Recordset().Fields().Count(), 703);
    for (const char* field : {"F26", "F27", "F52", "F53", "F702", "FIM"})
        EXPECT_EQ(data.Recordset().Fields(field).Value().ToText(), field);
    data.Recordset().MoveLast();
    EXPECT_EQ(data.Recordset().Fields("F26").Value().ToText(), "7");

    // Tiny cells, strings or elements by the million: refused before they
    // take a gigabyte, however small the file.
    auto many = [](const std::string& item, int count) {
        std::string text;
        for (int k = 0; k < count; ++k) text += item;
        return text;
    };
    const std::string cells = dir.File("celulas.xls");
    adotest::WriteTemplateWorkbook(cells);
    ReplacePlan1(cells, head + many("<row>" + many("<c/>", 1000) + "</row>", 1001) + tail);
    why = refusal("celulas.xls");
    EXPECT_TRUE(Contains(why, "celulas.xls") && Contains(why, "1000000 células")) << why;
    const std::string strings = dir.File("textos.xls");
    adotest::WriteTemplateWorkbook(strings);
    ReplacePlan1(
        strings,
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + many("<si/>", 1000001) + "</sst>",
        "xl/sharedStrings.xml");
    why = refusal("textos.xls");
    EXPECT_TRUE(Contains(why, "textos.xls") && Contains(why, "textos compartilhados")) << why;
    ReplacePlan1(cells, head + many("<a/>", 4000001) + tail);
    why = refusal("celulas.xls");
    EXPECT_TRUE(Contains(why, "celulas.xls") && Contains(why, "sheet2.xml") && Contains(why, "elementos")) << why;

    // A directory claiming a part of 4 GB: refused before anything is allocated.
    const std::string claim = dir.File("diretorio.xls");
    adotest::WriteTemplateWorkbook(claim);
    ClaimSize(claim, "xl/worksheets/sheet2.xml", 0xFFFFFFF0u);
    why = refusal("diretorio.xls");
    EXPECT_TRUE(Contains(why, "diretorio.xls") && Contains(why, "sheet2.xml") && Contains(why, "MB")) << why;

    // A small file inflating far beyond any sheet of this program.
    const std::string bomb = dir.File("bomba.xls");
    adotest::WriteTemplateWorkbook(bomb);
    ReplacePlan1(bomb, head + std::string(200u << 20, ' ') + tail);
    EXPECT_LT(std::filesystem::file_size(bomb), 2u << 20);
    why = refusal("bomba.xls");
    EXPECT_TRUE(Contains(why, "bomba.xls") && Contains(why, "sheet2.xml")) << why;
    // ... and so is one whose directory understates it.
    ClaimSize(bomb, "xl/worksheets/sheet2.xml", 4000);
    why = refusal("bomba.xls");
    EXPECT_TRUE(Contains(why, "bomba.xls") && Contains(why, "sheet2.xml")) << why;
}

TEST(WorkbookSheet, AReadOnlyWorkbookStaysAndALinkedOneIsWrittenThrough)
{
    TempDir dir;
    const std::string locked = dir.File("somente.xls");
    adotest::WriteTemplateWorkbook(locked);
    const std::string before = adotest::ReadFile(locked);
    ::chmod(locked.c_str(), 0444);
    DataControl data = Bound(locked, "Padrao$");
    Recordset rs = data.Recordset();
    rs.Edit();
    rs.Fields(0).SetValue("T9");
    const std::string why = ErrorOf([&] { rs.Update(); });
    EXPECT_TRUE(Contains(why, "somente.xls") && Contains(why, "somente leitura")) << why;
    EXPECT_EQ(adotest::ReadFile(locked), before);

    std::filesystem::create_directory(dir.File("modelos"));
    const std::string real = dir.File("modelos/rede.xls");
    adotest::WriteTemplateWorkbook(real);
    std::filesystem::create_symlink("modelos/rede.xls", dir.File("atalho.xls"));
    {
        DataControl linked = Bound(dir.File("atalho.xls"), "Padrao$");
        Recordset r = linked.Recordset();
        r.Edit();
        r.Fields(0).SetValue("T9");
        r.Update();
        r.Close();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("atalho.xls")));
    DataControl back = Bound(real, "Padrao$");
    EXPECT_EQ(back.Recordset().Fields(0).Value().ToText(), "T9");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("modelos")), {}), 1);
}

TEST(WorkbookSheet, ManyUpdatesLandTogetherWhenTheRecordsetClosesAndAFailedSaveLeavesNothingPartial)
{
    TempDir dir;
    const std::string path = dir.File("linhas.xls");
    adotest::WriteTemplateWorkbook(path);
    const std::string before = adotest::ReadFile(path);

    // 600 new rows and an edited one: nothing reaches the file while the
    // recordset is open; all of it once it closes.
    DataControl data = Bound(path, "Padrao$");
    Recordset rs = data.Recordset();
    const long long existing = rs.RecordCount();
    rs.MoveFirst();
    rs.Edit();
    rs.Fields("TRECHO").SetValue("primeiro");
    rs.Update();
    for (int i = 0; i < 600; ++i) {
        rs.AddNew();
        rs.Fields("TRECHO").SetValue("T" + std::to_string(i));
        rs.Fields("PVM").SetValue("#'" + std::to_string(i));
        rs.Update();
    }
    EXPECT_EQ(adotest::ReadFile(path), before);
    data.SetDatabaseName("");
    data.Refresh();
    EXPECT_EQ(adotest::ZipPartStorage(path, "xl/worksheets/sheet1.xml"), "deflated");
    {
        DataControl back = Bound(path, "Padrao$");
        Recordset b = back.Recordset();
        ASSERT_EQ(b.RecordCount(), existing + 600);
        EXPECT_EQ(b.Fields("TRECHO").Value().ToText(), "primeiro");
        b.MoveLast();
        EXPECT_EQ(b.Fields("TRECHO").Value().ToText(), "T599");
        EXPECT_EQ(b.Fields("PVM").Value().ToText(), "#'599");
    }
    // Closing the recordset itself saves as well.
    {
        DataControl again = Bound(path, "Padrao$");
        Recordset r = again.Recordset();
        r.MoveLast();
        r.Edit();
        r.Fields("TRECHO").SetValue("último");
        r.Update();
        r.Close();
        EXPECT_EQ(Bound(path, "Padrao$").Recordset().RecordCount(), existing + 600);
        Recordset c = Bound(path, "Padrao$").Recordset();
        c.MoveLast();
        EXPECT_EQ(c.Fields("TRECHO").Value().ToText(), "último");
    }

    // The file spoilt under the open recordset: the save fails naming it and
    // leaves it as it was, with nothing beside it.
    DataControl spoilt = Bound(path, "Padrao$");
    Recordset s = spoilt.Recordset();
    s.MoveFirst();
    s.Edit();
    s.Fields("TRECHO").SetValue("perdido");
    s.Update();
    adotest::WriteFile(path, "não é mais uma pasta de trabalho");
    spoilt.SetDatabaseName("");
    const std::string why = ErrorOf([&] { spoilt.Refresh(); });
    EXPECT_TRUE(Contains(why, "linhas.xls")) << why;
    EXPECT_EQ(adotest::ReadFile(path), "não é mais uma pasta de trabalho");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}
