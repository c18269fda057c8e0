#include "CatalogueFiles.h"

#include <pugixml.hpp>
#include <sqlite3.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace catalogue_test {

std::filesystem::path binDir()
{
    if (const char* dir = std::getenv("QUORIL_BIN_DIR"); dir && *dir) return dir;
    return std::filesystem::current_path() / "bin";  // tests run in the build folder
}

const Db& catalogue()
{
    static Db db(binDir() / "rereva2000r.mdb");
    return db;
}

Db::Db(const std::filesystem::path& path)
{
    if (!std::filesystem::exists(path)) throw std::runtime_error("database not built: " + path.string());
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const std::string why = sqlite3_errmsg(db_);
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path.string() + ": " + why);
    }
}

Db::~Db() { sqlite3_close(db_); }

Rows Db::query(const std::string& sql, const std::vector<std::string>& params) const
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
    for (std::size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(st, static_cast<int>(i + 1), params[i].c_str(), -1, SQLITE_TRANSIENT);
    Rows rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<Cell> row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_NULL)
                row.emplace_back(std::nullopt);
            else
                row.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        }
        rows.push_back(std::move(row));
    }
    const std::string why = sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(why + " in: " + sql);
    return rows;
}

std::vector<std::string> Db::column(const std::string& sql, const std::vector<std::string>& params) const
{
    std::vector<std::string> out;
    for (const auto& row : query(sql, params)) out.push_back(row.at(0).value_or(""));
    return out;
}

std::vector<std::string> Db::tables() const
{
    return column("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
}

std::vector<std::string> Db::columns(const std::string& table) const
{
    std::vector<std::string> out;
    for (const auto& row : query("SELECT name FROM pragma_table_info(?1)", {table}))
        out.push_back(row.at(0).value_or(""));
    return out;
}

std::map<std::string, std::string> Db::declaredTypes(const std::string& table) const
{
    std::map<std::string, std::string> out;
    for (const auto& row : query("SELECT name, upper(type) FROM pragma_table_info(?1)", {table}))
        out[row.at(0).value_or("")] = row.at(1).value_or("");
    return out;
}

std::string trim(const std::string& text)
{
    const auto b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    const auto e = text.find_last_not_of(" \t\r\n");
    return text.substr(b, e - b + 1);
}

std::optional<double> number(const std::string& text)
{
    if (text.empty() || text.find_first_of(", \t") != std::string::npos) return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<long> integer(const std::string& text)
{
    long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> out;
    std::string::size_type start = 0;
    for (;;) {
        const auto pos = text.find(sep, start);
        out.push_back(text.substr(start, pos - start));
        if (pos == std::string::npos) return out;
        start = pos + 1;
    }
}

std::optional<Point> point(const std::string& text)
{
    const auto parts = split(text, ',');
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    const auto x = number(parts[0]);
    const auto y = number(parts[1]);
    if (!x || !y || (parts.size() == 3 && !number(parts[2]))) return std::nullopt;
    return Point{*x, *y};
}

std::vector<GeometryRow> blockRows(const Db& db, const std::string& table, const std::string& block)
{
    std::vector<GeometryRow> out;
    for (const auto& r : db.query("SELECT S1, S2, S3, S4 FROM " + table + " WHERE Bloco = ?1 ORDER BY S1, S4", {block}))
        out.push_back({r[0].value_or(""), r[1].value_or(""), r[2].value_or(""), r[3].value_or("")});
    return out;
}

std::vector<std::string> attributeTags(const std::vector<GeometryRow>& rows)
{
    std::vector<std::string> tags;
    for (const auto& r : rows) {
        if (r.s1 != "Attribute") continue;
        const auto items = split(r.s4, ',');
        tags.push_back(items.size() > 1 ? items[1] : "");
    }
    return tags;
}

std::map<std::string, std::vector<double>> readLinetypes(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::map<std::string, std::vector<double>> out;
    std::string line, pending;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line.rfind(";;", 0) == 0) continue;
        if (line[0] == '*') {
            if (!pending.empty()) throw std::runtime_error(pending + " has no pattern in " + path.string());
            pending = line.substr(1, line.find(',') - 1);
            if (out.count(pending)) throw std::runtime_error(pending + " defined twice in " + path.string());
            continue;
        }
        if (pending.empty() || line.rfind("A,", 0) != 0)
            throw std::runtime_error("unexpected line in " + path.string() + ": " + line);
        std::vector<double> pattern;
        for (const auto& item : split(line.substr(2), ',')) {
            const auto v = number(item);
            if (!v) throw std::runtime_error("bad number '" + item + "' in " + pending);
            pattern.push_back(*v);
        }
        out[pending] = pattern;
        pending.clear();
    }
    if (!pending.empty()) throw std::runtime_error(pending + " has no pattern in " + path.string());
    return out;
}

namespace {

std::string readEntry(zip_t* archive, const std::string& name)
{
    zip_stat_t st;
    if (zip_stat(archive, name.c_str(), 0, &st) != 0) throw std::runtime_error("workbook part missing: " + name);
    zip_file_t* file = zip_fopen(archive, name.c_str(), 0);
    if (!file) throw std::runtime_error("cannot open workbook part " + name);
    std::string data(static_cast<std::size_t>(st.size), '\0');
    const zip_int64_t n = zip_fread(file, data.data(), st.size);
    zip_fclose(file);
    if (n != static_cast<zip_int64_t>(st.size)) throw std::runtime_error("cannot read workbook part " + name);
    return data;
}

pugi::xml_document parse(const std::string& text, const std::string& name)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size())) throw std::runtime_error("workbook part is not XML: " + name);
    return doc;
}

}  // namespace

Workbook readWorkbook(const std::filesystem::path& path)
{
    int err = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!archive) throw std::runtime_error("not a zip file: " + path.string());
    struct Closer {
        zip_t* a;
        ~Closer() { zip_discard(a); }
    } closer{archive};

    Workbook book;
    std::vector<std::string> strings;
    if (zip_name_locate(archive, "xl/sharedStrings.xml", 0) >= 0) {
        const auto sst = parse(readEntry(archive, "xl/sharedStrings.xml"), "sharedStrings");
        for (auto si : sst.child("sst").children("si")) {
            std::string text;
            for (auto t : si.select_nodes(".//t")) text += t.node().text().get();
            strings.push_back(text);
        }
    }
    const auto wb = parse(readEntry(archive, "xl/workbook.xml"), "workbook");
    const auto rels = parse(readEntry(archive, "xl/_rels/workbook.xml.rels"), "workbook rels");
    for (auto name : wb.child("workbook").child("definedNames").children("definedName"))
        book.names[name.attribute("name").value()] = name.text().get();
    for (auto sheet : wb.child("workbook").child("sheets").children("sheet")) {
        const std::string sheetName = sheet.attribute("name").value();
        const std::string id = sheet.attribute("r:id").value();
        std::string target;
        for (auto rel : rels.child("Relationships").children("Relationship"))
            if (id == rel.attribute("Id").value()) target = rel.attribute("Target").value();
        if (target.empty()) throw std::runtime_error("sheet without part: " + sheetName);
        book.sheets.push_back(sheetName);
        const auto ws = parse(readEntry(archive, "xl/" + target), target);
        auto& cells = book.cells[sheetName];
        for (auto row : ws.child("worksheet").child("sheetData").children("row")) {
            for (auto c : row.children("c")) {
                const std::string ref = c.attribute("r").value();
                const std::string type = c.attribute("t").value();
                if (c.child("v")) {
                    std::string v = c.child("v").text().get();
                    if (type == "s") v = strings.at(std::stoul(v));
                    cells[ref] = v;
                } else if (type == "inlineStr") {
                    cells[ref] = c.child("is").child("t").text().get();
                } else if (c.child("f")) {
                    cells[ref] = std::string("=") + c.child("f").text().get();
                } else {
                    book.emptyCells[sheetName].push_back(ref);
                }
            }
        }
    }
    return book;
}

}  // namespace catalogue_test
