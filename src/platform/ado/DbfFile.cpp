#include "platform/ado/DbfFile.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"
#include "platform/FileReplacement.h"
#include "platform/SystemErrorText.h"

#include <shapefil.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace ado::detail {

namespace {

[[noreturn]] void NotDbf(const std::string& path, const std::string& why)
{
    throw Error(adErrProvider, "O arquivo '" + path + "' não é uma tabela dBase válida: " + why + ".");
}

unsigned U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned long U32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

// Where the NUL bytes at the end of the file begin (a last 1Ah after them
// is part of that padding), reading back from the end no further than `from`.
unsigned long long PaddingStart(std::ifstream& in, unsigned long long from, unsigned long long size)
{
    unsigned long long end = size;
    char piece[4096];
    bool first = true;
    while (end > from) {
        const unsigned long long n = std::min<unsigned long long>(sizeof piece, end - from);
        in.clear();
        in.seekg(static_cast<std::streamoff>(end - n));
        if (!in.read(piece, static_cast<std::streamsize>(n))) return end;
        unsigned long long k = n;
        if (first && piece[k - 1] == 0x1A) --k;
        first = false;
        while (k > 0 && piece[k - 1] == '\0') --k;
        if (k > 0) return end - n + k;
        end -= n;
    }
    return end;
}

// Checks the header ourselves before shapelib reads it: shapelib accepts
// almost any bytes, and would read a foreign or cut file as garbage.
void Validate(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int err = errno;
        throw Error(adErrProvider,
                    "Não foi possível ler a tabela dBase '" + path + "': " + platform::ErrnoText(err) + ".");
    }
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    unsigned char h[32];
    if (ec || size < 32 || !in.read(reinterpret_cast<char*>(h), 32)) NotDbf(path, "arquivo curto demais");
    static const unsigned char versions[] = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43,
                                             0x63, 0x83, 0x8B, 0x8E, 0xCB, 0xF5, 0xFB};
    bool known = false;
    for (unsigned char v : versions) known = known || v == h[0];
    if (!known) NotDbf(path, "assinatura desconhecida");
    if (h[2] > 12 || h[3] > 31) NotDbf(path, "data do cabeçalho inválida");
    const unsigned long records = U32(h + 4);
    const unsigned headerLength = U16(h + 8), recordLength = U16(h + 10);
    if (headerLength < 65 || headerLength > size) NotDbf(path, "cabeçalho inválido");
    unsigned fieldsLength = 1;
    int fields = 0;
    for (unsigned pos = 32;; pos += 32) {
        unsigned char d[32];
        if (pos >= headerLength || !in.read(reinterpret_cast<char*>(d), 1)) NotDbf(path, "lista de campos sem fim");
        if (d[0] == 0x0D) break;
        if (pos + 32 > headerLength || !in.read(reinterpret_cast<char*>(d + 1), 31))
            NotDbf(path, "lista de campos cortada");
        std::string name;
        for (int k = 0; k < 11 && d[k]; ++k) {
            if (d[k] < 0x20 || d[k] > 0x7E) NotDbf(path, "nome de campo inválido");
            name += static_cast<char>(d[k]);
        }
        if (name.empty()) NotDbf(path, "campo sem nome");
        const char type = static_cast<char>(d[11]);
        if (std::string("CNFLDM").find(type) == std::string::npos)
            NotDbf(path, std::string("tipo de campo '") + type + "' não suportado (campo " + name + ")");
        if (d[16] == 0) NotDbf(path, "campo " + name + " de largura zero");
        fieldsLength += d[16];
        ++fields;
    }
    if (fields == 0) NotDbf(path, "nenhum campo");
    // The records start where the header says. Between the field list and
    // there, writers leave padding (NUL bytes) or, in the tables of one later
    // family, a fixed 263-byte block; anything else is a record that the
    // header skips, and every record would be read, and written, shifted.
    const unsigned listEnd = 32u + 32u * static_cast<unsigned>(fields) + 1u;
    const bool backlink = h[0] == 0x30 || h[0] == 0x31 || h[0] == 0x32;
    bool padded = headerLength >= listEnd;
    for (unsigned pos = listEnd; padded && pos < headerLength; ++pos) padded = in.get() == 0;
    if (!padded && !(backlink && headerLength == listEnd + 263))
        NotDbf(path, "o cabeçalho diz ter " + std::to_string(headerLength) + " bytes, mas os seus " +
                         std::to_string(fields) + (fields == 1 ? " campo ocupa " : " campos ocupam ") +
                         std::to_string(listEnd));
    if (fieldsLength != recordLength) NotDbf(path, "tamanho de registro inconsistente");
    const unsigned long long counted = static_cast<unsigned long long>(records) * recordLength;
    if (headerLength + counted > size) NotDbf(path, "arquivo cortado (faltam registros)");
    // Whole records past the ones counted would be passed over on reading and
    // written over by the next append. The records end at the end-of-file
    // mark, a 1Ah where a record would start (a 1Ah elsewhere is a record's
    // byte), or where only NUL bytes are left (a writer's padding to a block,
    // with or without the mark after it): neither is a record.
    const unsigned long long recordsFrom = headerLength + counted;
    const unsigned long long paddingFrom = PaddingStart(in, recordsFrom, size);
    unsigned long long extra = 0;
    in.clear();
    in.seekg(static_cast<std::streamoff>(recordsFrom));
    for (unsigned long long pos = recordsFrom; pos < paddingFrom && pos + recordLength <= size; pos += recordLength) {
        const int flag = in.get();
        if (flag == 0x1A || flag == std::char_traits<char>::eof()) break;
        ++extra;
        in.ignore(recordLength - 1);
    }
    if (extra > 0)
        NotDbf(path, "o cabeçalho conta " + std::to_string(records) + " registros, mas o arquivo tem " +
                         std::to_string(records + extra));
}

// shapelib derives the file name from the one it is given ("x.dbf" or
// "x.DBF"); the hook makes it open exactly our path, whatever its case.
thread_local const char* tPath = nullptr;
thread_local int tOpenError = 0;

SAFile HookOpen(const char* name, const char* access)
{
    const std::string n = name;
    const std::string ext = n.size() >= 4 ? n.substr(n.size() - 4) : std::string();
    if (ext == ".dbf" || ext == ".DBF") {
        std::FILE* f = std::fopen(tPath, access);
        if (!f) tOpenError = errno;
        return reinterpret_cast<SAFile>(f);
    }
    return nullptr;  // code page files are read by us
}

void HookError(const char*) {}  // said in Portuguese by the caller

double HookAtof(const char* s)
{
    auto x = ParseNumber(s ? s : "");
    return x ? *x : 0.0;
}

struct Handle {
    DBFHandle h = nullptr;
    Handle(const std::string& path, const char* access)
    {
        SAHooks hooks;
        SASetupDefaultHooks(&hooks);
        hooks.FOpen = HookOpen;
        hooks.Error = HookError;
        hooks.Atof = HookAtof;
        tPath = path.c_str();
        tOpenError = 0;
        h = DBFOpenLL(path.c_str(), access, &hooks);
        tPath = nullptr;
        // The library's own words are English: the system's reason, or ours.
        if (!h)
            throw Error(adErrProvider,
                        "Não foi possível abrir a tabela dBase '" + path + "': " +
                            (tOpenError ? platform::ErrnoText(tOpenError) : std::string("cabeçalho não reconhecido")) +
                            ".");
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle()
    {
        if (h) DBFClose(h);
    }
    void Close()
    {
        DBFClose(h);
        h = nullptr;
    }
};

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return s;
}

// The code page that the table declares: "utf8", "other" or "" (nothing).
std::string DeclaredCodePage(const std::string& path, unsigned char ldid)
{
    const fs::path p(path);
    for (const char* ext : {".cpg", ".CPG"}) {
        fs::path cpg = p;
        cpg.replace_extension(ext);
        // A code page file names one code page ("UTF-8", "1252"): only its
        // start is read, whatever else a damaged one holds.
        std::ifstream in(cpg, std::ios::binary);
        char head[256];
        if (in && (in.read(head, sizeof head), in.gcount() > 0)) {
            std::string line(head, static_cast<size_t>(in.gcount()));
            line = Lower(line.substr(0, line.find('\n')));
            return (line.find("utf-8") != std::string::npos || line.find("utf8") != std::string::npos ||
                    line.find("65001") != std::string::npos)
                       ? "utf8"
                       : "other";
        }
    }
    return ldid ? "other" : "";
}

// The table's file replaced by a changed copy of it (through a symbolic
// link to the file it names, so the link stays).
void Rewrite(const std::string& path, const std::function<void(DBFHandle)>& change)
{
    platform::FileReplacement copy(path);
    if (copy.TargetIsReadOnly())
        throw Error(adErrProvider, "A tabela dBase '" + path + "' não pode ser alterada (somente leitura).");
    const auto failed = [&](const std::string& reason) {
        return Error(adErrProvider, "Não foi possível gravar a tabela dBase '" + path + "': " + reason + ".");
    };
    if (!copy.IsOpen() || !copy.CopyFrom(copy.Written())) throw failed(copy.Error());
    try {
        Handle h(copy.Path(), "rb+");
        change(h.h);
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        DBFSetLastModifiedDate(h.h, tm.tm_year, tm.tm_mon + 1, tm.tm_mday);
        // shapelib reports no failed write: the flush says whether the disk took it.
        DBFUpdateHeader(h.h);
        errno = 0;
        if (h.h->sHooks.FFlush(h.h->fp) != 0 || std::ferror(reinterpret_cast<std::FILE*>(h.h->fp)))
            throw failed(platform::ErrnoText(errno ? errno : EIO));
        h.Close();
    } catch (const Error& e) {
        throw Error(e.Number(), copy.NamingTarget(e.Description()));
    }
    if (!copy.Commit()) throw failed(copy.Error());
}

}  // namespace

DataTypeEnum DbfField::AdoType() const
{
    switch (type) {
    case 'N':
    case 'F': return decimals > 0 ? adDouble : width <= 9 ? adInteger : width <= 18 ? adBigInt : adDouble;
    case 'L': return adBoolean;
    case 'D': return adDate;
    case 'M': return adLongVarWChar;
    default: return adVarWChar;
    }
}

std::string DbfField::SqlType() const
{
    switch (AdoType()) {
    case adDouble: return "DOUBLE";
    case adInteger: return "INTEGER";
    case adBigInt: return "BIGINT";
    case adBoolean: return "BOOLEAN";
    case adDate: return "DATE";
    case adLongVarWChar: return "MEMO";
    default: return "VARCHAR(" + std::to_string(width) + ")";
    }
}

DbfTable DbfTable::Load(const std::string& path)
{
    Validate(path);
    Handle h(path, "rb");
    DbfTable t;
    t.path_ = path;
    t.recordLength_ = h.h->nRecordLength;
    const int n = DBFGetFieldCount(h.h);
    for (int i = 0; i < n; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h.h, i, name, &width, &decimals);
        DbfField f;
        f.name = name;
        f.type = DBFGetNativeFieldType(h.h, i);
        f.width = width;
        f.decimals = decimals;
        f.offset = h.h->panFieldOffset[i];
        t.fields_.push_back(f);
    }
    const std::string declared = DeclaredCodePage(path, static_cast<unsigned char>(h.h->iLanguageDriver));
    std::vector<std::string> raws;
    const int count = DBFGetRecordCount(h.h);
    bool allUtf8 = true, nonAscii = false;
    for (int r = 0; r < count; ++r) {
        const char* tuple = DBFReadTuple(h.h, r);
        if (!tuple) NotDbf(path, "registro " + std::to_string(r + 1) + " ilegível");
        raws.emplace_back(tuple, static_cast<size_t>(t.recordLength_));
        for (const DbfField& f : t.fields_) {
            if (f.type != 'C') continue;
            const std::string_view bytes(raws.back().data() + f.offset, static_cast<size_t>(f.width));
            for (char c : bytes) nonAscii = nonAscii || static_cast<unsigned char>(c) >= 0x80;
            if (allUtf8 && !IsValidUtf8(bytes)) allUtf8 = false;
        }
    }
    t.utf8_ = declared == "utf8" || (declared.empty() && allUtf8 && nonAscii);
    for (int r = 0; r < count; ++r) {
        if (raws[static_cast<size_t>(r)][0] == '*') continue;
        Record rec;
        rec.number = r;
        for (const DbfField& f : t.fields_) rec.values.push_back(t.DecodeField(f, raws[static_cast<size_t>(r)].data()));
        t.records_.push_back(std::move(rec));
    }
    return t;
}

int DbfTable::FieldIndex(const std::string& name) const
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (SameName(fields_[i].name, name)) return static_cast<int>(i);
    return -1;
}

Value DbfTable::DecodeField(const DbfField& f, const char* record) const
{
    std::string raw(record + f.offset, static_cast<size_t>(f.width));
    while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\0')) raw.pop_back();
    switch (f.type) {
    case 'C':
        if (raw.empty()) return {};
        return Value(utf8_ ? raw : Cp1252ToUtf8(raw));
    case 'N':
    case 'F': {
        size_t b = raw.find_first_not_of(' ');
        if (b == std::string::npos || raw[b] == '*') return {};
        auto x = ParseNumber(raw);
        if (!x) return {};
        if (f.decimals == 0 && *x == std::trunc(*x) && std::fabs(*x) < 9e15) return Value(static_cast<long long>(*x));
        return Value(*x);
    }
    case 'L':
        if (raw.empty()) return {};
        if (std::string("TtYy").find(raw[0]) != std::string::npos) return Value(true);
        if (std::string("FfNn").find(raw[0]) != std::string::npos) return Value(false);
        return {};
    case 'D':
        if (raw.empty() || raw.find_first_not_of('0') == std::string::npos) return {};
        if (auto d = Date::FromIso(raw)) return Value(*d);
        return {};
    default: return {};
    }
}

std::string DbfTable::EncodeField(const DbfField& f, const Value& v) const
{
    const size_t w = static_cast<size_t>(f.width);
    auto refuse = [&](const std::string& why) {
        return Error(adErrConversion, "O campo '" + f.name + "' de '" + path_ + "' não aceita o valor: " + why + ".");
    };
    switch (f.type) {
    case 'C': {
        if (v.IsNull()) return std::string(w, ' ');
        std::string bytes = utf8_ ? v.ToText() : Utf8ToCp1252(v.ToText());
        if (bytes.size() > w)
            throw refuse("o texto '" + v.ToText() + "' tem mais de " + std::to_string(w) + " caracteres");
        return bytes + std::string(w - bytes.size(), ' ');
    }
    case 'N':
    case 'F': {
        if (v.IsNull()) return std::string(w, ' ');
        double x = v.ToDouble();
        if (x == 0) x = 0;  // no "-0"
        char buf[400];
        auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, f.decimals);
        std::string s(buf, r.ptr);
        if (r.ec != std::errc() || s.size() > w)
            throw refuse("o número " + FormatNumber(x) + " não cabe em " + std::to_string(f.width) + " posições com " +
                         std::to_string(f.decimals) + " decimais");
        return std::string(w - s.size(), ' ') + s;
    }
    case 'L':
        if (v.IsNull()) return std::string(w, '?');
        return std::string(1, v.ToBool() ? 'T' : 'F') + std::string(w - 1, ' ');
    case 'D': {
        if (v.IsNull()) return std::string(w, ' ');
        const Date d = v.ToDate();
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year % 10000, d.month, d.day);
        std::string s(buf);
        s.resize(w, ' ');
        return s;
    }
    default: throw refuse("campos memo não podem ser alterados");
    }
}

std::vector<Value> DbfTable::Write(int number, const std::vector<std::pair<int, Value>>& changes)
{
    std::string record;
    for (const auto& [field, value] : changes) EncodeField(fields_[static_cast<size_t>(field)], value);  // refuse early
    Rewrite(path_, [&](DBFHandle h) {
        const char* tuple = DBFReadTuple(h, number);
        if (!tuple)
            throw Error(adErrNoCurrentRecord,
                        "O registro " + std::to_string(number + 1) + " não existe em '" + path_ + "'.");
        record.assign(tuple, static_cast<size_t>(recordLength_));
        for (const auto& [field, value] : changes) {
            const DbfField& f = fields_[static_cast<size_t>(field)];
            record.replace(static_cast<size_t>(f.offset), static_cast<size_t>(f.width), EncodeField(f, value));
        }
        if (!DBFWriteTuple(h, number, record.data()))
            throw Error(adErrProvider, "Não foi possível gravar o registro em '" + path_ + "'.");
    });
    std::vector<Value> stored;
    for (const DbfField& f : fields_) stored.push_back(DecodeField(f, record.data()));
    return stored;
}

std::pair<int, std::vector<Value>> DbfTable::Append(const std::vector<std::pair<int, Value>>& values)
{
    std::string record(1, ' ');
    for (const DbfField& f : fields_) record += EncodeField(f, Value());
    for (const auto& [field, value] : values) {
        const DbfField& f = fields_[static_cast<size_t>(field)];
        record.replace(static_cast<size_t>(f.offset), static_cast<size_t>(f.width), EncodeField(f, value));
    }
    int number = 0;
    Rewrite(path_, [&](DBFHandle h) {
        number = DBFGetRecordCount(h);
        if (!DBFWriteTuple(h, number, record.data()))
            throw Error(adErrProvider, "Não foi possível acrescentar um registro a '" + path_ + "'.");
    });
    std::vector<Value> stored;
    for (const DbfField& f : fields_) stored.push_back(DecodeField(f, record.data()));
    return {number, stored};
}

void DbfTable::Remove(int number)
{
    Rewrite(path_, [&](DBFHandle h) {
        if (!DBFMarkRecordDeleted(h, number, 1))
            throw Error(adErrNoCurrentRecord,
                        "O registro " + std::to_string(number + 1) + " não existe em '" + path_ + "'.");
    });
}

}  // namespace ado::detail
