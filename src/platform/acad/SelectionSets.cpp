#include "platform/acad/SelectionSets.h"

#include <algorithm>

#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"

namespace acad {

SelectionSets::SelectionSets(Document& doc) : doc_(doc) {}
SelectionSets::~SelectionSets() = default;

SelectionSet* SelectionSets::Item(int index) const
{
    if (index < 0 || index >= Count()) ThrowKeyNotFound("Conjunto de seleção de índice " + std::to_string(index));
    return live_[static_cast<std::size_t>(index)];
}

SelectionSet* SelectionSets::Item(const std::string& name) const
{
    SelectionSet* s = Find(name);
    if (!s) ThrowKeyNotFound("Conjunto de seleção \"" + name + "\"");
    return s;
}

SelectionSet* SelectionSets::Find(const std::string& name) const
{
    for (SelectionSet* s : live_)
        if (NamesEqual(s->Name(), name)) return s;
    return nullptr;
}

SelectionSet* SelectionSets::Add(const std::string& name)
{
    if (name.empty()) ThrowInvalidInput("nome vazio de conjunto de seleção");
    if (Find(name)) throw Error(ErrorCode::DuplicateKey, "O conjunto de seleção \"" + name + "\" já existe");
    owned_.push_back(std::make_unique<SelectionSet>(doc_, name));
    SelectionSet* s = owned_.back().get();
    s->owner_ = this;
    live_.push_back(s);
    return s;
}

void SelectionSets::Remove(SelectionSet& set) { std::erase(live_, &set); }

}  // namespace acad
