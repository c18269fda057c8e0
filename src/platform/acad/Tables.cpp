#include "platform/acad/Tables.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/Error.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/TextMetrics.h"

namespace acad {

// ---------------------------------------------------------------- names

std::string UpperName(const std::string& s)
{
    std::string r = s;
    for (std::size_t i = 0; i < r.size(); ++i) {
        auto c = static_cast<unsigned char>(r[i]);
        if (c >= 'a' && c <= 'z') {
            r[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < r.size()) {
            // Latin-1 lower-case letters à..þ (except ÷) in UTF-8: C3 A0..BE.
            auto d = static_cast<unsigned char>(r[i + 1]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7) r[i + 1] = static_cast<char>(d - 0x20);
            ++i;
        }
    }
    return r;
}

bool NamesEqual(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && UpperName(a) == UpperName(b);
}

bool IsValidSymbolName(const std::string& name)
{
    if (name.empty() || name.size() > 255) return false;
    for (unsigned char c : name) {
        if (c < 0x20) return false;
        switch (c) {
        case '<':
        case '>':
        case '/':
        case '\\':
        case '"':
        case ':':
        case ';':
        case '?':
        case '*':
        case '|':
        case ',':
        case '=':
        case '`': return false;
        default: break;
        }
    }
    return true;
}

namespace {
// Names of records that came with an external reference, "REDE|TRECHO", are made by
// the host itself; both halves must still be valid names.
bool IsValidRecordName(const std::string& name)
{
    if (IsValidSymbolName(name)) return true;
    auto bar = name.find('|');
    return bar != std::string::npos && IsValidSymbolName(name.substr(0, bar)) &&
           IsValidSymbolName(name.substr(bar + 1));
}
}  // namespace

// ---------------------------------------------------------------- records and tables

std::string TableRecord::Name() const
{
    return name_;  // readable after Delete too: writers walk every record by index
}

void TableRecord::SetName(const std::string& name)
{
    CheckAlive();
    if (NameFixed()) throw Error(ErrorCode::NotApplicable, "O nome \"" + name_ + "\" não pode ser alterado");
    if (!IsValidSymbolName(name)) ThrowInvalidInput("nome \"" + name + "\"");
    if (TableRecord* other = table_ ? table_->FindRecord(name) : nullptr; other && other != this)
        throw Error(ErrorCode::DuplicateKey, "O nome \"" + name + "\" já existe");
    std::string old = name_;
    name_ = name;
    if (table_) table_->Rename(*this, old);
    Document().NoteChange();
}

void TableRecord::OnErase()
{
    if (table_) table_->NoteErased(*this);
}

template <typename T>
T* SymbolTable<T>::Item(int index) const
{
    T* r = index >= 0 ? list_.At(static_cast<std::size_t>(index)) : nullptr;
    if (!r) ThrowNoItemAt(index);
    return r;
}

template <typename T>
T* SymbolTable<T>::Item(const std::string& name) const
{
    T* r = Find(name);
    if (!r) ThrowKeyNotFound("\"" + name + "\"");
    return r;
}

template <typename T>
T* SymbolTable<T>::Find(const std::string& name) const
{
    auto it = byName_.find(UpperName(name));
    if (it == byName_.end() || it->second->IsErased()) return nullptr;
    return it->second;
}

template <typename T>
T* SymbolTable<T>::Insert(std::unique_ptr<T> record)
{
    T* r = doc_.Adopt(std::move(record));
    r->index_ = static_cast<std::uint32_t>(records_.size());
    r->table_ = this;
    records_.push_back(r);
    list_.Append(r);
    byName_[UpperName(r->Name())] = r;
    doc_.NoteChange();
    return r;
}

template <typename T>
void SymbolTable<T>::Rename(TableRecord& r, const std::string& oldName)
{
    auto it = byName_.find(UpperName(oldName));
    if (it != byName_.end() && it->second == &r) byName_.erase(it);
    byName_[UpperName(r.Name())] = static_cast<T*>(&r);
}

template <typename T>
void SymbolTable<T>::CheckWritten(const std::string& name, const char* what)
{
    if (name.empty()) ThrowInvalidInput(std::string(what) + " vazio");
}

template class SymbolTable<Layer>;
template class SymbolTable<Linetype>;
template class SymbolTable<TextStyle>;
template class SymbolTable<RegisteredApplication>;

namespace {
// True when some live entity of the drawing satisfies `pred` (attributes included).
template <typename Pred>
bool AnyEntity(const acad::Document& doc, Pred pred)
{
    for (const auto& o : doc.Objects()) {
        if (o->IsErased()) continue;
        if (auto* e = dynamic_cast<const Entity*>(o.get()); e && pred(*e)) return true;
    }
    return false;
}
}  // namespace

// ---------------------------------------------------------------- layers

Layer::Layer(acad::Document& doc, std::string name) : TableRecord(doc, std::move(name)), zero_(Name() == "0") {}

void Layer::SetColor(int color)
{
    CheckAlive();
    if (color < 1 || color > 255) ThrowInvalidInput("cor " + std::to_string(color) + " do layer (use 1 a 255)");
    color_ = color;
    Document().NoteChange();
}

std::string Layer::Linetype() const
{
    CheckAlive();
    const acad::Linetype* lt = Document().Linetypes().ByIndex(linetype_);
    return lt ? lt->Name() : "Continuous";
}

void Layer::SetLinetype(const std::string& name)
{
    CheckAlive();
    acad::Linetype* lt = Document().Linetypes().Find(name);
    if (!lt) ThrowKeyNotFound("Tipo de linha \"" + name + "\"");
    if (NamesEqual(name, "ByLayer") || NamesEqual(name, "ByBlock"))
        ThrowInvalidInput("tipo de linha \"" + name + "\" para um layer");
    linetype_ = lt->Index();
    Document().NoteChange();
}

void Layer::SetFreeze(bool b)
{
    CheckAlive();
    if (b && &Document().ActiveLayer() == this)
        throw Error(ErrorCode::NotApplicable, "O layer corrente \"" + Name() + "\" não pode ser congelado");
    frozen_ = b;
    Document().NoteChange();
    Document().RedrawRequested.Raise();
}

bool Layer::IsDependent() const { return Name().find('|') != std::string::npos; }

void Layer::Delete()
{
    CheckAlive();
    if (Name() == "0") throw Error(ErrorCode::ObjectInUse, "O layer \"0\" não pode ser apagado");
    if (&Document().ActiveLayer() == this)
        throw Error(ErrorCode::ObjectInUse, "O layer corrente \"" + Name() + "\" não pode ser apagado");
    if (IsDependent())
        throw Error(ErrorCode::ObjectInUse, "O layer \"" + Name() + "\" pertence a uma referência externa");
    const std::uint32_t me = Index();
    if (AnyEntity(Document(), [me](const Entity& e) { return e.LayerIndex() == me; }))
        throw Error(ErrorCode::ObjectInUse, "O layer \"" + Name() + "\" está em uso");
    AcadObject::Delete();
}

Layer* Layers::Add(const std::string& name)
{
    if (Layer* existing = Find(name)) return existing;
    if (!IsValidRecordName(name)) ThrowInvalidInput("nome de layer \"" + name + "\"");
    return AddAsWritten(name);
}

Layer* Layers::AddAsWritten(const std::string& name)
{
    if (Layer* existing = Find(name)) return existing;
    CheckWritten(name, "nome de layer");
    auto layer = std::make_unique<Layer>(doc_, name);
    if (Linetype* c = doc_.Linetypes().Find("Continuous")) layer->SetLinetypeIndex(c->Index());
    return Insert(std::move(layer));
}

// ---------------------------------------------------------------- linetypes

Linetype::Linetype(acad::Document& doc, std::string name) : TableRecord(doc, std::move(name)) {}

double Linetype::PatternLength() const
{
    double s = 0;
    for (double d : pattern_) s += std::fabs(d);
    return s;
}

void Linetype::Delete()
{
    CheckAlive();
    for (const char* fixed : {"ByBlock", "ByLayer", "Continuous"})
        if (NamesEqual(Name(), fixed))
            throw Error(ErrorCode::ObjectInUse, "O tipo de linha \"" + Name() + "\" não pode ser apagado");
    const std::uint32_t me = Index();
    bool used = AnyEntity(Document(), [me](const Entity& e) { return e.LinetypeIndex() == me; });
    for (auto* l : Document().Layers()) used = used || l->LinetypeIndex() == me;
    if (used || &Document().ActiveLinetype() == this)
        throw Error(ErrorCode::ObjectInUse, "O tipo de linha \"" + Name() + "\" está em uso");
    AcadObject::Delete();
}

Linetype* Linetypes::Add(const std::string& name)
{
    if (Linetype* existing = Find(name)) return existing;
    if (!IsValidRecordName(name)) ThrowInvalidInput("nome de tipo de linha \"" + name + "\"");
    return AddAsWritten(name);
}

Linetype* Linetypes::AddAsWritten(const std::string& name)
{
    if (Linetype* existing = Find(name)) return existing;
    CheckWritten(name, "nome de tipo de linha");
    return Insert(std::make_unique<Linetype>(doc_, name));
}

// ---------------------------------------------------------------- text styles

TextStyle::TextStyle(acad::Document& doc, std::string name)
    : TableRecord(doc, std::move(name)),
      face_(static_cast<std::uint8_t>(TextMetrics::FaceFor(typeFace_, fontFile_, bold_, italic_)))
{
}

void TextStyle::FontChanged()
{
    const auto face = static_cast<std::uint8_t>(TextMetrics::FaceFor(typeFace_, fontFile_, bold_, italic_));
    // The face sets how wide the letters are: texts of the style are measured again.
    if (face != face_) {
        face_ = face;
        Document().NoteAllExtentsChanged();
    }
    Document().NoteChange();
}

void TextStyle::SetFontFile(const std::string& f)
{
    CheckAlive();
    fontFile_ = f;
    typeFace_.clear();  // a font file replaces a TrueType face
    FontChanged();
}

void TextStyle::SetFont(const std::string& typeFace, bool bold, bool italic, int charset, int pitchAndFamily)
{
    CheckAlive();
    typeFace_ = typeFace;
    bold_ = bold;
    italic_ = italic;
    charset_ = charset;
    pitchAndFamily_ = pitchAndFamily;
    if (!typeFace.empty()) fontFile_.clear();
    FontChanged();
}

void TextStyle::GetFont(std::string& typeFace, bool& bold, bool& italic, int& charset, int& pitchAndFamily) const
{
    CheckAlive();
    typeFace = typeFace_;
    bold = bold_;
    italic = italic_;
    charset = charset_;
    pitchAndFamily = pitchAndFamily_;
}

void TextStyle::SetHeight(double h)
{
    CheckAlive();
    if (!(h >= 0) || !std::isfinite(h)) ThrowInvalidInput("altura do estilo de texto");
    height_ = h;
    Document().NoteChange();
}

void TextStyle::SetWidth(double w)
{
    CheckAlive();
    if (!(w > 0) || !std::isfinite(w)) ThrowInvalidInput("fator de largura do estilo de texto");
    width_ = w;
    Document().NoteChange();
}

bool TextStyle::IsTrueType() const
{
    if (!typeFace_.empty()) return true;
    // Asked for every text measured: the extension compared in place, not in an upper-case copy.
    if (fontFile_.size() <= 4) return false;
    const char* ext = fontFile_.data() + fontFile_.size() - 4;
    auto is = [ext](const char* e) {
        for (int i = 0; i < 4; ++i) {
            const auto c = static_cast<unsigned char>(ext[i]);
            if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != static_cast<unsigned char>(e[i])) return false;
        }
        return true;
    };
    return is(".TTF") || is(".TTC") || is(".OTF");
}

void TextStyle::Delete()
{
    CheckAlive();
    if (NamesEqual(Name(), "Standard"))
        throw Error(ErrorCode::ObjectInUse, "O estilo \"Standard\" não pode ser apagado");
    const std::uint32_t me = Index();
    bool used = &Document().ActiveTextStyle() == this || AnyEntity(Document(), [me](const Entity& e) {
        if (auto* t = dynamic_cast<const TextBase*>(&e)) return t->Text().style == me;
        if (auto* m = dynamic_cast<const MText*>(&e)) return m->Data().style == me;
        return false;
    });
    if (used) throw Error(ErrorCode::ObjectInUse, "O estilo de texto \"" + Name() + "\" está em uso");
    AcadObject::Delete();
}

TextStyle* TextStyles::Add(const std::string& name)
{
    if (TextStyle* existing = Find(name)) return existing;
    if (!IsValidRecordName(name)) ThrowInvalidInput("nome de estilo de texto \"" + name + "\"");
    return AddAsWritten(name);
}

TextStyle* TextStyles::AddAsWritten(const std::string& name)
{
    if (TextStyle* existing = Find(name)) return existing;
    CheckWritten(name, "nome de estilo de texto");
    return Insert(std::make_unique<TextStyle>(doc_, name));
}

// ---------------------------------------------------------------- registered applications

RegisteredApplication::RegisteredApplication(acad::Document& doc, std::string name) : TableRecord(doc, std::move(name))
{
}

void RegisteredApplication::Delete()
{
    CheckAlive();
    if (NamesEqual(Name(), "ACAD")) throw Error(ErrorCode::ObjectInUse, "A aplicação \"ACAD\" não pode ser apagada");
    if (uses_ > 0)
        throw Error(ErrorCode::ObjectInUse,
                    "A aplicação \"" + Name() + "\" está em uso por " + std::to_string(uses_) + " objeto(s)");
    AcadObject::Delete();
}

RegisteredApplication* RegisteredApplications::Add(const std::string& name)
{
    if (RegisteredApplication* existing = Find(name)) return existing;
    if (!IsValidSymbolName(name)) ThrowInvalidInput("nome de aplicação \"" + name + "\"");
    return AddAsWritten(name);
}

RegisteredApplication* RegisteredApplications::AddAsWritten(const std::string& name)
{
    if (RegisteredApplication* existing = Find(name)) return existing;
    CheckWritten(name, "nome de aplicação");
    return Insert(std::make_unique<RegisteredApplication>(doc_, name));
}

}  // namespace acad
