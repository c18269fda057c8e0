#include "sewer/clsTabela1.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modMensagem.h"

namespace {

bool CampoDeTexto(ado::DataTypeEnum Tipo)
{
    return Tipo == ado::adWChar || Tipo == ado::adVarWChar || Tipo == ado::adLongVarWChar;
}

// Field equality of the search: Null with Null, numbers by value, the rest by
// their texts.
bool Iguais(const ado::Value& Campo, const ado::Value& Valor)
{
    if (Valor.IsNull() || Campo.IsNull()) return Valor.IsNull() && Campo.IsNull();
    if (Campo.IsNumber() && Valor.IsNumber()) return Campo.ToDouble() == Valor.ToDouble();
    return Campo.ToText() == Valor.ToText();
}

// The required fields, in the order of the report, with their names in it.
const std::vector<std::pair<const char*, const char*>>& Obrigatorios()
{
    static const std::vector<std::pair<const char*, const char*>> campos = {
        {"PAVIMENTO", "PAVIM"},
        {"MATERIAL", "MATER"},
        {"DIAMETRO", "DIAM"},
        {"DECLIVIDADE", "DECL"},
        {"COMRIMENTO", "COMP"},
        {"ETAPA", "ETAPA"},
        {"PV Montante", "PVM"},
        {"PV Jusante", "PVJ"},
        {"Coordenada X de PV Montante", "CXM"},
        {"Coordenada Y de PV Montante", "CYM"},
        {"Coordenada X de PV Jusante", "CXJ"},
        {"Coordenada Y de PV Jusante", "CYJ"},
        {"Cota Terreno do PV Montante", "CTM"},
        {"Cota Soleira do PV Montante", "CCM"},
        {"Profundidade do PV Montante", "PRFM"},
        // The import writes the downstream manhole's texts and labels each
        // reach by its number: without them a record cannot be drawn.
        {"Cota Terreno do PV Jusante", "CTJ"},
        {"Cota Soleira do PV Jusante", "CCJ"},
        {"Profundidade do PV Jusante", "PRFJ"},
        {"TRECHO (CLTAT)", "CLTAT"},
    };
    return campos;
}

}  // namespace

std::string NomeTabelaSQL(const std::string& Arquivo)
{
    std::string nome = "[";
    for (char c : Arquivo) nome += c == ']' ? std::string("]]") : std::string(1, c);
    return nome + "]";
}

bool clsTabela1::Initialize(const std::string& Filename, const std::string& FilePath)
{
    if (Filename.find('-') != std::string::npos || Filename.find('_') != std::string::npos) {
        ExibeMensagem(0, "Atenção", "O nome do arquivo não poderá ter '_' (Underscore) nem '-'(Hifen)");
        return false;
    }
    dbFileName = Filename;
    dbFilePath = FilePath;
    movimento_.Disconnect();
    aberta_ = false;
    try {
        Abre();
    } catch (const ado::Error& e) {
        adoPrimaryRS = ado::Recordset();
        conexao_ = ado::Connection();
        const std::string caminho = (std::filesystem::path(FilePath) / Filename).string();
        ExibeMensagem(0, "Atenção", "Não foi possível abrir a tabela " + caminho + "\r\n\r\n" + e.Description());
        return false;
    }
    aberta_ = true;
    DataMemberChanged.Raise("Primary");
    return true;
}

void clsTabela1::Abre()
{
    conexao_ = ado::Connection();
    conexao_.SetCursorLocation(ado::adUseClient);
    conexao_.Open(ado::BuildConnectionString({{"PROVIDER", "Microsoft.Jet.OLEDB.4.0"},
                                              {"Data Source", dbFilePath},
                                              {"Extended Properties", "dBase 5.0"}}),
                  "", "");
    adoPrimaryRS = ado::Recordset();
    adoPrimaryRS.SetCursorLocation(ado::adUseClient);
    movimento_ = adoPrimaryRS.MoveComplete().Connect([this] { MoveComplete.Raise(); });
    adoPrimaryRS.Open("select * from " + NomeTabelaSQL(dbFileName) + " order by CLTAT", conexao_, ado::adOpenStatic,
                      ado::adLockOptimistic, ado::adCmdText);
}

std::string clsTabela1::VerificarTabela()
{
    forms::Screen.SetMousePointer(forms::vbHourglass);
    const auto& campos = Obrigatorios();
    if (cProgress) cProgress->Progress_Start(static_cast<long long>(campos.size()), "Verificando tabela...");
    std::string texto;
    for (std::size_t i = 0; i < campos.size(); ++i) {
        texto += VerificaVazios(campos[i].first, campos[i].second);
        if (cProgress && i + 1 < campos.size()) cProgress->Progress();
    }
    if (cProgress) cProgress->Progress_Start(0, "");
    forms::Screen.SetMousePointer(forms::vbDefault);
    return texto;
}

std::string clsTabela1::VerificaVazios(const std::string& Nome, const std::string& Campo)
{
    std::string texto;
    const long long n = adoPrimaryRS.RecordCount();
    if (n == 0) return texto;
    adoPrimaryRS.MoveFirst();
    for (long long i = 0; i < n; ++i) {
        forms::DoEvents();
        if (adoPrimaryRS.Fields(Campo).Value().IsNull()) {
            const ado::Value numero = adoPrimaryRS.Fields("CLTAT").Value();
            const std::string nomeRegistro =
                numero.IsNull() ? "Registro " + std::to_string(adoPrimaryRS.AbsolutePosition()) : numero.ToText();
            texto += "\r\n" + nomeRegistro + " tem " + Nome + " vazio.";
        }
        adoPrimaryRS.MoveNext();
    }
    return texto;
}

ado::Value clsTabela1::GetFieldData(const std::string& Field, bool NoNull)
{
    const ado::Field f = adoPrimaryRS.Fields(Field);
    ado::Value v = f.Value();
    if (v.IsNull() && NoNull) {
        if (CampoDeTexto(f.Type())) return ado::Value("");
        return ado::Value(0);
    }
    return v;
}

void clsTabela1::SetFieldData(const std::string& Field, const ado::Value& Value)
{
    adoPrimaryRS.Fields(Field).SetValue(Value);
}

bool clsTabela1::Procura(const std::string& Field, const ado::Value& Value, bool DoPrimeiro)
{
    if (adoPrimaryRS.RecordCount() == 0) return false;
    if (DoPrimeiro) adoPrimaryRS.MoveFirst();
    while (!adoPrimaryRS.Eof()) {
        if (Iguais(adoPrimaryRS.Fields(Field).Value(), Value)) return true;
        adoPrimaryRS.MoveNext();
    }
    return false;
}

bool clsTabela1::FindFirst(const std::string& Field, const ado::Value& Value) { return Procura(Field, Value, true); }

bool clsTabela1::Find(const std::string& Field, const ado::Value& Value) { return Procura(Field, Value, false); }

bool clsTabela1::EditingRecord() const { return adoPrimaryRS.EditMode() != ado::adEditNone; }

long long clsTabela1::AbsolutePosition() const { return adoPrimaryRS.AbsolutePosition(); }

bool clsTabela1::Eof() const { return adoPrimaryRS.Eof(); }

bool clsTabela1::Bof() const { return adoPrimaryRS.Bof(); }

long long clsTabela1::RecordCount() const { return adoPrimaryRS.RecordCount(); }

void clsTabela1::AddNew() { adoPrimaryRS.AddNew(); }

void clsTabela1::Delete()
{
    adoPrimaryRS.Delete();
    MoveNext();
}

void clsTabela1::Requery()
{
    adoPrimaryRS.Requery();
    DataMemberChanged.Raise("Primary");
}

void clsTabela1::Update() {}

void clsTabela1::Cancel()
{
    if (adoPrimaryRS.EditMode() == ado::adEditNone) return;
    adoPrimaryRS.CancelUpdate();
    if (adoPrimaryRS.EditMode() == ado::adEditAdd) MoveFirst();
}

void clsTabela1::MoveFirst()
{
    if (adoPrimaryRS.RecordCount() > 0) adoPrimaryRS.MoveFirst();
}

void clsTabela1::MoveLast()
{
    if (adoPrimaryRS.RecordCount() > 0) adoPrimaryRS.MoveLast();
}

void clsTabela1::MoveNext()
{
    if (adoPrimaryRS.Eof()) return;
    adoPrimaryRS.MoveNext();
    if (adoPrimaryRS.Eof() && adoPrimaryRS.RecordCount() > 0) adoPrimaryRS.MoveLast();
}

void clsTabela1::MovePrevious()
{
    if (adoPrimaryRS.Bof()) return;
    adoPrimaryRS.MovePrevious();
    if (adoPrimaryRS.Bof() && adoPrimaryRS.RecordCount() > 0) adoPrimaryRS.MoveFirst();
}
