#pragma once
// Symbol tables of a drawing: layers, linetypes, text styles and registered
// applications. Names compare without regard to case, as the host's do; Add of a
// name that exists (in any case) returns the existing record.
//
// Entities refer to records by index (Entity::LayerIndex, TextData::style), so a
// rename needs no entity update and an entity costs no string per name.

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/acad/AcadObject.h"
#include "platform/acad/ObjectList.h"

namespace acad {

// A record and the table that owns it share this base.
class TableRecord : public AcadObject {
public:
    std::string Name() const;
    void SetName(const std::string& name);  // fails on a name already used
    std::uint32_t Index() const { return index_; }

protected:
    TableRecord(acad::Document& doc, std::string name) : AcadObject(doc), name_(std::move(name)) {}
    void OnErase() override;
    // Records whose name is fixed ("0", "ByLayer", ...) refuse SetName.
    virtual bool NameFixed() const { return false; }

private:
    template <typename T>
    friend class SymbolTable;
    std::string name_;
    std::uint32_t index_ = 0;
    class SymbolTableBase* table_ = nullptr;
};

class SymbolTableBase {
public:
    virtual ~SymbolTableBase() = default;
    virtual TableRecord* FindRecord(const std::string& name) const = 0;
    // A record changed its name / was erased: the name index follows.
    virtual void Rename(TableRecord& r, const std::string& oldName) = 0;
    virtual void NoteErased(const TableRecord& r) = 0;
};

// The common part of the four tables.
template <typename T>
class SymbolTable : public SymbolTableBase {
public:
    int Count() const { return static_cast<int>(list_.Count()); }
    T* Item(int index) const;
    T* Item(const std::string& name) const;  // KeyNotFound when absent
    typename ObjectList<T>::iterator begin() const { return list_.begin(); }
    typename ObjectList<T>::iterator end() const { return list_.end(); }

    T* Find(const std::string& name) const;  // nullptr when absent
    TableRecord* FindRecord(const std::string& name) const override { return Find(name); }
    T* ByIndex(std::uint32_t index) const { return index < records_.size() ? records_[index] : nullptr; }
    std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(records_.size()); }
    void NoteErased(const TableRecord& r) override { list_.NoteErased(static_cast<const T*>(&r)); }
    void Rename(TableRecord& r, const std::string& oldName) override;

protected:
    explicit SymbolTable(acad::Document& doc) : doc_(doc) {}
    T* Insert(std::unique_ptr<T> record);
    // The check of a name AddAsWritten makes: not empty.
    static void CheckWritten(const std::string& name, const char* what);
    acad::Document& doc_;

private:
    ObjectList<T> list_;
    std::vector<T*> records_;
    std::unordered_map<std::string, T*> byName_;  // upper-case name → record
};

class Layer : public TableRecord {
public:
    Layer(acad::Document& doc, std::string name);
    std::string ObjectName() const override { return "AcDbLayerTableRecord"; }
    // Layer "0", whose name is fixed: block parts on it take their reference's layer.
    bool IsZero() const { return zero_; }

    int Color() const { return color_; }
    void SetColor(int color);  // 1..255
    std::string Linetype() const;
    void SetLinetype(const std::string& name);  // must be loaded
    bool Freeze() const { return frozen_; }
    void SetFreeze(bool b);  // the active layer cannot be frozen
    bool LayerOn() const { return on_; }
    void SetLayerOn(bool b)
    {
        CheckAlive();
        on_ = b;
    }
    bool Lock() const { return locked_; }
    void SetLock(bool b)
    {
        CheckAlive();
        locked_ = b;
    }
    bool Plottable() const { return plottable_; }
    void SetPlottable(bool b)
    {
        CheckAlive();
        plottable_ = b;
    }
    int Lineweight() const { return lineweight_; }
    void SetLineweight(int lw)
    {
        CheckAlive();
        lineweight_ = lw;
    }
    std::uint32_t LinetypeIndex() const { return linetype_; }
    void SetLinetypeIndex(std::uint32_t i) { linetype_ = i; }
    // Layers of an external reference ("REF|name") are dependent.
    bool IsDependent() const;
    // Fails for "0", the active layer, dependent layers and layers in use.
    void Delete() override;

protected:
    bool NameFixed() const override { return zero_; }

private:
    bool zero_;
    int color_ = 7;
    std::uint32_t linetype_ = 0;  // "Continuous" in a new drawing
    int lineweight_ = -3;         // default
    bool frozen_ = false;
    bool on_ = true;
    bool locked_ = false;
    bool plottable_ = true;
};

class Layers : public SymbolTable<Layer> {
public:
    explicit Layers(acad::Document& doc) : SymbolTable(doc) {}
    // Layer names may not be empty nor hold < > / \ " : ; ? * | , = `.
    Layer* Add(const std::string& name);
    // The record as a drawing file names it: any name but an empty one (files of
    // other programs hold names Add refuses, "*ADSK_SYSTEM_LIGHTS").
    Layer* AddAsWritten(const std::string& name);
};

class Linetype : public TableRecord {
public:
    Linetype(acad::Document& doc, std::string name);
    std::string ObjectName() const override { return "AcDbLinetypeTableRecord"; }

    std::string Description() const { return description_; }
    void SetDescription(const std::string& s)
    {
        CheckAlive();
        description_ = s;
    }
    // Dash lengths: positive dash, negative gap, 0 dot.
    const std::vector<double>& Pattern() const { return pattern_; }
    void SetPattern(std::vector<double> p) { pattern_ = std::move(p); }
    double PatternLength() const;
    // Complex elements ([...] of a .lin line) kept as text for the file.
    const std::string& ComplexText() const { return complex_; }
    void SetComplexText(std::string s) { complex_ = std::move(s); }
    void Delete() override;

protected:
    bool NameFixed() const override;

private:
    std::string description_;
    std::vector<double> pattern_;
    std::string complex_;
};

class Linetypes : public SymbolTable<Linetype> {
public:
    explicit Linetypes(acad::Document& doc) : SymbolTable(doc) {}
    // Loads linetype `name` ("*" loads every one) from a ".lin" file: an absolute
    // path, or a name found in the drawing's folder or the host's support folders.
    // DuplicateKey when already loaded, FileNotFound / KeyNotFound otherwise.
    void Load(const std::string& name, const std::string& fileName);
    Linetype* Add(const std::string& name);
    Linetype* AddAsWritten(const std::string& name);  // as Layers::AddAsWritten
};

class TextStyle : public TableRecord {
public:
    TextStyle(acad::Document& doc, std::string name);
    std::string ObjectName() const override { return "AcDbTextStyleTableRecord"; }

    std::string FontFile() const { return fontFile_; }
    void SetFontFile(const std::string& f);
    std::string BigFontFile() const { return bigFontFile_; }
    void SetBigFontFile(const std::string& f)
    {
        CheckAlive();
        bigFontFile_ = f;
    }
    void SetFont(const std::string& typeFace, bool bold, bool italic, int charset, int pitchAndFamily);
    void GetFont(std::string& typeFace, bool& bold, bool& italic, int& charset, int& pitchAndFamily) const;
    std::string TypeFace() const { return typeFace_; }
    double Height() const { return height_; }  // fixed height, 0 = variable
    void SetHeight(double h);
    double Width() const { return width_; }  // width factor
    void SetWidth(double w);
    double ObliqueAngle() const { return oblique_; }
    void SetObliqueAngle(double a)
    {
        CheckAlive();
        oblique_ = a;
    }
    int TextGenerationFlag() const { return generation_; }
    void SetTextGenerationFlag(int f)
    {
        CheckAlive();
        generation_ = f;
    }
    double LastHeight() const { return lastHeight_; }
    void SetLastHeight(double h) { lastHeight_ = h; }
    // True for a TrueType face (no .shx font file).
    bool IsTrueType() const;
    // The face whose widths stand in for the style's font (a TextMetrics::Face),
    // decided when the font is set: texts are measured in every walk.
    std::uint8_t MeasuredFace() const { return face_; }
    void Delete() override;

private:
    void FontChanged();
    std::string fontFile_ = "txt";
    std::string bigFontFile_;
    std::string typeFace_;
    bool bold_ = false;
    bool italic_ = false;
    int charset_ = 0;
    int pitchAndFamily_ = 0;
    std::uint8_t face_;
    double height_ = 0.0;
    double width_ = 1.0;
    double oblique_ = 0.0;
    int generation_ = 0;
    double lastHeight_ = 0.2;
};

class TextStyles : public SymbolTable<TextStyle> {
public:
    explicit TextStyles(acad::Document& doc) : SymbolTable(doc) {}
    TextStyle* Add(const std::string& name);
    TextStyle* AddAsWritten(const std::string& name);  // as Layers::AddAsWritten
};

class RegisteredApplication : public TableRecord {
public:
    RegisteredApplication(acad::Document& doc, std::string name);
    std::string ObjectName() const override { return "AcDbRegAppTableRecord"; }
    // Fails with ObjectInUse while a live object carries data of this application
    // (and for "ACAD"), as the host does.
    void Delete() override;
    // Number of live objects carrying data of this application.
    int UseCount() const { return uses_; }
    void AddUse(int delta) { uses_ += delta; }

private:
    int uses_ = 0;
};

class RegisteredApplications : public SymbolTable<RegisteredApplication> {
public:
    explicit RegisteredApplications(acad::Document& doc) : SymbolTable(doc) {}
    RegisteredApplication* Add(const std::string& name);
    RegisteredApplication* AddAsWritten(const std::string& name);  // as Layers::AddAsWritten
};

// Symbol names: not empty, at most 255 characters, none of < > / \ " : ; ? * | , = `.
bool IsValidSymbolName(const std::string& name);
// Case-insensitive comparison of names (ASCII and the Latin-1 letters of UTF-8).
bool NamesEqual(const std::string& a, const std::string& b);
std::string UpperName(const std::string& s);

extern template class SymbolTable<Layer>;
extern template class SymbolTable<Linetype>;
extern template class SymbolTable<TextStyle>;
extern template class SymbolTable<RegisteredApplication>;

}  // namespace acad
