#include "cad/GuardaVariaveis.h"

#include <algorithm>

#include "cad/modAcad.h"
#include "platform/acad/Application.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"

GuardaVariaveis::GuardaVariaveis(std::initializer_list<std::string> Nomes) : doc_(gAcadDoc), app_(nullptr)
{
    if (!doc_) throw acad::Error(acad::ErrorCode::NoDocument, "Nenhum desenho aberto");
    app_ = doc_->Application();
    valores_.reserve(Nomes.size());
    for (const std::string& nome : Nomes) valores_.emplace_back(nome, doc_->GetVariable(nome));
}

GuardaVariaveis::~GuardaVariaveis()
{
    if (!DesenhoAberto()) return;
    for (const auto& [nome, valor] : valores_) {
        try {
            doc_->SetVariable(nome, valor);
        } catch (...) {
        }
    }
}

void GuardaVariaveis::Restaura()
{
    if (!DesenhoAberto()) return;
    for (const auto& [nome, valor] : valores_) doc_->SetVariable(nome, valor);
}

// A drawing closed by the host is gone with its objects: only its place among
// the open drawings tells. One made outside any host (no application) lives
// as long as its maker keeps it.
bool GuardaVariaveis::DesenhoAberto() const
{
    if (!app_) return true;
    const acad::Documents& abertos = app_->Documents();
    return std::any_of(abertos.begin(), abertos.end(), [&](const auto& d) { return d.get() == doc_; });
}
