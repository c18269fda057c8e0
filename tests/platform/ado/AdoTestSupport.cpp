#include "AdoTestSupport.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Error.h"

#include <sqlite3.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace adotest {

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "quoril-ado-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void MakeDatabase(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + path);
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "?";
        sqlite3_free(err);
        sqlite3_close(db);
        throw std::runtime_error("fixture SQL failed: " + msg);
    }
    sqlite3_close(db);
}

std::vector<std::vector<std::string>> QueryDatabase(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        std::string msg = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error("query failed: " + msg);
    }
    std::vector<std::vector<std::string>> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const unsigned char* t = sqlite3_column_text(st, c);
            row.push_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

std::string JetConnection(const std::string& path)
{
    return ado::BuildConnectionString(
        {{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"}, {"Data Source", path}, {"Jet OLEDB:Database Password", "582736"}});
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void WriteDbf(const std::string& path, const std::vector<DbfFieldSpec>& fields,
              const std::vector<std::vector<std::string>>& records, bool deletedFirst)
{
    int recordLength = 1;
    for (const auto& f : fields) recordLength += f.width;
    const int headerLength = 32 + 32 * static_cast<int>(fields.size()) + 1;
    std::string out(32, '\0');
    out[0] = 0x03;
    out[1] = 124;  // 2024
    out[2] = 3;
    out[3] = 1;
    const unsigned n = static_cast<unsigned>(records.size());
    for (int k = 0; k < 4; ++k) out[4 + k] = static_cast<char>((n >> (8 * k)) & 0xFF);
    out[8] = static_cast<char>(headerLength & 0xFF);
    out[9] = static_cast<char>(headerLength >> 8);
    out[10] = static_cast<char>(recordLength & 0xFF);
    out[11] = static_cast<char>(recordLength >> 8);
    out[29] = 0x57;  // Windows-1252
    for (const auto& f : fields) {
        std::string d(32, '\0');
        std::memcpy(d.data(), f.name.data(), std::min<size_t>(f.name.size(), 10));
        d[11] = f.type;
        d[16] = static_cast<char>(f.width);
        d[17] = static_cast<char>(f.decimals);
        out += d;
    }
    out += '\x0D';
    for (size_t r = 0; r < records.size(); ++r) {
        out += (deletedFirst && r == 0) ? '*' : ' ';
        for (size_t k = 0; k < fields.size(); ++k) {
            std::string v = k < records[r].size() ? records[r][k] : "";
            const size_t w = static_cast<size_t>(fields[k].width);
            v = v.substr(0, w);
            if (fields[k].type == 'N' || fields[k].type == 'F')
                out += std::string(w - v.size(), ' ') + v;
            else
                out += v + std::string(w - v.size(), ' ');
        }
    }
    out += '\x1A';
    WriteFile(path, out);
}

std::string DbfRawField(const std::string& path, int record, const std::string& field)
{
    const std::string b = ReadFile(path);
    auto u16 = [&](size_t p) { return static_cast<unsigned char>(b[p]) | (static_cast<unsigned char>(b[p + 1]) << 8); };
    const int headerLength = u16(8), recordLength = u16(10);
    int offset = 1;
    for (size_t pos = 32; b[pos] != '\x0D'; pos += 32) {
        std::string name(b.data() + pos, strnlen(b.data() + pos, 11));
        const int width = static_cast<unsigned char>(b[pos + 16]);
        if (name == field)
            return b.substr(static_cast<size_t>(headerLength + record * recordLength + offset),
                            static_cast<size_t>(width));
        offset += width;
    }
    throw std::runtime_error("no field " + field);
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& parts)
{
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za) throw std::runtime_error("cannot create zip " + path);
    for (const auto& [name, data] : parts) {
        zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
        zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE);
    }
    if (zip_close(za) != 0) throw std::runtime_error("cannot write zip " + path);
}

std::string ReadZipPart(const std::string& path, const std::string& part)
{
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!za) throw std::runtime_error("cannot open zip " + path);
    zip_stat_t st;
    if (zip_stat(za, part.c_str(), 0, &st) != 0) {
        zip_discard(za);
        throw std::runtime_error("no part " + part);
    }
    std::string data(static_cast<size_t>(st.size), '\0');
    zip_file_t* f = zip_fopen(za, part.c_str(), 0);
    zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    zip_discard(za);
    return data;
}

std::string ZipPartStorage(const std::string& path, const std::string& part)
{
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!za) return "";
    zip_stat_t st;
    std::string how;
    if (zip_stat(za, part.c_str(), 0, &st) == 0)
        how = st.comp_method == ZIP_CM_DEFLATE ? "deflated" : st.comp_method == ZIP_CM_STORE ? "stored" : "other";
    zip_discard(za);
    return how;
}

std::vector<std::string> ColumnTexts(ado::Recordset& rs, const std::string& name)
{
    std::vector<std::string> out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) out.push_back(rs.Fields(name).Value().TextOr("<null>"));
    return out;
}

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ado::Error& e) {
        return e.Description();
    }
    return "(no error)";
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

namespace {

const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* kPkgRel = "http://schemas.openxmlformats.org/package/2006/relationships";

std::string Inline(const std::string& ref, const std::string& text, int style = 0)
{
    return "<c r=\"" + ref + "\"" + (style ? " s=\"" + std::to_string(style) + "\"" : "") + " t=\"inlineStr\"><is><t>" +
           text + "</t></is></c>";
}

}  // namespace

void WriteTemplateWorkbook(const std::string& path)
{
    std::map<std::string, std::string> p;
    p["[Content_Types].xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>"
        "</Types>";
    p["_rels/.rels"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"") +
        kPkgRel + "\"><Relationship Id=\"rId1\" Type=\"" + kRel +
        "/officeDocument\" Target=\"xl/workbook.xml\"/>"
        // As the spreadsheet programs write it: a type that holds
        // "/officeDocument" too comes after the workbook's.
        "<Relationship Id=\"rId2\" Type=\"" +
        kRel + "/extended-properties\" Target=\"docProps/app.xml\"/></Relationships>";
    p["docProps/app.xml"] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
        "<Application>QuorilCAD</Application></Properties>";
    p["xl/workbook.xml"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<workbook xmlns=\"") + kMain +
        "\" xmlns:r=\"" + kRel +
        "\"><sheets><sheet name=\"Padrao\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Plan1\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
        "<definedNames><definedName name=\"CONC\">Padrao!$H$2:$H$4</definedName>"
        "<definedName name=\"VALAS\">Padrao!$H$2:$J$4</definedName></definedNames></workbook>";
    p["xl/_rels/workbook.xml.rels"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"") +
        kPkgRel + "\">" + "<Relationship Id=\"rId1\" Type=\"" + kRel +
        "/worksheet\" Target=\"worksheets/sheet1.xml\"/>" + "<Relationship Id=\"rId2\" Type=\"" + kRel +
        "/worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/>" + "<Relationship Id=\"rId3\" Type=\"" + kRel +
        "/styles\" Target=\"styles.xml\"/>" + "<Relationship Id=\"rId4\" Type=\"" + kRel +
        "/sharedStrings\" Target=\"sharedStrings.xml\"/>" + "<Relationship Id=\"rId5\" Type=\"" + kRel +
        "/calcChain\" Target=\"calcChain.xml\"/></Relationships>";
    p["xl/styles.xml"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet xmlns=\"") + kMain +
        "\">" +
        "<fonts count=\"2\"><font><sz val=\"10\"/><name val=\"Arial\"/></font><font><b/><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
        "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
        "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFC0FFC0\"/></patternFill></fill></fills>"
        "<borders count=\"1\"><border/></borders><cellStyleXfs count=\"1\"><xf/></cellStyleXfs>"
        "<cellXfs count=\"4\"><xf/><xf fontId=\"1\" applyFont=\"1\"/><xf numFmtId=\"2\" applyNumberFormat=\"1\"/>"
        "<xf fillId=\"2\" applyFill=\"1\"/></cellXfs></styleSheet>";
    p["xl/sharedStrings.xml"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"") + kMain +
        "\" count=\"6\" uniqueCount=\"6\"><si><t>TRECHO</t></si><si><t>PVM</t></si><si><t>PVJ</t></si>"
        "<si><r><t>D</t></r><r><rPr><b/></rPr><t>N</t></r></si><si><t>MEDIA</t></si>"
        "<si><t xml:space=\"preserve\"> Título com espaço</t></si></sst>";
    p["xl/calcChain.xml"] =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<calcChain xmlns=\"") + kMain +
        "\"><c r=\"E7\" i=\"1\"/></calcChain>";
    // Padrao: header row, four records, the marker in the fifth, a formula in the sixth.
    std::string s1 =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") + kMain +
        "\" xmlns:r=\"" + kRel +
        "\"><dimension ref=\"A1:E8\"/>"
        "<cols><col min=\"1\" max=\"1\" width=\"14.5\" customWidth=\"1\"/><col min=\"5\" max=\"5\" width=\"9\" style=\"2\" customWidth=\"1\"/></cols>"
        "<sheetData>"
        "<row r=\"1\" spans=\"1:5\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" s=\"1\" t=\"s\"><v>2</v></c><c r=\"D1\" s=\"1\" t=\"s\"><v>3</v></c><c r=\"E1\" s=\"1\" t=\"s\"><v>4</v></c></row>";
    for (int r = 2; r <= 5; ++r)
        s1 += "<row r=\"" + std::to_string(r) + "\">" + Inline("A" + std::to_string(r), "nota " + std::to_string(r)) +
              "</row>";
    s1 +=
        "<row r=\"6\">" + Inline("A6", "inicia") + "<c r=\"B6\"><v>12.5</v></c><c r=\"C6\" t=\"b\"><v>1</v></c></row>";
    s1 += "<row r=\"7\"><c r=\"A7\" s=\"2\"/><c r=\"E7\" s=\"2\"><f>1+2</f><v>3</v></c></row>";
    s1 += "<row r=\"8\"><c r=\"A8\" s=\"2\"/></row>";
    s1 +=
        "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>";
    p["xl/worksheets/sheet1.xml"] = s1;
    // Plan1: no field names in row 1 (but a title in A1), nine records of
    // titles, then two styled empty rows for the first design rows.
    std::string s2 =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") + kMain +
        "\"><dimension ref=\"A1:T12\"/><cols><col min=\"2\" max=\"20\" width=\"11\" customWidth=\"1\"/></cols><sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>";
    for (int r = 2; r <= 10; ++r)
        s2 += "<row r=\"" + std::to_string(r) + "\">" + Inline("A" + std::to_string(r), "título " + std::to_string(r)) +
              Inline("B" + std::to_string(r), "coluna B " + std::to_string(r)) + "</row>";
    for (int r = 11; r <= 12; ++r) {
        s2 += "<row r=\"" + std::to_string(r) + "\">";
        for (int c = 1; c <= 20; ++c) {
            std::string col(1, static_cast<char>('A' + c - 1));
            s2 += "<c r=\"" + col + std::to_string(r) + "\" s=\"3\"/>";
        }
        s2 += "</row>";
    }
    s2 += "</sheetData></worksheet>";
    p["xl/worksheets/sheet2.xml"] = s2;
    WriteZip(path, p);
}

}  // namespace adotest

namespace adotest {

std::string CatalogueSql()
{
    return R"SQL(
CREATE TABLE E_PVBlocks (Abrev TEXT, Descricao TEXT, Bloco TEXT, DwgDiam DOUBLE, Chamine DOUBLE, AlturaMax DOUBLE,
    DiamSaida SMALLINT, NumEntradas SMALLINT, DiamNominal VARCHAR(10), Inserir BOOLEAN);
INSERT INTO E_PVBlocks VALUES
 ('PV80', 'Poço de visita DN 800', 'E-PV', 0.8, 500, 2500, 300, 4, '800', 1),
 ('PV100', 'Poço de visita DN 1000', 'E-PV', 1.0, 600, 4000, 400, 4, '1000', 1),
 ('TIL', 'Terminal de inspeção e limpeza', 'E-PV250', 0.25, 0, 1200, 150, 1, '250', 1),
 ('PV60', 'Poço antigo DN 600', 'E-PV', 0.6, 300, 1500, 200, 3, '600', 0),
 ('PV120', 'Poço de visita DN 1200', 'E-PV', 1.2, 700, 6000, 500, 4, '1200', 1);

CREATE TABLE E_Materiais (Material TEXT, CodMaterial TEXT, Abrev TEXT, Diametro TEXT, DegrauAte SINGLE);
INSERT INTO E_Materiais VALUES
 ('PVC', '1', 'PVC', '150', 2000), ('PVC', '1', 'PVC', '200', 2500),
 ('Cerâmica', '2', 'MCE', '1000', 1800.5), ('Cerâmica', '2', 'MCE', '150', 1500),
 ('Cerâmica', '2', 'MCE', '300', 1600), ('Cerâmica', '2', 'MCE', '999', 1),
 ('concreto', '3', 'CA', '400', 3000), ('concreto', '4', 'CA2', '600', 3000),
 ('Ferro Fundido', '5', 'FoFo', '150', 1000), ('Aço', '6', 'ACO', '150', 1000), ('Acrílico', '7', 'ACR', '150', 1000);
CREATE TABLE E_CodDiam (Diametro INTEGER, "Index" INTEGER);
INSERT INTO E_CodDiam VALUES (1000, 10), (150, 2), (200, 3), (300, 5), (400, 6), (600, 8), (100, 1);
CREATE TABLE E_TRLayerColor (Diametro SMALLINT, Cor SMALLINT);
INSERT INTO E_TRLayerColor VALUES (300, 3), (1000, 6), (150, 1), (200, 2);
CREATE TABLE E_TRLayerParam (Descricao TEXT, Etapa SMALLINT, Sufixo TEXT, LineType TEXT);
INSERT INTO E_TRLayerParam VALUES ('Segunda etapa', 2, '-2E', 'DASHED'), ('Existente', 0, NULL, 'CONTINUOUS'),
 ('Primeira etapa', 1, '-1E', 'HIDDEN');
CREATE TABLE E_Pavimentos (Nome TEXT);
CREATE INDEX E_Pavimentos_Nome ON E_Pavimentos (Nome);
INSERT INTO E_Pavimentos VALUES ('Terra'), ('Asfalto'), ('Paralelepípedo'), ('Concreto');
CREATE TABLE E_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);
INSERT INTO E_DXFs VALUES
 ('RQ-A', 'Line', '0,0', '100,0', NULL),
 ('E-PV', 'Line', '0,0', '1,1', NULL),
 ('E-PV', 'Attribute', '2', '0,0', '1,CT,PV,0,0,7,ROMANS'),
 ('E-PV', 'Attribute', '2', '0,3', '0,NUMERO,NUMPV,0,0,7,ROMANS'),
 ('E-PV', 'Circle', '0,0', '0.5', NULL),
 ('e-pvgen', 'Circle', '0,0', '1', NULL),
 ('E-PV', 'Attribute', '2', '0,-3', '10,ET,PV,1,0,7,ROMANS'),
 ('E-PV', 'Attribute', '2', '0,-6', '2,CS,PV,1,0,7,ROMANS'),
 ('E-PV250', 'Circle', '0,0', '0.25', NULL);
CREATE TABLE T_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);
INSERT INTO T_DXFs SELECT * FROM E_DXFs;

CREATE TABLE dxfINI (Num SMALLINT, Campo TEXT);
INSERT INTO dxfINI VALUES (10, 'ENTITIES'), (1, '  0  '), (2, 'SECTION'), (3, NULL);
CREATE TABLE dxfEND (Num SMALLINT, Campo TEXT);
INSERT INTO dxfEND VALUES (2, 'EOF'), (1, 'ENDSEC');

CREATE TABLE A_CodDiam ("Index" SMALLINT, sDiametro TEXT, Color SMALLINT);
INSERT INTO A_CodDiam VALUES (3, '100', 3), (1, '50', 1), (2, '75', 2), (10, '300', 6), (4, '150', 4);
CREATE TABLE A_Conexoes (codigo TEXT, conexao TEXT, material TEXT, bloco TEXT, HasDS BOOLEAN, TLHW TEXT);
INSERT INTO A_Conexoes VALUES
 ('AN50', 'Anel de borracha 50', 'Acessórios', NULL, 0, NULL),
 ('TB50', 'Tubo PVC 50', 'Tubulações', 'A-TUBO', 0, '1111'),
 ('AN45', 'anel de borracha 45', 'Acessórios', NULL, 0, NULL),
 ('TE7550', 'Tê de redução', 'PVC', 'A-TE', -1, '2111'),
 ('TE5050', 'Tê', 'PVC', 'A-TE', 1, '1211'),
 ('TE0', 'Tee especial', 'PVC', 'A-TE', 0, '1411'),
 ('CV50', 'Curva 90°', 'PVC', 'A-CURVA', 0, '1112'),
 ('CAP50', 'Cap', 'PVC', NULL, 0, '1311'),
 ('RG50', 'Registro de gaveta', 'Ferro Dúctil', 'A-REG', 0, '1111'),
 ('TB75', 'Tubo PVC 75', 'Tubulações', 'A-TUBO', 0, '1112'),
 ('TBF', 'Tubo FoFo', 'Tubulações Ferro', 'A-TUBO', 0, '2111');
CREATE TABLE A_Diams (codigo TEXT, dp TEXT, ds TEXT);
INSERT INTO A_Diams VALUES ('TB50', '50', NULL), ('TB75', '75', NULL), ('TBF', '100', NULL), ('CV50', '50', NULL),
 ('TE5050', '50', '50'), ('TE7550', '100', '75'), ('TE7550', '75', '50'), ('TE7550', '100', '50'),
 ('RG50', '50', NULL), ('CAP50', '50', NULL), ('TE0', '150', NULL);
CREATE TABLE A_Materiais (Material TEXT, Tubulacao TEXT, DimX SMALLINT, DimY SMALLINT);
INSERT INTO A_Materiais VALUES ('PVC', 'PVC PBA', 3, 2), ('Ferro Dúctil', 'FoFo K7', 2, 1), ('Tubulações', 'PVC', 2, 1);
CREATE TABLE A_Bolsas (Codigo TEXT, Numero SMALLINT, Principal BOOLEAN, Anel TEXT, Tubulacao TEXT);
INSERT INTO A_Bolsas VALUES
 ('TE5050', 2, 1, 'AN50', 'Tubo PVC 50'), ('TE5050', 1, 1, 'AN50', 'Tubo PVC 50'), ('TE5050', 3, 0, NULL, 'Tubo PVC 50'),
 ('CV50', 1, 1, 'AN50', 'Tubo PVC 50'), ('CV50', 2, 1, NULL, 'Tubo PVC 50'),
 ('TE7550', 1, 1, 'AN45', 'Tubo PVC 75'), ('TE7550', 10, 0, 'AN50', 'Tubo PVC 50'), ('TE7550', 2, 1, 'AN45', 'Tubo PVC 75');
CREATE TABLE A_DXFs (Bloco TEXT, S1 TEXT, S2 TEXT, S3 TEXT, S4 TEXT);
INSERT INTO A_DXFs VALUES
 ('A-TE', 'Point', '-2,0', '2,3.14159', '1'), ('A-TE', 'Point', '2,0', '2,0', '2'), ('A-TE', 'Point', '0,-2', '2,-1.5708', '3'),
 ('A-TE', 'Line', '-2,0', '2,0', NULL), ('A-CURVA', 'Point', '-2,0', '2,3.14159', '1'),
 ('A-CURVA', 'point', '0,2', '2,1.5708', '2'), ('A-CURVA', 'Arc', '0,0', '2', '0,1.5708'),
 ('A-TE', 'Attribute', '1.5', '0,1', '0,DN,TEXTO_CON,0,0,156,ROMANS');
CREATE TABLE A_ConExtra (Codigo TEXT, Att TEXT, Cod TEXT);
INSERT INTO A_ConExtra VALUES ('TE5050', 'PN', '10'), ('TE5050', 'JUNTA', 'JE'), ('CV50', 'ANG', '90'), ('XX', 'A', '1');
)SQL";
}

std::string ExportTemplateSql()
{
    return R"SQL(
CREATE TABLE "Pressure Pipe" (Label TEXT, StartNode TEXT, StopNode TEXT, Diameter TEXT, Demand DOUBLE,
    Comprimento DOUBLE, Material TEXT, Etapa SMALLINT);
CREATE TABLE "Pressure Junction" (Label TEXT, X DOUBLE, Y DOUBLE, Elevation DOUBLE, Demand DOUBLE, Zone TEXT, Numero TEXT);
CREATE TABLE Zonas (Nome TEXT, Tipo TEXT, TotalTubos DOUBLE, TotalNodes INTEGER, Contrib DOUBLE, ContribM DOUBLE,
    ContribT DOUBLE);
CREATE TABLE TopVertex ("Index" INTEGER, X DOUBLE, Y DOUBLE, Z DOUBLE);
INSERT INTO TopVertex VALUES (0, 0, 0, 0), (2, 10, 0, 101.5), (1, 0, 0, 100), (3, 0, 10, 99);
CREATE TABLE tmp_TRIxyz ("Index" INTEGER, X DOUBLE, Y DOUBLE, Z DOUBLE);
CREATE TABLE Pavimentos (Tipo TEXT, External BOOLEAN, ID SMALLINT, Loop SMALLINT, X DOUBLE, Y DOUBLE,
    "Index" INTEGER PRIMARY KEY AUTOINCREMENT);
)SQL";
}

}  // namespace adotest
