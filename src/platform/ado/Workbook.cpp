#include "platform/ado/Workbook.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"
#include "platform/FileReplacement.h"
#include "platform/SystemErrorText.h"

#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace ado::detail {

namespace {

// The limits of a sheet.
constexpr int kMaxRows = 1048576, kMaxCols = 16384;
// The cells, and the shared strings, built from one file: far beyond any
// design table (the largest has a few thousand rows of a few dozen columns).
// A part of the file may name at most a few elements per cell (the cell, its
// value or inline string, rich-text runs); each costs memory once parsed,
// however short its text, so they are counted before the part is parsed.
constexpr long long kMaxCells = 1000000;
constexpr long long kMaxStrings = kMaxCells;
constexpr long long kMaxElements = 4 * kMaxCells;
// The used range read whatever the cells present: beyond it, the range must
// be as dense as the file really is.
constexpr long long kMaxGrid = kMaxCells;

// The most a single part may hold once inflated. A sheet of this program's
// tables is a few megabytes; the cap keeps a damaged or hostile file (a
// directory that claims gigabytes, a small file that inflates to gigabytes)
// from taking the machine's memory.
constexpr zip_uint64_t kMaxPart = 64u << 20;

constexpr unsigned kParse = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata;

std::string Local(const char* name)
{
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Is(pugi::xml_node n, const char* local) { return n.type() == pugi::node_element && Local(n.name()) == local; }

pugi::xml_node Child(pugi::xml_node parent, const char* local)
{
    for (pugi::xml_node n : parent.children())
        if (Is(n, local)) return n;
    return {};
}

std::string PrefixOf(pugi::xml_node n)
{
    const char* colon = std::strchr(n.name(), ':');
    return colon ? std::string(n.name(), static_cast<size_t>(colon - n.name() + 1)) : std::string();
}

// Visible text of a rich or plain string item (<si> or <is>), phonetic runs left out.
std::string RichText(pugi::xml_node item)
{
    std::string text;
    for (pugi::xml_node n : item.children()) {
        if (Is(n, "t"))
            text += n.text().get();
        else if (Is(n, "r"))
            for (pugi::xml_node t : n.children())
                if (Is(t, "t")) text += t.text().get();
    }
    return text;
}

// "B11" -> (11, 2); false when it is no cell reference.
bool ParseRef(const std::string& ref, int& row, int& col)
{
    size_t i = 0;
    col = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && col <= kMaxCols) col = col * 26 + (ref[i++] - 'A' + 1);
    if (i < ref.size() && ref[i] == '$') ++i;
    if (col == 0 || col > kMaxCols || i == ref.size()) return false;
    row = 0;
    for (; i < ref.size(); ++i) {
        if (ref[i] < '0' || ref[i] > '9' || row > kMaxRows) return false;
        row = row * 10 + (ref[i] - '0');
    }
    return row > 0 && row <= kMaxRows;
}

std::string Dirname(const std::string& part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target relative to the part that owns it, as a package path.
std::string ResolveTarget(const std::string& base, const std::string& target)
{
    std::string path = target.empty() || target[0] != '/' ? Dirname(base) + target : target.substr(1);
    std::vector<std::string> parts;
    std::stringstream ss(path);
    for (std::string seg; std::getline(ss, seg, '/');) {
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
    }
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string RelsOf(const std::string& part)
{
    return Dirname(part) + "_rels/" + part.substr(Dirname(part).size()) + ".rels";
}

// libzip's reason for a failure, in Portuguese.
std::string ZipReason(zip_error_t* e)
{
    if (zip_error_system_type(e) == ZIP_ET_SYS && zip_error_code_system(e) != 0)
        return platform::ErrnoText(zip_error_code_system(e));
    switch (zip_error_code_zip(e)) {
    case ZIP_ER_NOENT: return platform::ErrnoText(ENOENT);
    case ZIP_ER_MEMORY: return platform::ErrnoText(ENOMEM);
    case ZIP_ER_RDONLY: return platform::FileReplacement::kReadOnly;
    case ZIP_ER_NOZIP: return "O arquivo não é um pacote zip";
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
    case ZIP_ER_COMPRESSED_DATA: return "O pacote zip está danificado";
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
    case ZIP_ER_RENAME:
    case ZIP_ER_TMPOPEN: return "Erro ao gravar no disco";
    default: return "Erro número " + std::to_string(zip_error_code_zip(e)) + " da biblioteca zip";
    }
}

class Archive {
public:
    // `file` is what is opened; `shown` names it in messages (the user's path
    // when `file` is the target of a link).
    Archive(const std::string& file, int flags, const std::string& shown = {}) : path_(shown.empty() ? file : shown)
    {
        const std::string& path = path_;
        int err = 0;
        za_ = zip_open(file.c_str(), flags, &err);
        if (!za_) {
            zip_error_t e;
            zip_error_init_with_code(&e, err);
            if (err == ZIP_ER_OPEN || err == ZIP_ER_READ || err == ZIP_ER_SEEK) zip_error_set(&e, err, errno);
            const std::string why = ZipReason(&e);
            zip_error_fini(&e);
            if (err == ZIP_ER_NOZIP || err == ZIP_ER_INCONS)
                throw Error(
                    adErrProvider,
                    "O arquivo '" + path + "' não é uma pasta de trabalho que este programa leia" +
                        (LooksLikeBiff(path)
                             ? " (está no formato binário antigo; salve-o como pasta de trabalho Office Open XML)."
                             : "."));
            throw Error(adErrProvider, "Não foi possível abrir a pasta de trabalho '" + path + "': " + why + ".");
        }
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    ~Archive()
    {
        if (za_) zip_discard(za_);
    }
    zip_t* get() const { return za_; }

    bool Has(const std::string& name) const { return zip_name_locate(za_, name.c_str(), 0) >= 0; }

    // The part's bytes, read as they really inflate: the size the directory
    // claims is only a hint, never allocated up front.
    std::string Read(const std::string& name) const
    {
        zip_stat_t st;
        zip_file_t* f = nullptr;
        if (zip_stat(za_, name.c_str(), 0, &st) != 0 || !(f = zip_fopen(za_, name.c_str(), 0)))
            throw Error(adErrProvider,
                        "A pasta de trabalho '" + path_ + "' está danificada: falta a parte '" + name + "'.");
        const bool claimsTooMuch = (st.valid & ZIP_STAT_SIZE) && st.size > kMaxPart;
        std::string data;
        if (!claimsTooMuch)
            data.reserve(
                static_cast<size_t>(std::min<zip_uint64_t>((st.valid & ZIP_STAT_SIZE) ? st.size : 0, 1u << 20)));
        char chunk[65536];
        zip_int64_t n = 0;
        while (!claimsTooMuch && (n = zip_fread(f, chunk, sizeof chunk)) > 0) {
            if (data.size() + static_cast<zip_uint64_t>(n) > kMaxPart) break;
            data.append(chunk, static_cast<size_t>(n));
        }
        zip_fclose(f);
        if (claimsTooMuch || n > 0)
            throw Error(adErrProvider, "A pasta de trabalho '" + path_ + "' não pode ser lida: a parte '" + name +
                                           "' passa de " + std::to_string(kMaxPart >> 20) + " MB.");
        if (n < 0 || ((st.valid & ZIP_STAT_SIZE) && data.size() != st.size))
            throw Error(adErrProvider, "A pasta de trabalho '" + path_ + "' está danificada: a parte '" + name +
                                           "' não pôde ser lida.");
        return data;
    }

    void Parse(const std::string& name, pugi::xml_document& doc) const
    {
        const std::string data = Read(name);
        long long elements = 0;
        for (const char *p = data.data(), *end = p + data.size();
             (p = static_cast<const char*>(std::memchr(p, '<', static_cast<size_t>(end - p))));) {
            if (++p < end && *p != '/' && *p != '!' && *p != '?' && ++elements > kMaxElements)
                throw Error(adErrProvider, "A pasta de trabalho '" + path_ + "' não pode ser lida: a parte '" + name +
                                               "' tem mais de " + std::to_string(kMaxElements) + " elementos.");
        }
        if (!doc.load_buffer(data.data(), data.size(), kParse))
            throw Error(adErrProvider, "A pasta de trabalho '" + path_ + "' está danificada: a parte '" + name +
                                           "' não é XML válido.");
    }

    // Replaces (or adds) a part; `data` must live until Close.
    void Put(const std::string& name, const std::string& data, bool compress = true)
    {
        zip_source_t* src = zip_source_buffer(za_, data.data(), data.size(), 0);
        const zip_int64_t idx = src ? zip_file_add(za_, name.c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src) zip_source_free(src);
            Fail();
        }
        zip_set_file_compression(za_, static_cast<zip_uint64_t>(idx), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }

    void Remove(const std::string& name)
    {
        const zip_int64_t idx = zip_name_locate(za_, name.c_str(), 0);
        if (idx >= 0) zip_delete(za_, static_cast<zip_uint64_t>(idx));
    }

    // libzip writes the new archive to a temporary file beside the old one and
    // renames it over the old one, so a failed save leaves the file as it was.
    void Close()
    {
        if (zip_close(za_) != 0) Fail();
        za_ = nullptr;
    }

private:
    [[noreturn]] void Fail()
    {
        throw Error(adErrProvider, "Não foi possível gravar a pasta de trabalho '" + path_ +
                                       "': " + ZipReason(zip_get_error(za_)) + ".");
    }

    static bool LooksLikeBiff(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        unsigned char sig[4] = {};
        in.read(reinterpret_cast<char*>(sig), 4);
        return sig[0] == 0xD0 && sig[1] == 0xCF && sig[2] == 0x11 && sig[3] == 0xE0;
    }

    std::string path_;
    zip_t* za_ = nullptr;
};

std::string Serialize(const pugi::xml_document& doc)
{
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
    return out.str();
}

std::string NumberText(double x)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

}  // namespace

std::string ColumnLetters(int col)
{
    std::string s;
    for (; col > 0; col = (col - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (col - 1) % 26));
    return s;
}

bool Sheet::Index()
{
    pugi::xml_node ws = doc_.document_element();
    prefix_ = PrefixOf(ws);
    sheetData_ = Child(ws, "sheetData");
    if (!sheetData_) sheetData_ = ws.append_child((prefix_ + "sheetData").c_str());
    if (pugi::xml_node dim = Child(ws, "dimension")) {
        std::string ref = dim.attribute("ref").value();
        const size_t colon = ref.find(':');
        int r = 0, c = 0;
        // A declared range far beyond any sensible table is not believed.
        if (ParseRef(colon == std::string::npos ? ref : ref.substr(colon + 1), r, c) &&
            static_cast<long long>(r) * c <= kMaxGrid) {
            declaredRows_ = r;
            declaredCols_ = c;
        }
    }
    int nextRow = 1;
    for (pugi::xml_node row : sheetData_.children()) {
        if (!Is(row, "row")) continue;
        int r = row.attribute("r").as_int(0);
        if (r <= 0 || r > kMaxRows) {
            r = nextRow;
            if (!row.attribute("r")) row.append_attribute("r");
            row.attribute("r") = r;
        }
        nextRow = r + 1;
        rows_[r] = row;
        int nextCol = 1;
        for (pugi::xml_node c : row.children()) {
            if (!Is(c, "c")) continue;
            int cr = 0, cc = 0;
            if (!ParseRef(c.attribute("r").value(), cr, cc)) {
                cr = r;
                cc = nextCol;
                if (!c.attribute("r")) c.append_attribute("r");
                c.attribute("r") = (ColumnLetters(cc) + std::to_string(cr)).c_str();
            }
            nextCol = cc + 1;
            cells_[{cr, cc}] = c;
            if (static_cast<long long>(cells_.size()) > kMaxCells) return false;
        }
    }
    return true;
}

int Sheet::MaxRow() const
{
    // The cells are ordered by row first: the last one has the highest row
    // (asked once per record added, so never a walk over every cell).
    return cells_.empty() ? declaredRows_ : std::max(declaredRows_, cells_.rbegin()->first.first);
}

int Sheet::MaxCol() const
{
    int m = declaredCols_;
    for (const auto& [rc, node] : cells_) m = std::max(m, rc.second);
    return m;
}

Value Sheet::Cell(int row, int col) const
{
    auto it = cells_.find({row, col});
    if (it == cells_.end()) return {};
    pugi::xml_node c = it->second;
    const std::string t = c.attribute("t").value();
    if (t == "inlineStr") {
        pugi::xml_node is = Child(c, "is");
        return is ? Value(RichText(is)) : Value();
    }
    pugi::xml_node v = Child(c, "v");
    if (!v) return {};
    const std::string text = v.text().get();
    if (t == "s") {
        // Only a whole number names a shared string ("abc" is not string 0).
        const size_t b = text.find_first_not_of(" \t\r\n"), e = text.find_last_not_of(" \t\r\n");
        size_t i = 0;
        if (b == std::string::npos || !sharedStrings_) return {};
        const auto r = std::from_chars(text.data() + b, text.data() + e + 1, i);
        if (r.ec != std::errc() || r.ptr != text.data() + e + 1 || i >= sharedStrings_->size()) return {};
        return Value((*sharedStrings_)[i]);
    }
    if (t == "str") return Value(text);
    if (t == "b") return Value(text == "1" || text == "true");
    if (t == "e") return {};
    if (t == "d") {
        if (auto d = Date::FromIso(text.substr(0, 19))) return Value(*d);
        return Value(text);
    }
    if (auto x = ParseNumber(text)) return Value(*x);
    return {};
}

pugi::xml_node Sheet::RowNode(int row, bool create)
{
    auto it = rows_.find(row);
    if (it != rows_.end() || !create) return it == rows_.end() ? pugi::xml_node() : it->second;
    auto after = rows_.upper_bound(row);
    pugi::xml_node node = after == rows_.end()
                              ? sheetData_.append_child((prefix_ + "row").c_str())
                              : sheetData_.insert_child_before((prefix_ + "row").c_str(), after->second);
    node.append_attribute("r") = row;
    rows_[row] = node;
    return node;
}

std::string Sheet::StyleForNewCell(pugi::xml_node rowNode, int row, int col) const
{
    if (rowNode.attribute("customFormat").as_bool() && rowNode.attribute("s")) return rowNode.attribute("s").value();
    if (pugi::xml_node cols = Child(doc_.document_element(), "cols")) {
        for (pugi::xml_node c : cols.children())
            if (Is(c, "col") && c.attribute("min").as_int() <= col && col <= c.attribute("max").as_int() &&
                c.attribute("style"))
                return c.attribute("style").value();
    }
    // A row added under the table takes the look of the row above it.
    auto above = cells_.find({row - 1, col});
    if (row > 2 && above != cells_.end() && above->second.attribute("s")) return above->second.attribute("s").value();
    return {};
}

pugi::xml_node Sheet::CellNode(int row, int col, bool create)
{
    auto it = cells_.find({row, col});
    if (it != cells_.end() || !create) return it == cells_.end() ? pugi::xml_node() : it->second;
    pugi::xml_node rowNode = RowNode(row, true);
    pugi::xml_node before;
    for (pugi::xml_node c : rowNode.children()) {
        int cr = 0, cc = 0;
        if (Is(c, "c") && ParseRef(c.attribute("r").value(), cr, cc) && cc > col) {
            before = c;
            break;
        }
    }
    const std::string style = StyleForNewCell(rowNode, row, col);
    pugi::xml_node node = before ? rowNode.insert_child_before((prefix_ + "c").c_str(), before)
                                 : rowNode.append_child((prefix_ + "c").c_str());
    node.append_attribute("r") = (ColumnLetters(col) + std::to_string(row)).c_str();
    if (!style.empty()) node.append_attribute("s") = style.c_str();
    rowNode.remove_attribute("spans");  // a hint that new cells may invalidate
    cells_[{row, col}] = node;
    return node;
}

void Sheet::SetCell(int row, int col, const Value& v)
{
    pugi::xml_node c = CellNode(row, col, true);
    if (pugi::xml_node f = Child(c, "f")) {
        const std::string ft = f.attribute("t").value();
        if ((ft == "shared" && f.attribute("ref")) || ft == "array")
            throw Error(adErrFeatureNotAvailable,
                        "A célula " + ColumnLetters(col) + std::to_string(row) + " da planilha '" + name +
                            "' tem uma fórmula compartilhada por outras células e não pode ser alterada.");
        formulaRemoved_ = true;
    }
    for (const char* child : {"f", "v", "is"})
        while (pugi::xml_node n = Child(c, child)) c.remove_child(n);
    c.remove_attribute("t");
    dirty_ = true;
    switch (v.Kind()) {
    case ValueKind::Null: return;
    case ValueKind::Integer:
    case ValueKind::Real: c.prepend_child((prefix_ + "v").c_str()).text().set(NumberText(v.ToDouble()).c_str()); return;
    case ValueKind::Boolean:
        c.append_attribute("t") = "b";
        c.prepend_child((prefix_ + "v").c_str()).text().set(v.ToBool() ? "1" : "0");
        return;
    case ValueKind::Text:
    case ValueKind::Date: {
        c.append_attribute("t") = "inlineStr";
        pugi::xml_node is = c.prepend_child((prefix_ + "is").c_str());
        pugi::xml_node t = is.append_child((prefix_ + "t").c_str());
        t.append_attribute("xml:space") = "preserve";
        t.text().set(v.ToText().c_str());
        return;
    }
    }
}

void Sheet::TouchRow(int row, int maxCol)
{
    bool any = false;
    for (int c = 1; c <= maxCol && !any; ++c) any = cells_.count({row, c}) > 0;
    if (!any) CellNode(row, 1, true);
    dirty_ = true;
}

std::shared_ptr<Workbook> Workbook::Open(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw Error(adErrProvider, "Pasta de trabalho não encontrada: '" + path + "'.");
    Archive za(path, ZIP_RDONLY);
    auto wb = std::make_shared<Workbook>();
    wb->path_ = path;
    wb->workbookPart_ = "xl/workbook.xml";
    if (za.Has("_rels/.rels")) {
        pugi::xml_document rels;
        za.Parse("_rels/.rels", rels);
        for (pugi::xml_node r : rels.document_element().children())
            // The type's last part: ".../relationships/extended-properties" has
            // "/officeDocument" inside it too.
            if (Is(r, "Relationship") && EndsWith(r.attribute("Type").value(), "/officeDocument"))
                wb->workbookPart_ = ResolveTarget("", r.attribute("Target").value());
    }
    if (!za.Has(wb->workbookPart_))
        throw Error(adErrProvider, "O arquivo '" + path + "' não é uma pasta de trabalho que este programa leia.");
    pugi::xml_document book, rels;
    za.Parse(wb->workbookPart_, book);
    std::map<std::string, std::string> targets;
    const std::string relsPart = RelsOf(wb->workbookPart_);
    if (za.Has(relsPart)) {
        za.Parse(relsPart, rels);
        for (pugi::xml_node r : rels.document_element().children()) {
            if (!Is(r, "Relationship")) continue;
            const std::string target = ResolveTarget(wb->workbookPart_, r.attribute("Target").value());
            targets[r.attribute("Id").value()] = target;
            if (std::string(r.attribute("Type").value()).find("/sharedStrings") != std::string::npos &&
                za.Has(target)) {
                pugi::xml_document sst;
                za.Parse(target, sst);
                for (pugi::xml_node si : sst.document_element().children()) {
                    if (!Is(si, "si")) continue;
                    if (static_cast<long long>(wb->sharedStrings_.size()) == kMaxStrings)
                        throw Error(adErrProvider, "A pasta de trabalho '" + path +
                                                       "' não pode ser lida: ela tem mais de " +
                                                       std::to_string(kMaxStrings) + " textos compartilhados.");
                    wb->sharedStrings_.push_back(RichText(si));
                }
            }
        }
    }
    if (pugi::xml_node sheets = Child(book.document_element(), "sheets")) {
        for (pugi::xml_node s : sheets.children()) {
            if (!Is(s, "sheet")) continue;
            std::string id;
            for (pugi::xml_attribute a : s.attributes())
                if (Local(a.name()) == "id") id = a.value();
            if (targets.count(id)) wb->sheetParts_[s.attribute("name").value()] = targets[id];
        }
    }
    return wb;
}

Sheet& Workbook::FindSheet(const std::string& name)
{
    for (auto& s : sheets_)
        if (SameName(s->name, name)) return *s;
    for (const auto& [sheetName, part] : sheetParts_) {
        if (!SameName(sheetName, name)) continue;
        auto sheet = std::make_unique<Sheet>();
        sheet->name = sheetName;
        sheet->part = part;
        Archive za(path_, ZIP_RDONLY);
        za.Parse(part, sheet->doc_);
        sheet->sharedStrings_ = &sharedStrings_;
        if (!sheet->Index())
            throw Error(adErrProvider, "A planilha '" + sheetName + "' de '" + path_ +
                                           "' não pode ser lida: ela tem mais de " + std::to_string(kMaxCells) +
                                           " células.");
        // The records are the whole used range, cell by cell: a range the
        // cells present do not come near (one cell far out, a huge declared
        // dimension) would have the rows built for nothing.
        const long long grid = static_cast<long long>(sheet->MaxRow()) * sheet->MaxCol();
        if (grid > std::max<long long>(kMaxGrid, static_cast<long long>(sheet->cells_.size())))
            throw Error(adErrProvider, "A planilha '" + sheetName + "' de '" + path_ +
                                           "' não pode ser lida: a área usada (A1:" + ColumnLetters(sheet->MaxCol()) +
                                           std::to_string(sheet->MaxRow()) + ") tem " + std::to_string(grid) +
                                           " células e só " + std::to_string(sheet->cells_.size()) +
                                           " estão no arquivo.");
        sheets_.push_back(std::move(sheet));
        return *sheets_.back();
    }
    throw Error(adErrObjectNotFound, "Planilha '" + name + "' não encontrada na pasta de trabalho '" + path_ + "'.");
}

void Workbook::Save()
{
    bool any = false, formulas = false;
    for (const auto& s : sheets_) {
        any = any || s->dirty_;
        formulas = formulas || s->formulaRemoved_;
    }
    if (!any) return;
    // Through a link to the file it names, so the link stays.
    const std::string file = platform::FileReplacement::Destination(path_).string();
    CheckWritable();
    Archive za(file, 0, path_);
    std::deque<std::string> keep;  // buffers must stay in place until the archive's Close
    for (const auto& s : sheets_) {
        if (!s->dirty_) continue;
        // Keeps the dimension in step with the cells.
        pugi::xml_node ws = s->doc_.document_element();
        pugi::xml_node dim = Child(ws, "dimension");
        if (!dim) {
            pugi::xml_node before = Child(ws, "sheetViews");
            if (!before) before = Child(ws, "sheetFormatPr");
            if (!before) before = Child(ws, "cols");
            if (!before) before = s->sheetData_;
            dim = ws.insert_child_before((s->prefix_ + "dimension").c_str(), before);
            dim.append_attribute("ref");
        }
        dim.attribute("ref") =
            ("A1:" + ColumnLetters(std::max(1, s->MaxCol())) + std::to_string(std::max(1, s->MaxRow()))).c_str();
        keep.push_back(Serialize(s->doc_));
        za.Put(s->part, keep.back());
    }
    // The program that opens the file recomputes every formula, since values they use changed.
    pugi::xml_document book;
    za.Parse(workbookPart_, book);
    pugi::xml_node root = book.document_element();
    pugi::xml_node calc = Child(root, "calcPr");
    if (!calc) {
        pugi::xml_node after;
        for (const char* name : {"sheets", "functionGroups", "externalReferences", "definedNames"})
            if (pugi::xml_node n = Child(root, name)) after = n;
        calc = after ? root.insert_child_after((PrefixOf(root) + "calcPr").c_str(), after)
                     : root.append_child((PrefixOf(root) + "calcPr").c_str());
    }
    if (!calc.attribute("fullCalcOnLoad")) calc.append_attribute("fullCalcOnLoad");
    calc.attribute("fullCalcOnLoad") = "1";
    keep.push_back(Serialize(book));
    za.Put(workbookPart_, keep.back());
    // A formula replaced by a value would leave the calculation chain pointing at it.
    if (formulas) {
        const std::string relsPart = RelsOf(workbookPart_);
        if (za.Has(relsPart)) {
            pugi::xml_document rels;
            za.Parse(relsPart, rels);
            for (pugi::xml_node r = rels.document_element().first_child(); r;) {
                pugi::xml_node next = r.next_sibling();
                if (Is(r, "Relationship") &&
                    std::string(r.attribute("Type").value()).find("/calcChain") != std::string::npos) {
                    za.Remove(ResolveTarget(workbookPart_, r.attribute("Target").value()));
                    rels.document_element().remove_child(r);
                }
                r = next;
            }
            keep.push_back(Serialize(rels));
            za.Put(relsPart, keep.back());
        }
        if (za.Has("[Content_Types].xml")) {
            pugi::xml_document types;
            za.Parse("[Content_Types].xml", types);
            for (pugi::xml_node o = types.document_element().first_child(); o;) {
                pugi::xml_node next = o.next_sibling();
                if (Is(o, "Override") &&
                    std::string(o.attribute("PartName").value()).find("calcChain") != std::string::npos)
                    types.document_element().remove_child(o);
                o = next;
            }
            keep.push_back(Serialize(types));
            za.Put("[Content_Types].xml", keep.back());
        }
    }
    za.Close();
    for (auto& s : sheets_) {
        s->dirty_ = false;
        s->formulaRemoved_ = false;
    }
}

void Workbook::CheckWritable() const
{
    if (platform::FileReplacement::IsReadOnly(platform::FileReplacement::Destination(path_).string()))
        throw Error(adErrProvider, "A pasta de trabalho '" + path_ + "' não pode ser alterada (somente leitura).");
}

}  // namespace ado::detail
