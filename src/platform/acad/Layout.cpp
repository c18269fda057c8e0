#include "platform/acad/Layout.h"

#include <algorithm>

#include "platform/acad/Block.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"

namespace acad {

Layout::Layout(acad::Document& doc, std::string name, acad::Block* block, int tabOrder)
    : AcadObject(doc), name_(std::move(name)), block_(block), tabOrder_(tabOrder)
{
}

std::string Layout::Name() const
{
    return name_;  // readable after Delete too: writers walk every record
}

bool Layout::ModelType() const { return block_ == &Document().ModelSpace(); }

void Layout::SetName(const std::string& name)
{
    CheckAlive();
    if (ModelType()) throw Error(ErrorCode::NotApplicable, "O layout \"Model\" não pode ser renomeado");
    if (!IsValidSymbolName(name)) ThrowInvalidInput("nome de layout \"" + name + "\"");
    if (Layout* other = Document().Layouts().Find(name); other && other != this)
        throw Error(ErrorCode::DuplicateKey, "O layout \"" + name + "\" já existe");
    name_ = name;
    Document().NoteChange();
}

void Layout::Delete()
{
    CheckAlive();
    if (ModelType()) throw Error(ErrorCode::NotApplicable, "O layout \"Model\" não pode ser apagado");
    Document().DeleteLayout(*this);
}

Layout* Layouts::Item(int index) const
{
    Layout* l = index >= 0 ? list_.At(static_cast<std::size_t>(index)) : nullptr;
    if (!l) ThrowKeyNotFound("Layout de índice " + std::to_string(index));
    return l;
}

Layout* Layouts::Item(const std::string& name) const
{
    Layout* l = Find(name);
    if (!l) ThrowKeyNotFound("Layout \"" + name + "\"");
    return l;
}

Layout* Layouts::Find(const std::string& name) const
{
    for (Layout* l : list_)
        if (NamesEqual(l->Name(), name)) return l;
    return nullptr;
}

Layout* Layouts::Add(const std::string& name)
{
    if (!IsValidSymbolName(name)) ThrowInvalidInput("nome de layout \"" + name + "\"");
    if (Find(name)) throw Error(ErrorCode::DuplicateKey, "O layout \"" + name + "\" já existe");
    // Paper spaces are "*Paper_Space" (the active one) and "*Paper_Space0", "*Paper_Space1", ...
    std::string blockName = "*Paper_Space";
    for (int n = 0; doc_.Blocks().Find(blockName); ++n) blockName = "*Paper_Space" + std::to_string(n);
    Block* block = doc_.Blocks().Add({0, 0, 0}, blockName);
    int tab = 0;
    for (Layout* l : list_) tab = std::max(tab, l->TabOrder() + 1);
    return Insert(std::make_unique<Layout>(doc_, name, block, tab));
}

Layout* Layouts::Insert(std::unique_ptr<Layout> layout)
{
    if (!layout) ThrowInvalidInput("layout nulo");
    Layout* l = doc_.Adopt(std::move(layout));
    l->Block().SetLayout(l);
    l->Block().EnableSpatialIndex();
    list_.Append(l);
    doc_.NoteChange();
    return l;
}

Layout* Layouts::Copy(const Layout& source, const std::string& newName)
{
    source.CheckAlive();
    if (source.ModelType()) throw Error(ErrorCode::NotApplicable, "O layout \"Model\" não pode ser copiado");
    Layout* copy = Add(newName);
    copy->Data() = source.Data();
    for (Entity* e : source.Block()) {
        Entity* c = copy->Block().AppendEntity(e->Clone());
        std::vector<int> types;
        std::vector<Variant> values;
        e->GetXData("", types, values);
        if (!types.empty()) c->SetXData(types, values);
    }
    return copy;
}

std::vector<Layout*> Layouts::PaperLayouts() const
{
    std::vector<Layout*> r;
    for (Layout* l : list_)
        if (!l->ModelType()) r.push_back(l);
    std::stable_sort(r.begin(), r.end(),
                     [](const Layout* a, const Layout* b) { return a->TabOrder() < b->TabOrder(); });
    return r;
}

}  // namespace acad
