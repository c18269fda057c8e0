// Loading linetypes from ".lin" files:
//   *NAME,description
//   A,dash,gap,dot,...[,complex element]...
#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"
#include "platform/SystemErrorText.h"

namespace acad {

namespace {

struct LinDef {
    std::string name;
    std::string description;
    std::vector<double> pattern;
    std::string complex;
};

bool ValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// Linetype files of the platform this system came from are Latin-1.
std::string ToUtf8(const std::string& s)
{
    if (ValidUtf8(s)) return s;
    std::string r;
    for (unsigned char c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

std::string Trim(const std::string& s)
{
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

double ParseDash(const std::string& s)
{
    std::string t = Trim(s);
    for (char& c : t)
        if (c == ',') c = '.';
    std::istringstream in(t);
    in.imbue(std::locale::classic());
    double v = 0;
    in >> v;
    return in.fail() ? 0.0 : v;
}

std::vector<LinDef> ParseLin(std::istream& in)
{
    std::vector<LinDef> defs;
    std::string line;
    LinDef* current = nullptr;
    while (std::getline(in, line)) {
        line = Trim(ToUtf8(line));
        if (line.empty() || line.starts_with(";;")) continue;
        if (line[0] == '*') {
            auto comma = line.find(',');
            LinDef d;
            d.name = Trim(line.substr(1, comma == std::string::npos ? std::string::npos : comma - 1));
            if (comma != std::string::npos) d.description = Trim(line.substr(comma + 1));
            defs.push_back(std::move(d));
            current = &defs.back();
            continue;
        }
        if (!current) continue;
        // Pattern line: alignment letter, then dashes; bracketed complex elements kept as text.
        std::string body = line;
        if (!body.empty() && (body[0] == 'A' || body[0] == 'a')) {
            auto comma = body.find(',');
            body = comma == std::string::npos ? "" : body.substr(comma + 1);
        }
        std::string field;
        int depth = 0;
        auto flush = [&]() {
            std::string f = Trim(field);
            if (!f.empty()) current->pattern.push_back(ParseDash(f));
            field.clear();
        };
        for (char c : body) {
            if (c == '[') {
                flush();
                ++depth;
            }
            if (depth > 0) {
                current->complex += c;
                if (c == ']') {
                    --depth;
                    current->complex += ',';
                }
                continue;
            }
            if (c == ',')
                flush();
            else
                field += c;
        }
        flush();
        current = nullptr;  // one pattern line per definition
    }
    return defs;
}

}  // namespace

bool Linetype::NameFixed() const
{
    return NamesEqual(Name(), "ByBlock") || NamesEqual(Name(), "ByLayer") || NamesEqual(Name(), "Continuous");
}

void Linetypes::Load(const std::string& name, const std::string& fileName)
{
    namespace fs = std::filesystem;
    if (name.empty()) ThrowInvalidInput("nome de tipo de linha vazio");
    if (name != "*" && Find(name))
        throw Error(ErrorCode::DuplicateKey, "O tipo de linha \"" + name + "\" já está carregado");
    // The file: as given when it exists, else by name in the drawing's and the host's folders
    // (letter case ignored, as on the platform the files come from).
    fs::path path(fileName);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        fs::path found;
        const std::string wanted = UpperName(path.filename().string());
        for (const auto& folder : doc_.SupportFolders()) {
            if (fs::is_regular_file(folder / path.filename(), ec)) {
                found = folder / path.filename();
                break;
            }
            for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
                 it.increment(ec)) {
                if (UpperName(it->path().filename().string()) == wanted && it->is_regular_file(ec)) {
                    found = it->path();
                    break;
                }
            }
            if (!found.empty()) break;
        }
        if (found.empty())
            throw Error(ErrorCode::FileNotFound, "Arquivo de tipos de linha \"" + fileName + "\" não encontrado");
        path = found;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error(ErrorCode::FileError, "Não foi possível ler o arquivo de tipos de linha \"" + path.string() +
                                              "\": " + platform::ErrnoText(errno));
    bool any = false;
    for (auto& d : ParseLin(in)) {
        if (name != "*" && !NamesEqual(d.name, name)) continue;
        if (name == "*" && (Find(d.name) || !IsValidSymbolName(d.name))) continue;
        Linetype* lt = Add(d.name);
        lt->SetDescription(d.description);
        lt->SetPattern(std::move(d.pattern));
        lt->SetComplexText(std::move(d.complex));
        any = true;
        if (name != "*") break;
    }
    if (!any && name != "*")
        throw Error(ErrorCode::KeyNotFound,
                    "Tipo de linha \"" + name + "\" não encontrado no arquivo \"" + path.filename().string() + "\"");
}

}  // namespace acad
