#include "platform/acad/SelectionSet.h"

#include "platform/acad/Block.h"
#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSets.h"

namespace acad {

void SelectionSet::iterator::Skip()
{
    while (i_ < items_->size() && (*items_)[i_]->IsErased()) ++i_;
}

SelectionSet::SelectionSet(acad::Document& doc, std::string name) : doc_(doc), name_(std::move(name)) {}
SelectionSet::~SelectionSet() = default;

void SelectionSet::CheckAlive() const
{
    if (deleted_) throw Error(ErrorCode::ObjectErased, "O conjunto de seleção \"" + name_ + "\" foi apagado");
}

int SelectionSet::Count() const
{
    CheckAlive();
    return static_cast<int>(items_.size());
}

Entity* SelectionSet::Item(int index) const
{
    CheckAlive();
    if (index < 0 || index >= static_cast<int>(items_.size()))
        ThrowKeyNotFound("Item " + std::to_string(index) + " do conjunto de seleção \"" + name_ + "\"");
    return items_[static_cast<std::size_t>(index)];
}

void SelectionSet::Take(const std::vector<Entity*>& found)
{
    for (Entity* e : found)
        if (members_.insert(e).second) items_.push_back(e);
    doc_.SelectionSets().SetPrevious(items_);
}

void SelectionSet::Select(int mode, const Point3d& point1, const Point3d& point2, const std::vector<int>& filterType,
                          const std::vector<Variant>& filterData)
{
    CheckAlive();
    const SelectionFilter filter(filterType, filterData);
    switch (mode) {
    case acSelectionSetWindow:
    case acSelectionSetCrossing:
        Take(selection::ByWindow(doc_, Box::FromCorners(point1, point2), mode == acSelectionSetCrossing, filter));
        return;
    case acSelectionSetPrevious: {
        std::vector<Entity*> found;
        for (Entity* e : doc_.SelectionSets().Previous())
            if (!e->IsErased() && filter.Matches(*e)) found.push_back(e);
        Take(found);
        return;
    }
    case acSelectionSetLast: {
        Entity* last = selection::CurrentSpace(doc_).LastEntity();
        Take(last && selection::IsShown(*last) && filter.Matches(*last) ? std::vector<Entity*>{last}
                                                                        : std::vector<Entity*>{});
        return;
    }
    case acSelectionSetAll: Take(selection::All(doc_, filter)); return;
    default:
        throw Error(ErrorCode::InvalidInput,
                    "Modo de seleção inválido: " + std::to_string(mode) +
                        " (0 janela, 1 cruzada, 3 anterior, 4 último, 5 todos; cerca e polígonos por SelectByPolygon)");
    }
}

void SelectionSet::SelectOnScreen(const std::vector<int>& filterType, const std::vector<Variant>& filterData)
{
    CheckAlive();
    const SelectionFilter filter(filterType, filterData);
    std::vector<Entity*> found;
    std::unordered_set<const Entity*> seen;
    try {
        while (auto step = input::SelectionStep(doc_, "Selecione objetos: ", filter, &found)) {
            for (Entity* e : *step)
                if (seen.insert(e).second) found.push_back(e);
        }
    } catch (const Error& e) {
        // Escape drops the whole selection, as the host does; nothing is reported.
        if (e.Code() == ErrorCode::Cancelled) return;
        throw;
    }
    Take(found);
}

void SelectionSet::SelectByPolygon(int mode, const std::vector<double>& pointsList, const std::vector<int>& filterType,
                                   const std::vector<Variant>& filterData)
{
    CheckAlive();
    if (pointsList.size() % 3 != 0)
        throw Error(ErrorCode::InvalidInput, "Lista de pontos da seleção por polígono com " +
                                                 std::to_string(pointsList.size()) +
                                                 " valores: são precisos x, y, z por ponto");
    std::vector<Point3d> points;
    for (std::size_t i = 0; i + 2 < pointsList.size(); i += 3)
        points.emplace_back(pointsList[i], pointsList[i + 1], pointsList[i + 2]);
    const SelectionFilter filter(filterType, filterData);
    Take(selection::ByPolygon(doc_, mode, points, filter));
}

void SelectionSet::SelectAtPoint(const Point3d& point, const std::vector<int>& filterType,
                                 const std::vector<Variant>& filterData)
{
    CheckAlive();
    const SelectionFilter filter(filterType, filterData);
    Entity* e = selection::PickAt(doc_, point, filter);
    Take(e ? std::vector<Entity*>{e} : std::vector<Entity*>{});
}

void SelectionSet::AddItems(const std::vector<Entity*>& items)
{
    CheckAlive();
    for (Entity* e : items) {
        if (!e) ThrowInvalidInput("objeto nulo em AddItems");
        if (&e->Document() != &doc_)
            throw Error(ErrorCode::WrongDocument, "O objeto " + e->Handle() + " pertence a outro desenho");
    }
    for (Entity* e : items)
        if (!e->IsErased() && members_.insert(e).second) items_.push_back(e);
}

void SelectionSet::RemoveItems(const std::vector<Entity*>& items)
{
    CheckAlive();
    std::unordered_set<const Entity*> gone;
    for (Entity* e : items)
        if (members_.erase(e)) gone.insert(e);
    if (!gone.empty()) std::erase_if(items_, [&](Entity* e) { return gone.count(e) != 0; });
}

void SelectionSet::Erase()
{
    CheckAlive();
    std::vector<Entity*> kept;
    for (Entity* e : items_) {
        if (e->IsErased()) continue;
        // The host leaves what lies on a locked layer.
        const Layer* layer = doc_.Layers().ByIndex(e->LayerIndex());
        if (layer && layer->Lock()) {
            kept.push_back(e);
            continue;
        }
        e->Delete();
    }
    items_ = std::move(kept);
    members_ = {items_.begin(), items_.end()};
}

void SelectionSet::Highlight(bool highlightFlag)
{
    CheckAlive();
    for (Entity* e : items_)
        if (!e->IsErased()) e->Highlight(highlightFlag);
}

void SelectionSet::Clear()
{
    CheckAlive();
    items_.clear();
    members_.clear();
}

void SelectionSet::Delete()
{
    CheckAlive();
    if (!owner_)
        throw Error(ErrorCode::NotApplicable, "O conjunto de seleção ativo (" + name_ + ") não pode ser apagado");
    owner_->Remove(*this);
    deleted_ = true;
    items_ = {};
    members_ = {};
}

}  // namespace acad
