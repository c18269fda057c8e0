#include "platform/acad/AcadObject.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/Error.h"
#include "platform/acad/XDataStore.h"

namespace acad {

AcadObject::AcadObject(acad::Document& doc) : doc_(&doc) {}

AcadObject::~AcadObject() = default;

std::string AcadObject::HandleText(std::uint64_t handle)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(handle));
    return buf;
}

std::string AcadObject::Handle() const { return HandleText(handle_); }

std::int32_t AcadObject::OwnerID() const
{
    if (auto* e = dynamic_cast<const Entity*>(this))
        if (AcadObject* o = e->Owner()) return o->ObjectID();
    return 0;
}

void AcadObject::CheckAlive() const
{
    if (erased_) ThrowErased();
}

void AcadObject::Delete()
{
    CheckAlive();
    OnErase();
    erased_ = true;
    // The data stays with the erased object, but no longer holds its applications.
    if (const XDataStore* x = doc_->XDataOf(*this)) {
        auto& apps = doc_->RegisteredApplications();
        for (const auto& g : x->groups)
            if (auto* app = apps.ByIndex(g.app)) app->AddUse(-1);
    }
    doc_->NoteChange();
}

bool AcadObject::HasXData() const
{
    const XDataStore* x = doc_->XDataOf(*this);
    return x && !x->groups.empty();
}

std::vector<std::uint32_t> AcadObject::XDataApplications() const
{
    std::vector<std::uint32_t> r;
    if (const XDataStore* x = doc_->XDataOf(*this))
        for (const auto& g : x->groups) r.push_back(g.app);
    return r;
}

void AcadObject::GetXData(const std::string& appName, std::vector<int>& xdataType,
                          std::vector<Variant>& xdataValue) const
{
    CheckAlive();
    xdataType.clear();
    xdataValue.clear();
    const XDataStore* x = doc_->XDataOf(*this);
    if (!x) return;
    const auto& apps = doc_->RegisteredApplications();
    for (const auto& g : x->groups) {
        const RegisteredApplication* app = apps.ByIndex(g.app);
        const std::string name = app ? app->Name() : std::string();
        if (!appName.empty() && !NamesEqual(appName, name)) continue;
        xdataType.push_back(XDataCode::AppName);
        xdataValue.emplace_back(name);
        xdataType.insert(xdataType.end(), g.codes.begin(), g.codes.end());
        xdataValue.insert(xdataValue.end(), g.values.begin(), g.values.end());
    }
}

namespace {
// Checks one item against its group code and gives it the stored kind.
Variant CheckItem(int code, const Variant& v)
{
    auto bad = [code](const char* why) {
        throw Error(ErrorCode::InvalidInput, "Dado estendido inválido (código " + std::to_string(code) + "): " + why);
    };
    if (code >= 1000 && code <= 1009) {
        if (!v.IsString()) bad("esperado um texto");
        if (code == XDataCode::ControlString && v.AsString() != "{" && v.AsString() != "}")
            bad("esperado \"{\" ou \"}\"");
        return v;
    }
    if (code >= 1010 && code <= 1013) {
        if (!v.IsPoint()) bad("esperado um ponto");
        return v;
    }
    if (code >= 1040 && code <= 1042) {
        if (!v.IsNumber() || !std::isfinite(v.AsDouble())) bad("esperado um número");
        return Variant(v.AsDouble());
    }
    if (code == XDataCode::Integer) {
        if (!v.IsNumber()) bad("esperado um inteiro");
        double d = v.AsDouble();
        if (d < -32768 || d > 32767) bad("fora do intervalo de 16 bits");
        return Variant(v.AsInt());
    }
    if (code == XDataCode::Long) {
        if (!v.IsNumber()) bad("esperado um inteiro");
        return Variant(v.AsInt());
    }
    bad("código desconhecido");
    return v;
}
}  // namespace

void AcadObject::SetXData(const std::vector<int>& xdataType, const std::vector<Variant>& xdataValue)
{
    CheckAlive();
    if (xdataType.size() != xdataValue.size())
        throw Error(ErrorCode::InvalidInput,
                    "Dados estendidos: as listas de códigos e valores têm tamanhos diferentes");
    if (xdataType.empty() || xdataType[0] != XDataCode::AppName)
        throw Error(ErrorCode::InvalidInput, "Dados estendidos devem começar pelo nome da aplicação (código 1001)");
    // Check everything before changing anything, so a bad array leaves the object as it was.
    std::vector<XDataStore::Group> incoming;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < xdataType.size(); ++i) {
        if (xdataType[i] == XDataCode::AppName) {
            if (!xdataValue[i].IsString() || !IsValidSymbolName(xdataValue[i].AsString()))
                throw Error(ErrorCode::InvalidInput,
                            "Nome de aplicação inválido nos dados estendidos: \"" + xdataValue[i].ToString() + "\"");
            names.push_back(xdataValue[i].AsString());
            incoming.emplace_back();
            continue;
        }
        incoming.back().codes.push_back(xdataType[i]);
        incoming.back().values.push_back(CheckItem(xdataType[i], xdataValue[i]));
    }
    auto& apps = doc_->RegisteredApplications();
    XDataStore& store = doc_->MutableXData(*this);
    for (std::size_t k = 0; k < incoming.size(); ++k) {
        RegisteredApplication* app = apps.Add(names[k]);
        auto& groups = store.groups;
        auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.app == app->Index(); });
        if (incoming[k].codes.empty()) {  // an application alone removes its data
            if (it != groups.end()) {
                groups.erase(it);
                app->AddUse(-1);
            }
            continue;
        }
        incoming[k].app = app->Index();
        if (it != groups.end()) {
            *it = std::move(incoming[k]);
        } else {
            groups.push_back(std::move(incoming[k]));
            app->AddUse(1);
        }
    }
    if (store.groups.empty()) doc_->DropXData(*this);
    doc_->NoteChange();
}

}  // namespace acad
