#include "platform/ado/Backend.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace ado::detail {

namespace {

std::string Trim(std::string s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// "KEY=value;KEY2=\"a;b\";KEY3='c';..." with keys upper-cased. A value in
// double or single quotes runs to the matching quote, its quote written twice
// standing for one, so ";" and "=" inside it are text; a part without "=" is
// ignored. An unclosed quote, or text after a closing one, is refused rather
// than guessed at: a guess opens some other file.
std::map<std::string, std::string> ParseConnectionString(const std::string& cs)
{
    auto refuse = [&](const std::string& why) {
        return Error(adErrInvalidConnection, "Conexão inválida (" + why + "): '" + cs + "'.");
    };
    std::map<std::string, std::string> out;
    size_t i = 0;
    while (i < cs.size()) {
        const size_t eq = cs.find('=', i);
        const size_t semi = cs.find(';', i);
        if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
            if (semi == std::string::npos) break;
            i = semi + 1;
            continue;
        }
        std::string key = AsciiUpper(Trim(cs.substr(i, eq - i)));
        size_t j = eq + 1;
        while (j < cs.size() && (cs[j] == ' ' || cs[j] == '\t')) ++j;
        std::string value;
        if (j < cs.size() && (cs[j] == '"' || cs[j] == '\'')) {
            const char q = cs[j++];
            for (;;) {
                if (j >= cs.size()) throw refuse("aspas sem fechamento no valor de " + key);
                if (cs[j] == q) {
                    if (j + 1 < cs.size() && cs[j + 1] == q) {
                        value += q;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += cs[j++];
            }
            while (j < cs.size() && (cs[j] == ' ' || cs[j] == '\t')) ++j;
            if (j < cs.size() && cs[j] != ';') throw refuse("texto depois das aspas no valor de " + key);
            i = j + 1;
        } else {
            const size_t end = cs.find(';', j);
            value = Trim(cs.substr(j, (end == std::string::npos ? cs.size() : end) - j));
            i = end == std::string::npos ? cs.size() : end + 1;
        }
        out[key] = value;
    }
    return out;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix)
{
    return AsciiUpper(s.substr(0, prefix.size())) == AsciiUpper(prefix);
}

std::string Shown(const Value& v)
{
    try {
        return v.ToText();
    } catch (const Error&) {
        return "?";
    }
}

}  // namespace

std::shared_ptr<Backend> OpenBackend(const std::string& connectionString)
{
    auto keys = ParseConnectionString(connectionString);
    std::string provider = keys["PROVIDER"];
    if (SameName(provider, "MSDataShape")) provider = keys["DATA PROVIDER"];
    if (provider.empty())
        throw Error(adErrInvalidConnection, "A conexão não diz o provedor: '" + connectionString + "'.");
    if (!StartsWithNoCase(provider, "Microsoft.Jet.OLEDB") && !StartsWithNoCase(provider, "Microsoft.ACE.OLEDB"))
        throw Error(adErrInvalidConnection, "Provedor não suportado: '" + provider + "'.");
    const std::string source = keys["DATA SOURCE"];
    if (source.empty())
        throw Error(adErrInvalidConnection, "A conexão não diz o arquivo (Data Source): '" + connectionString + "'.");
    const std::string ext = AsciiUpper(keys["EXTENDED PROPERTIES"]);
    if (ext.find("DBASE") != std::string::npos) return OpenDbfBackend(source);
    if (ext.find("EXCEL") != std::string::npos) return OpenWorkbookBackend(source);
    return OpenSqliteBackend(source);
}

int FindColumn(const std::vector<ColumnInfo>& columns, std::string_view name)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (SameName(columns[i].name, name)) return static_cast<int>(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (!columns[i].qualifiedName.empty() && SameName(columns[i].qualifiedName, name)) return static_cast<int>(i);
    return -1;
}

bool TypeFromDeclaration(const std::string& declared, DataTypeEnum& type, long long& size)
{
    const std::string d = AsciiUpper(declared);
    auto has = [&](const char* s) { return d.find(s) != std::string::npos; };
    if (d.empty()) return false;
    if (has("BOOL") || d == "BIT" || has("YESNO") || has("LOGICAL")) {
        type = adBoolean, size = 2;
    } else if (has("DATE") || has("TIME")) {
        type = adDate, size = 8;
    } else if (has("TINYINT") || d == "BYTE") {
        type = adUnsignedTinyInt, size = 1;
    } else if (has("SMALLINT") || has("SHORT") || d == "INT2" || d == "INTEGER2") {
        type = adSmallInt, size = 2;
    } else if (has("BIGINT") || d == "INT8") {
        type = adBigInt, size = 8;
    } else if (has("INT") || has("LONG") || has("COUNTER") || has("AUTOINCREMENT")) {
        type = adInteger, size = 4;
    } else if (has("CURRENCY") || has("MONEY")) {
        type = adCurrency, size = 8;
    } else if (has("SINGLE") || d == "FLOAT4" || d == "REAL4") {
        type = adSingle, size = 4;
    } else if (has("REAL") || has("FLOA") || has("DOUB") || has("NUMERIC") || has("DECIMAL")) {
        type = adDouble, size = 8;
    } else if (has("MEMO") || has("LONGTEXT") || has("CLOB")) {
        type = adLongVarWChar, size = 536870910;
    } else if (has("CHAR") || has("TEXT") || has("STRING")) {
        type = adVarWChar, size = 255;
        const size_t open = d.find('(');
        if (open != std::string::npos) {
            const long long n = std::atoll(d.c_str() + open + 1);
            if (n > 0) size = n;
        }
    } else {
        return false;
    }
    return true;
}

Value ConvertForColumn(const ColumnInfo& column, const Value& v)
{
    if (v.IsNull() || column.acceptsAny) return v;
    auto refuse = [&](const std::string& why) -> Error {
        return Error(adErrConversion, "O campo '" + column.name + "' não aceita o valor '" + Shown(v) + "': " + why);
    };
    try {
        switch (column.type) {
        case adBoolean: return Value(v.ToBool());
        case adUnsignedTinyInt:
        case adSmallInt:
        case adInteger:
        case adBigInt: {
            const long long n = v.ToLong();
            const long long lo = column.type == adUnsignedTinyInt ? 0
                                 : column.type == adSmallInt      ? -32768
                                 : column.type == adInteger       ? -2147483648LL
                                                                  : INT64_MIN;
            const long long hi = column.type == adUnsignedTinyInt ? 255
                                 : column.type == adSmallInt      ? 32767
                                 : column.type == adInteger       ? 2147483647LL
                                                                  : INT64_MAX;
            if (n < lo || n > hi) throw refuse("fora dos limites do campo.");
            return Value(n);
        }
        case adSingle:
        case adDouble:
        case adCurrency: return Value(v.ToDouble());
        case adDate: return Value(v.ToDate());
        case adWChar:
        case adVarWChar:
        case adLongVarWChar: return Value(v.ToText());
        default: return v;
        }
    } catch (const Error& e) {
        if (e.Number() == adErrConversion) throw;
        throw refuse(e.Description());
    }
}

}  // namespace ado::detail
