#include "cad/GuardaVariaveis.h"

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

// One made outside any host (no application) lives as long as its maker keeps it.
bool GuardaVariaveis::DesenhoAberto() const { return !app_ || AbertoNoHost(*app_, doc_); }
