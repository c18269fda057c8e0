// Writing a drawing as AutoCAD 2000 DXF text, through the tables of
// DxfTables.cpp, with the structure common readers require: every table and
// the objects section, subclass markers, owner handles, and a $HANDSEED past
// every handle in the file.
//
// Objects the engine does not hold (table heads, BLOCK/ENDBLK, dictionaries,
// vertices, the pictures of dimensions) take the handles the drawing's file
// gave them, when it was read from one, or else handles from the drawing's seed
// onwards; those are counted before anything is written, so that the header can
// name the seed that follows them all. What the drawing's file held that the
// engine does not model (DxfKept.h) goes back with the file's own handles, all
// below that seed. So a drawing read and saved, read and saved again, gives
// the same file.

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <unordered_map>
#include <unordered_set>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/DxfKept.h"
#include "platform/acad/DxfTables.h"
#include "platform/acad/DxfWriter.h"
#include "platform/acad/Error.h"
#include "platform/acad/Layout.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"

namespace acad::dxf {

namespace {

// What a dimension draws, as the simple entities of its picture block.
struct PictureItem {
    enum Kind { Line, Arc, Text, Solid } kind = Line;
    Point3d p[4];
    CircularArc arc;
    TextData text;
};

// A part whose coordinates are not numbers (a dimension between points near the
// largest double) is left out: no file can hold it, and the host draws a
// dimension from its points, not from this block.
class PictureSink final : public GeometrySink {
public:
    std::vector<PictureItem> items;
    void Point(const Point3d&) override {}
    void Segment(const Point3d& a, const Point3d& b) override
    {
        if (!a.IsFinite() || !b.IsFinite()) return;
        PictureItem i;
        i.p[0] = a;
        i.p[1] = b;
        items.push_back(i);
    }
    void Arc(const CircularArc& arc) override
    {
        if (!arc.center.IsFinite() || !std::isfinite(arc.radius) || !std::isfinite(arc.startAngle) ||
            !std::isfinite(arc.endAngle))
            return;
        PictureItem i;
        i.kind = PictureItem::Arc;
        i.arc = arc;
        items.push_back(i);
    }
    void Text(const TextPrimitive& t) override
    {
        if (!t.position.IsFinite() || !std::isfinite(t.height) || !std::isfinite(t.rotation) ||
            !std::isfinite(t.widthFactor))
            return;
        PictureItem i;
        i.kind = PictureItem::Text;
        i.text.text = std::string(t.text);
        i.text.insertionPoint = i.text.alignmentPoint = t.position;
        i.text.height = t.height;
        i.text.rotation = t.rotation;
        i.text.widthFactor = t.widthFactor;
        items.push_back(i);
    }
    void Fill(const std::vector<Point3d>& ring) override
    {
        for (const Point3d& p : ring)
            if (!p.IsFinite()) return;
        // Solids hold three or four corners: a fan of triangles covers any ring.
        for (std::size_t k = 1; k + 1 < ring.size(); ++k) {
            PictureItem i;
            i.kind = PictureItem::Solid;
            i.p[0] = ring[0];
            i.p[1] = ring[k];
            i.p[2] = i.p[3] = ring[k + 1];
            items.push_back(i);
        }
    }
};

struct Picture {
    std::string name;
    std::uint64_t record = 0;
    std::vector<PictureItem> items;
};

struct ClipHandles {
    std::uint64_t dictionary = 0, filters = 0, filter = 0;
};

class Writer final : public WriteContext {
public:
    Writer(const Document& doc, const DxfWriteOptions& options, std::FILE* file)
        : doc_(doc),
          options_(options),
          out_(file, options.precision < 0 ? 16 : options.precision),
          kept_(doc.KeptFileParts() ? *doc.KeptFileParts() : kNothingKept)
    {
    }

    void Run()
    {
        Plan();
        WriteHeader();
        WriteClasses();
        WriteTables();
        WriteBlocks();
        WriteEntitiesSection();
        WriteObjects();
        if (kept_.hasAcdsData) {
            Section("ACDSDATA");
            for (const RawGroup& g : kept_.acdsData) out_.String(g.code, g.value);
            EndSection();
        }
        out_.Keyword(0, "EOF");
        out_.Flush();
    }

    std::string TakeText() { return out_.TakeText(); }
    bool Failed() const { return out_.Failed(); }

    // --- WriteContext
    GroupWriter& Out() override { return out_; }
    const Document& Doc() const override { return doc_; }
    const std::string& LayerName(std::uint32_t i) const override { return NameAt(layerNames_, i, "0"); }
    const std::string& LinetypeName(std::uint32_t i) const override { return NameAt(linetypeNames_, i, "ByLayer"); }
    const std::string& TextStyleName(std::uint32_t i) const override { return NameAt(styleNames_, i, "Standard"); }
    const std::string& BlockName(std::uint32_t i) const override { return NameAt(blockNames_, i, ""); }
    std::uint64_t LayerHandle(std::uint32_t i) const override
    {
        return i < layerHandles_.size() ? layerHandles_[i] : 0;
    }
    const std::string& DimensionBlockName() const override { return currentPicture_; }
    bool HasFollowers() const override { return currentHasFollowers_; }
    std::uint64_t PlotStyleHandle() const override { return placeholder_; }

private:
    const std::string& NameAt(const std::vector<std::string>& names, std::uint32_t i, const char* fallback) const
    {
        if (i < names.size()) return names[i];
        fallback_ = fallback;
        return fallback_;
    }

    std::uint64_t Aux() { return next_++; }
    // The handle the file gave a record the writer makes, or a fresh one.
    std::uint64_t Made(std::uint64_t kept) { return kept ? kept : Aux(); }

    std::uint64_t KeptHead(const char* table) const
    {
        auto it = kept_.tableHeads.find(table);
        return it == kept_.tableHeads.end() ? 0 : it->second;
    }
    KeptFileParts::BlockEnds KeptEnds(const Block& b) const
    {
        auto it = kept_.blockEnds.find(&b);
        return it == kept_.blockEnds.end() ? KeptFileParts::BlockEnds{} : it->second;
    }
    // The first of the `count` handles the file gave the records after `e`, or 0.
    std::uint64_t KeptFollowers(const Entity& e, std::uint64_t count) const
    {
        auto it = kept_.followers.find(&e);
        return it != kept_.followers.end() && it->second.count == count ? it->second.first : 0;
    }
    const KeptFileParts::Clip* KeptClip(const Entity& e) const
    {
        auto it = kept_.clips.find(&e);
        return it == kept_.clips.end() ? nullptr : &it->second;
    }
    static std::uint64_t Fresh(std::uint64_t kept) { return kept ? 0 : 1; }
    // The empty block the dimension named in its file, while it is still there and empty.
    const Block* KeptEmptyPicture(const Entity& e) const
    {
        auto it = kept_.emptyPictures.find(&e);
        return it != kept_.emptyPictures.end() && !it->second->IsErased() && it->second->Count() == 0 ? it->second
                                                                                                      : nullptr;
    }

    // --- planning: names, what is written, and how many handles it takes

    void Plan()
    {
        for (std::uint32_t i = 0; i < doc_.Layers().RecordCount(); ++i) {
            const Layer* l = doc_.Layers().ByIndex(i);
            layerNames_.push_back(l->Name());
            layerHandles_.push_back(l->IsErased() ? 0 : l->HandleValue());
        }
        for (std::uint32_t i = 0; i < doc_.Linetypes().RecordCount(); ++i)
            linetypeNames_.push_back(doc_.Linetypes().ByIndex(i)->Name());
        for (std::uint32_t i = 0; i < doc_.TextStyles().RecordCount(); ++i)
            styleNames_.push_back(doc_.TextStyles().ByIndex(i)->Name());
        for (std::uint32_t i = 0; const Block* b = doc_.Blocks().ByIndex(i); ++i) blockNames_.push_back(b->Name());

        // Blocks: model space and the active paper space first, as readers expect.
        const Block* paper = doc_.Blocks().Find("*Paper_Space");
        blocks_.push_back(&doc_.ModelSpace());
        if (paper && paper != &doc_.ModelSpace()) blocks_.push_back(paper);
        for (const Block* b : doc_.Blocks())
            if (b != &doc_.ModelSpace() && b != paper) blocks_.push_back(b);

        if (options_.entities) {
            for (const Entity* e : *options_.entities)
                if (e && !e->IsErased() && &e->Document() == &doc_) entities_.push_back(e);
        } else {
            for (const Entity* e : doc_.ModelSpace()) entities_.push_back(e);
            if (paper)
                for (const Entity* e : *paper) entities_.push_back(e);
        }

        // Pictures are numbered past every "*D<n>" a block has or a record the
        // host does not model names (its group 2): reopened, a picture that took
        // such a name would be that record's block, not the dimension's.
        int nextPicture = 1;
        auto pastPicture = [&](const std::string& name) {
            const std::string up = UpperName(name);
            if (up.size() > 2 && up.size() < 12 && up.rfind("*D", 0) == 0 &&
                up.find_first_not_of("0123456789", 2) == std::string::npos)
                nextPicture = std::max(nextPicture, std::atoi(up.c_str() + 2) + 1);
        };
        for (const Block* b : doc_.Blocks()) {
            pastPicture(b->Name());
            for (const Entity* e : *b)
                if (typeid(*e) == typeid(RawEntity))
                    for (const RawGroup& g : static_cast<const RawEntity*>(e)->Groups())
                        if (g.code == 2) pastPicture(g.value);
        }
        dimStyles_.push_back("Standard");
        std::uint64_t aux = 0;
        auto plan = [&](const Entity* e) {
            if (auto* d = dynamic_cast<const DimAligned*>(e); d && (d->DrawnReference() || KeptEmptyPicture(*e))) {
                // The file's picture, a block written with the others.
                const std::string& style = d->Data().dimStyle;
                if (std::none_of(dimStyles_.begin(), dimStyles_.end(),
                                 [&](const std::string& s) { return NamesEqual(s, style); }))
                    dimStyles_.push_back(style);
            } else if (auto* d = dynamic_cast<const DimAligned*>(e)) {
                // Made anew at each save: read back, it is the dimension's own block.
                Picture pic;
                pic.name = "*D" + std::to_string(nextPicture++);
                PictureSink sink;
                d->Emit(sink, Transform());
                pic.items = std::move(sink.items);
                aux += 3 + pic.items.size();
                pictureOf_[e] = pictures_.size();
                pictures_.push_back(std::move(pic));
                const std::string& style = d->Data().dimStyle;
                if (std::none_of(dimStyles_.begin(), dimStyles_.end(),
                                 [&](const std::string& s) { return NamesEqual(s, style); }))
                    dimStyles_.push_back(style);
            } else if (auto* p = dynamic_cast<const PolylineBase*>(e)) {
                const PolylineData& d = p->Data();
                const std::uint64_t n =
                    d.vertices.size() + (d.type != PolylineType::Simple ? d.fitPoints.size() : 0) + 1;
                if (!KeptFollowers(*e, n)) aux += n;
            } else if (auto* x = dynamic_cast<const ExternalReference*>(e); x && x->ClipEnabled()) {
                // Extension dictionary, filter dictionary, spatial filter.
                if (const KeptFileParts::Clip* c = KeptClip(*e))
                    aux += Fresh(c->dictionary) + Fresh(c->filters) + Fresh(c->filter);
                else
                    aux += 3;
                clips_[e] = {};
            }
            if (auto* r = dynamic_cast<const BlockReference*>(e); r && r->HasAttributes())
                aux += Fresh(KeptFollowers(*e, 1));  // the SEQEND after them
        };
        for (const Block* b : blocks_)
            if (!IsEntitiesSectionBlock(*b))
                for (const Entity* e : *b) plan(e);
        for (const Entity* e : entities_) plan(e);

        // Styles the file had are written as read; the others (Standard, those
        // of dimensions drawn here) are made.
        std::erase_if(dimStyles_, [&](const std::string& name) {
            return std::any_of(kept_.dimStyles.begin(), kept_.dimStyles.end(),
                               [&](const KeptDimStyle& k) { return NamesEqual(k.name, name); });
        });
        std::uint64_t tables = Fresh(kept_.activeView) + dimStyles_.size();
        for (const char* t : kTables) tables += Fresh(KeptHead(t));
        std::uint64_t blocks = 0;
        for (const Block* b : blocks_) {
            const KeptFileParts::BlockEnds ends = KeptEnds(*b);
            blocks += Fresh(ends.begin) + Fresh(ends.end);
        }
        // The root, the five dictionaries it names, the Standard multiline style
        // and the Normal plot style (a placeholder), where the file had none.
        std::uint64_t objects = Fresh(kept_.root);
        for (const char* d : kOwnDictionaries) objects += kept_.dictionaries.count(d) ? 0 : 1;
        objects += Fresh(KeptEntry("ACAD_MLINESTYLE", "Standard"));
        const std::uint64_t normal = KeptEntry("ACAD_PLOTSTYLENAME", "Normal");
        objects += Fresh(normal);
        next_ = doc_.HandSeed();
        seed_ = next_ + tables + blocks + objects + aux;
        // Known before the tables: every layer names it as its plot style.
        placeholder_ = Made(normal);
    }

    static constexpr const char* kTables[] = {"VPORT", "LTYPE", "LAYER",    "STYLE",       "VIEW",
                                              "UCS",   "APPID", "DIMSTYLE", "BLOCK_RECORD"};
    static constexpr const char* kOwnDictionaries[] = {"ACAD_GROUP", "ACAD_LAYOUT", "ACAD_MLINESTYLE",
                                                       "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME"};

    // The handle of the entry `name` of the file's dictionary `dictionary`, or 0.
    std::uint64_t KeptEntry(const char* dictionary, const char* name) const
    {
        auto it = kept_.dictionaries.find(dictionary);
        if (it == kept_.dictionaries.end()) return 0;
        const DictionaryEntry* e = EntryNamed(it->second.entries, name);
        return e ? e->handle : 0;
    }

    bool IsEntitiesSectionBlock(const Block& b) const
    {
        return &b == &doc_.ModelSpace() || (b.IsPaperSpace() && NamesEqual(b.Name(), "*Paper_Space"));
    }

    // --- sections

    void Section(const char* name)
    {
        out_.Keyword(0, "SECTION");
        out_.Keyword(2, name);
    }
    void EndSection() { out_.Keyword(0, "ENDSEC"); }

    void WriteHeader()
    {
        Section("HEADER");
        const Box extents = doc_.ModelExtents();
        for (const HeaderVar& v : HeaderVars()) {
            out_.Keyword(9, v.dxfName);
            const std::string name = v.engineName ? v.engineName : "";
            if (v.kind == HeaderVar::Handle) {
                out_.Handle(v.code, seed_);
                continue;
            }
            Variant value;
            if (name == "EXTMIN" || name == "EXTMAX") {
                const double big = 1e20;
                value = extents.IsEmpty() ? (name == "EXTMIN" ? Point3d{big, big, big} : Point3d{-big, -big, -big})
                                          : (name == "EXTMIN" ? extents.min : extents.max);
            } else if (!name.empty() && doc_.Variables().Exists(name)) {
                value = doc_.GetVariable(name);
            } else {
                value = DefaultValue(v);
            }
            switch (v.kind) {
            case HeaderVar::Int:
                if (name == "CECOLOR") {
                    const std::string c = UpperName(value.ToString());
                    out_.Int(v.code, c == "BYLAYER" ? 256 : c == "BYBLOCK" ? 0 : std::atoi(c.c_str()));
                } else {
                    out_.Int(v.code, value.IsNumber() ? value.AsInt() : 0);
                }
                break;
            case HeaderVar::Real: out_.Real(v.code, value.IsNumber() ? value.AsDouble() : 0.0); break;
            case HeaderVar::Angle: out_.Angle(v.code, value.IsNumber() ? value.AsDouble() : 0.0); break;
            case HeaderVar::Text: out_.String(v.code, value.ToString()); break;
            case HeaderVar::Point3: out_.Point(v.code, value.IsPoint() ? value.AsPoint() : Point3d{}); break;
            case HeaderVar::Point2: out_.Point2(v.code, value.IsPoint() ? value.AsPoint() : Point3d{}); break;
            case HeaderVar::Handle: break;
            }
        }
        EndSection();
    }

    static Variant DefaultValue(const HeaderVar& v)
    {
        const std::string text = v.defaultValue;
        switch (v.kind) {
        case HeaderVar::Int: return Variant(std::atoi(text.c_str()));
        case HeaderVar::Real:
        case HeaderVar::Angle: {
            double d = 0;
            ParseReal(text, d);
            return Variant(d);
        }
        case HeaderVar::Point3:
        case HeaderVar::Point2: {
            double c[3] = {0, 0, 0};
            std::size_t k = 0, start = 0;
            while (k < 3 && start <= text.size()) {
                std::size_t end = text.find(',', start);
                if (end == std::string::npos) end = text.size();
                ParseReal(std::string_view(text).substr(start, end - start), c[k++]);
                start = end + 1;
            }
            return Variant(Point3d{c[0], c[1], c[2]});
        }
        default: return Variant(text);
        }
    }

    // A record kept as the file held it; `owner`, when given, replaces its owner.
    void WriteKept(const KeptRecord& r, std::uint64_t owner = 0)
    {
        out_.Keyword(0, r.type);
        bool marker = false;
        for (const RawGroup& g : r.groups) {
            marker = marker || g.code == 100;
            if (owner && g.code == 330 && !marker)
                out_.Handle(330, owner);
            else
                out_.String(g.code, g.value);
        }
    }

    void WriteClasses()
    {
        Section("CLASSES");
        std::unordered_set<std::string> own;
        struct Class {
            const char* dxf;
            const char* cpp;
            int entity;
        };
        for (const Class& c :
             {Class{"ACDBDICTIONARYWDFLT", "AcDbDictionaryWithDefault", 0},
              Class{"ACDBPLACEHOLDER", "AcDbPlaceHolder", 0}, Class{"LAYOUT", "AcDbLayout", 0},
              Class{"DICTIONARYVAR", "AcDbDictionaryVar", 0}, Class{"HATCH", "AcDbHatch", 1},
              Class{"LWPOLYLINE", "AcDbPolyline", 1}, Class{"SPATIAL_FILTER", "AcDbSpatialFilter", 0}}) {
            out_.Keyword(0, "CLASS");
            out_.Keyword(1, c.dxf);
            out_.Keyword(2, c.cpp);
            out_.Keyword(3, "ObjectDBX Classes");
            out_.Int(90, 0);
            out_.Int(280, 0);
            out_.Int(281, c.entity);
            own.insert(UpperName(c.dxf));
        }
        // Classes of the file's own records and entities, which readers need to know them.
        for (const KeptRecord& c : kept_.classes) {
            auto name = std::find_if(c.groups.begin(), c.groups.end(), [](const RawGroup& g) { return g.code == 1; });
            if (name == c.groups.end() || !own.insert(UpperName(name->value)).second) continue;
            WriteKept(c);
        }
        EndSection();
    }

    // --- TABLES

    std::uint64_t TableHead(const char* name, std::size_t count, const char* subclass = nullptr)
    {
        const std::uint64_t h = Made(KeptHead(name));
        out_.Keyword(0, "TABLE");
        out_.Keyword(2, name);
        out_.Handle(5, h);
        out_.Keyword(330, "0");
        out_.Keyword(100, "AcDbSymbolTable");
        out_.Int(70, static_cast<long long>(count));
        if (subclass) out_.Keyword(100, subclass);
        return h;
    }

    void TableRecord(const char* type, std::uint64_t handle, std::uint64_t table, const RecordLayout& layout,
                     const void* data, const AcadObject* xdataOf = nullptr, int handleCode = 5,
                     std::uint64_t extensionDictionary = 0)
    {
        out_.Keyword(0, type);
        out_.Handle(handleCode, handle);
        if (extensionDictionary) {
            out_.Keyword(102, "{ACAD_XDICTIONARY");
            out_.Handle(360, extensionDictionary);
            out_.Keyword(102, "}");
        }
        out_.Handle(330, table);
        WriteFields(*this, layout, data);
        if (xdataOf) WriteXData(*xdataOf, nullptr);
    }

    static bool Dependent(const std::string& name) { return name.find('|') != std::string::npos; }

    // The extension dictionary the file gave a block's record, while it is among the records kept.
    std::uint64_t ExtensionDictionaryOf(const Block& b) const
    {
        const auto it = kept_.extensionDictionaries.find(&b);
        if (it == kept_.extensionDictionaries.end()) return 0;
        const bool kept = std::any_of(kept_.objects.begin(), kept_.objects.end(),
                                      [&](const KeptRecord& r) { return r.handle == it->second; });
        return kept ? it->second : 0;
    }

    void WriteTables()
    {
        Section("TABLES");

        std::uint64_t t = TableHead("VPORT", 1);
        VportRecord vp;
        vp.center = doc_.ModelView().Center();
        vp.height = doc_.ModelView().Height();
        vp.aspect = doc_.ModelView().AspectRatio();
        if (doc_.Variables().Exists("SNAPANG")) vp.snapAngle = doc_.GetVariable("SNAPANG").AsDouble();
        TableRecord("VPORT", Made(kept_.activeView), t, VportLayout(), &vp);
        out_.Keyword(0, "ENDTAB");

        t = TableHead("LTYPE", static_cast<std::size_t>(doc_.Linetypes().Count()));
        for (const Linetype* lt : doc_.Linetypes()) {
            LinetypeRecord r{lt->Name(), Dependent(lt->Name()) ? 48 : 0, lt->Description(), lt->Pattern()};
            TableRecord("LTYPE", lt->HandleValue(), t, LinetypeLayout(), &r, lt);
        }
        out_.Keyword(0, "ENDTAB");

        t = TableHead("LAYER", static_cast<std::size_t>(doc_.Layers().Count()));
        for (const Layer* l : doc_.Layers()) {
            LayerRecord r;
            r.name = l->Name();
            r.flags = (l->Freeze() ? 1 : 0) | (l->Lock() ? 4 : 0) | (Dependent(l->Name()) ? 48 : 0);
            r.color = l->LayerOn() ? l->Color() : -l->Color();
            r.linetype = l->LinetypeIndex();
            r.plottable = l->Plottable();
            r.lineweight = l->Lineweight();
            TableRecord("LAYER", l->HandleValue(), t, LayerLayout(), &r, l);
        }
        out_.Keyword(0, "ENDTAB");

        t = TableHead("STYLE", static_cast<std::size_t>(doc_.TextStyles().Count()));
        for (const TextStyle* s : doc_.TextStyles()) WriteStyle(*s, t);
        out_.Keyword(0, "ENDTAB");

        TableHead("VIEW", 0);
        out_.Keyword(0, "ENDTAB");
        TableHead("UCS", 0);
        out_.Keyword(0, "ENDTAB");

        t = TableHead("APPID", static_cast<std::size_t>(doc_.RegisteredApplications().Count()));
        for (const RegisteredApplication* a : doc_.RegisteredApplications()) {
            AppIdRecord r{a->Name(), 0};
            TableRecord("APPID", a->HandleValue(), t, AppIdLayout(), &r, a);
        }
        out_.Keyword(0, "ENDTAB");

        t = TableHead("DIMSTYLE", kept_.dimStyles.size() + dimStyles_.size(), "AcDbDimStyleTable");
        for (const KeptDimStyle& k : kept_.dimStyles) {
            out_.Keyword(0, "DIMSTYLE");
            out_.Handle(105, k.handle);
            out_.Handle(330, t);
            for (const RawGroup& g : k.groups) out_.String(g.code, g.value);
            WriteGroups(k.xdataCodes, k.xdataValues);
        }
        const TextStyle* standard = doc_.TextStyles().Find("Standard");
        for (const std::string& name : dimStyles_) {
            DimStyleRecord r;
            r.name = name;
            r.textStyle = standard ? standard->HandleValue() : 0;
            TableRecord("DIMSTYLE", Aux(), t, DimStyleLayout(), &r, nullptr, 105);
        }
        out_.Keyword(0, "ENDTAB");

        t = TableHead("BLOCK_RECORD", blocks_.size() + pictures_.size());
        for (const Block* b : blocks_) {
            BlockRecordData r{b->Name(), b->Layout() ? b->Layout()->HandleValue() : 0};
            TableRecord("BLOCK_RECORD", b->HandleValue(), t, BlockRecordLayout(), &r, b, 5, ExtensionDictionaryOf(*b));
        }
        for (Picture& p : pictures_) {
            p.record = Aux();
            BlockRecordData r{p.name, 0};
            TableRecord("BLOCK_RECORD", p.record, t, BlockRecordLayout(), &r);
        }
        out_.Keyword(0, "ENDTAB");
        EndSection();
    }

    void WriteStyle(const TextStyle& s, std::uint64_t table)
    {
        TextStyleRecord r;
        r.name = s.Name();
        r.flags = Dependent(s.Name()) ? 48 : 0;
        r.height = s.Height();
        r.width = s.Width();
        r.oblique = s.ObliqueAngle();
        r.generation = s.TextGenerationFlag();
        r.lastHeight = s.LastHeight();
        r.fontFile = s.FontFile();
        r.bigFontFile = s.BigFontFile();
        std::string face;
        bool bold = false, italic = false;
        int charset = 0, pitch = 0;
        s.GetFont(face, bold, italic, charset, pitch);
        if (r.fontFile.empty() && !face.empty()) r.fontFile = face + ".ttf";
        out_.Keyword(0, "STYLE");
        out_.Handle(5, s.HandleValue());
        out_.Handle(330, table);
        WriteFields(*this, TextStyleLayout(), &r);
        std::vector<int> codes;
        std::vector<Variant> values;
        if (!face.empty()) {
            // The face of a TrueType style, where AutoCAD keeps it.
            codes = {1001, 1000, 1071};
            values = {
                Variant("ACAD"), Variant(face),
                Variant((pitch & 0xFF) | ((charset & 0xFF) << 8) | (italic ? 0x1000000 : 0) | (bold ? 0x2000000 : 0))};
        }
        WriteXData(s, &codes, &values);
    }

    // --- BLOCKS

    void WriteBlocks()
    {
        Section("BLOCKS");
        for (const Block* b : blocks_) {
            const bool paper = b->IsPaperSpace();
            BlockBeginData d;
            d.name = b->Name();
            d.base = b->Origin();
            d.description = b->Comments();
            const bool anonymous = !d.name.empty() && d.name[0] == '*' && !b->IsLayout();
            bool attributes = false;
            for (const Entity* e : *b) attributes = attributes || dynamic_cast<const AttributeDefinition*>(e);
            if (b->IsXRef()) d.xrefPath = b->Path().string();
            d.flags = (anonymous ? 1 : 0) | (attributes ? 2 : 0) | (b->IsXRef() ? 4 | 32 : 0);
            const KeptFileParts::BlockEnds ends = KeptEnds(*b);
            BlockBegin(d, Made(ends.begin), b->HandleValue(), paper);
            if (!IsEntitiesSectionBlock(*b))
                for (const Entity* e : *b) WriteEntity(*e);
            BlockEnd(Made(ends.end), b->HandleValue(), paper);
        }
        for (const Picture& p : pictures_) {
            BlockBeginData d;
            d.name = p.name;
            d.flags = 1;
            BlockBegin(d, Aux(), p.record, false);
            for (const PictureItem& item : p.items) WritePictureItem(item, p.record);
            BlockEnd(Aux(), p.record, false);
        }
        EndSection();
    }

    CommonData LayerZero(bool paper) const
    {
        CommonData c;
        c.paperSpace = paper;
        if (const Layer* l = doc_.Layers().Find("0")) c.layer = l->Index();
        if (const Linetype* lt = doc_.Linetypes().Find("ByLayer")) c.linetype = lt->Index();
        return c;
    }

    void BlockBegin(const BlockBeginData& d, std::uint64_t handle, std::uint64_t record, bool paper)
    {
        out_.Keyword(0, "BLOCK");
        out_.Handle(5, handle);
        out_.Handle(330, record);
        const CommonData c = LayerZero(paper);
        WriteFields(*this, CommonLayout(), &c);
        WriteFields(*this, BlockBeginLayout(), &d);
    }

    void BlockEnd(std::uint64_t handle, std::uint64_t record, bool paper)
    {
        out_.Keyword(0, "ENDBLK");
        out_.Handle(5, handle);
        out_.Handle(330, record);
        const CommonData c = LayerZero(paper);
        WriteFields(*this, CommonLayout(), &c);
        out_.Keyword(100, "AcDbBlockEnd");
    }

    void WritePictureItem(const PictureItem& item, std::uint64_t owner)
    {
        CommonData c = LayerZero(false);
        c.color = 0;  // ByBlock: the dimension's colour
        auto head = [&](const char* type) {
            out_.Keyword(0, type);
            out_.Handle(5, Aux());
            out_.Handle(330, owner);
            WriteFields(*this, CommonLayout(), &c);
        };
        switch (item.kind) {
        case PictureItem::Line: {
            head("LINE");
            LineData d{item.p[0], item.p[1], 0.0};
            WriteFields(*this, codecs_.Find("LINE")->Layout(), &d);
            break;
        }
        case PictureItem::Arc: {
            const bool full = item.arc.IsFullCircle();
            head(full ? "CIRCLE" : "ARC");
            ArcData d{
                item.arc.center, item.arc.radius, item.arc.startAngle, item.arc.startAngle + item.arc.Sweep(), 0, {}};
            WriteFields(*this, codecs_.Find(full ? "CIRCLE" : "ARC")->Layout(), &d);
            break;
        }
        case PictureItem::Text:
            head("TEXT");
            WriteFields(*this, codecs_.Find("TEXT")->Layout(), &item.text);
            break;
        case PictureItem::Solid:
            head("SOLID");
            out_.Keyword(100, "AcDbTrace");
            for (int k = 0; k < 4; ++k) out_.Point(10 + k, item.p[k]);
            break;
        }
    }

    // --- ENTITIES

    void WriteEntitiesSection()
    {
        Section("ENTITIES");
        for (const Entity* e : entities_) WriteEntity(*e);
        EndSection();
    }

    void WriteEntity(const Entity& e)
    {
        EntityCodec* codec = codecs_.For(e);
        const auto* raw = codec ? nullptr : dynamic_cast<const RawEntity*>(&e);
        if (!codec && !raw)  // a kind the engine gained without its table here: never drop it silently
            throw Error(ErrorCode::FileError, "O objeto " + e.ObjectName() + " não tem formato DXF definido");
        out_.Keyword(0, codec ? codec->DxfName() : raw->DxfName());
        out_.Handle(5, e.HandleValue());
        if (auto it = clips_.find(&e); it != clips_.end()) {
            const KeptFileParts::Clip* kept = KeptClip(e);
            it->second.dictionary = Made(kept ? kept->dictionary : 0);
            it->second.filters = Made(kept ? kept->filters : 0);
            it->second.filter = Made(kept ? kept->filter : 0);
            out_.Keyword(102, "{ACAD_XDICTIONARY");
            out_.Handle(360, it->second.dictionary);
            out_.Keyword(102, "}");
        }
        out_.Handle(330, e.Owner() ? e.Owner()->HandleValue() : 0);
        const CommonData common = CommonOf(e);
        WriteFields(*this, CommonLayout(), &common);

        if (!codec) {
            const auto& groups = raw->Groups();
            std::size_t i = 0;
            for (; i < groups.size() && groups[i].code != 0; ++i) out_.String(groups[i].code, groups[i].value);
            WriteXData(e, nullptr);
            for (; i < groups.size(); ++i) out_.String(groups[i].code, groups[i].value);
            return;
        }

        const auto* ref = dynamic_cast<const BlockReference*>(&e);
        const bool attributes = ref && ref->HasAttributes();
        auto pic = pictureOf_.find(&e);
        currentPicture_ = pic != pictureOf_.end() ? pictures_[pic->second].name : std::string();
        if (const BlockReference* own = e.DrawnReference(); own && own != &e)
            currentPicture_ = BlockName(own->Data().block);
        else if (const Block* empty = KeptEmptyPicture(e))
            currentPicture_ = empty->Name();
        currentHasFollowers_ = attributes;
        WriteFields(*this, codec->Layout(), codec->View(e));
        if (!kept_.embedded.empty())
            if (auto it = kept_.embedded.find(&e); it != kept_.embedded.end()) {
                if (const auto* text = dynamic_cast<const MText*>(&e))
                    WriteMTextEmbedded(out_, text->Data(), it->second);
                else
                    for (const RawGroup& g : it->second) out_.String(g.code, g.value);
            }
        std::vector<int> codes;
        std::vector<Variant> values;
        codec->ExtraXData(*this, e, codes, values);
        WriteXData(e, &codes, &values);

        if (!kept_.columns.empty())
            if (auto it = kept_.columns.find(&e); it != kept_.columns.end())
                for (const KeptRecord& column : it->second) WriteKept(column, e.Owner() ? e.Owner()->HandleValue() : 0);

        if (attributes) {
            for (const AttributeReference* a : ref->GetAttributes()) WriteEntity(*a);
            Seqend(e, Made(KeptFollowers(e, 1)), common);
        } else if (codec->FollowedBy() == EntityCodec::Followers::Vertices) {
            const bool is3d = dynamic_cast<const Polyline3D*>(&e) != nullptr;
            const RecordLayout& layout = codecs_.Vertex(is3d).Layout();
            const std::vector<VertexRecord> vertices = VertexRecordsOf(e);
            std::uint64_t kept = KeptFollowers(e, vertices.size() + 1);
            auto next = [&] { return kept ? kept++ : Aux(); };
            for (const VertexRecord& v : vertices) {
                out_.Keyword(0, "VERTEX");
                out_.Handle(5, next());
                out_.Handle(330, e.HandleValue());
                WriteFields(*this, CommonLayout(), &common);
                WriteFields(*this, layout, &v);
            }
            Seqend(e, next(), common);
        }
    }

    void Seqend(const Entity& e, std::uint64_t handle, const CommonData& common)
    {
        out_.Keyword(0, "SEQEND");
        out_.Handle(5, handle);
        out_.Handle(330, e.HandleValue());
        WriteFields(*this, CommonLayout(), &common);
    }

    // The object's extended data, then `extra` (data the writer adds under
    // applications the object does not use itself).
    void WriteXData(const AcadObject& o, const std::vector<int>* extraCodes,
                    const std::vector<Variant>* extraValues = nullptr)
    {
        std::vector<int> codes;
        std::vector<Variant> values;
        if (o.HasXData()) o.GetXData("", codes, values);
        if (extraCodes && !extraCodes->empty()) {
            const std::string app = (*extraValues)[0].AsString();
            bool taken = false;
            for (std::size_t i = 0; i < codes.size(); ++i)
                taken = taken || (codes[i] == 1001 && NamesEqual(values[i].AsString(), app));
            if (!taken) {
                codes.insert(codes.end(), extraCodes->begin(), extraCodes->end());
                values.insert(values.end(), extraValues->begin(), extraValues->end());
            }
        }
        WriteGroups(codes, values);
    }

    void WriteGroups(const std::vector<int>& codes, const std::vector<Variant>& values)
    {
        for (std::size_t i = 0; i < codes.size() && i < values.size(); ++i) {
            const int c = codes[i];
            const Variant& v = values[i];
            if (c >= 1010 && c <= 1013)
                out_.Point(c, v.IsPoint() ? v.AsPoint() : Point3d{});
            else if (c >= 1040 && c <= 1042)
                out_.Real(c, v.IsNumber() ? v.AsDouble() : 0.0);
            else if (c == 1070 || c == 1071)
                out_.Int(c, v.IsNumber() ? v.AsInt() : 0);
            else
                out_.String(c, v.ToString());
        }
    }

    // --- OBJECTS

    void Reactors(std::uint64_t owner)
    {
        out_.Keyword(102, "{ACAD_REACTORS");
        out_.Handle(330, owner);
        out_.Keyword(102, "}");
    }

    void Dictionary(std::uint64_t handle, std::uint64_t owner, const std::vector<DictionaryEntry>& entries,
                    bool reactors = true)
    {
        out_.Keyword(0, "DICTIONARY");
        out_.Handle(5, handle);
        if (reactors && owner) Reactors(owner);
        out_.Handle(330, owner);
        out_.Keyword(100, "AcDbDictionary");
        out_.Int(281, 1);
        DictionaryEntries(entries);
    }

    void DictionaryEntries(const std::vector<DictionaryEntry>& entries)
    {
        for (const DictionaryEntry& e : entries) {
            out_.String(3, e.name);
            out_.Handle(e.code, e.handle);
        }
    }

    // A dictionary the writer makes, with the file's handle and entries when it had one.
    std::uint64_t OwnDictionary(const char* name, std::vector<DictionaryEntry>& entries)
    {
        auto it = kept_.dictionaries.find(name);
        if (it == kept_.dictionaries.end()) return Aux();
        entries = it->second.entries;
        return it->second.handle;
    }

    static const DictionaryEntry* EntryNamed(const std::vector<DictionaryEntry>& entries, const char* name)
    {
        for (const DictionaryEntry& e : entries)
            if (NamesEqual(e.name, name)) return &e;
        return nullptr;
    }

    void WriteObjects()
    {
        Section("OBJECTS");
        std::vector<DictionaryEntry> groupEntries, layoutEntries, mlineEntries, plotEntries, plotStyleEntries;
        const std::uint64_t root = Made(kept_.root);
        const std::uint64_t groups = OwnDictionary("ACAD_GROUP", groupEntries);
        const std::uint64_t layouts = OwnDictionary("ACAD_LAYOUT", layoutEntries);
        const std::uint64_t mlines = OwnDictionary("ACAD_MLINESTYLE", mlineEntries);
        const std::uint64_t plots = OwnDictionary("ACAD_PLOTSETTINGS", plotEntries);
        const std::uint64_t plotStyles = OwnDictionary("ACAD_PLOTSTYLENAME", plotStyleEntries);
        // The file's own Standard multiline style and Normal plot style stay; the
        // writer makes them only when the file had none.
        const DictionaryEntry* standardEntry = EntryNamed(mlineEntries, "Standard");
        const DictionaryEntry* normalEntry = EntryNamed(plotStyleEntries, "Normal");
        const bool keptStandard = standardEntry != nullptr, keptNormal = normalEntry != nullptr;
        const std::uint64_t standard = keptStandard ? standardEntry->handle : Aux();
        if (!keptStandard) mlineEntries.push_back({"Standard", 350, standard});
        if (!keptNormal) plotStyleEntries.insert(plotStyleEntries.begin(), {"Normal", 350, placeholder_});

        out_.Keyword(0, "DICTIONARY");
        out_.Handle(5, root);
        out_.Keyword(330, "0");
        out_.Keyword(100, "AcDbDictionary");
        out_.Int(281, 1);
        for (const auto& [name, h] :
             std::vector<std::pair<const char*, std::uint64_t>>{{"ACAD_GROUP", groups},
                                                                {"ACAD_LAYOUT", layouts},
                                                                {"ACAD_MLINESTYLE", mlines},
                                                                {"ACAD_PLOTSETTINGS", plots},
                                                                {"ACAD_PLOTSTYLENAME", plotStyles}}) {
            out_.Keyword(3, name);
            out_.Handle(350, h);
        }
        DictionaryEntries(kept_.rootEntries);
        Dictionary(groups, root, groupEntries);
        layoutEntries.clear();
        for (const Layout* l : doc_.Layouts()) layoutEntries.push_back({l->Name(), 350, l->HandleValue()});
        Dictionary(layouts, root, layoutEntries);
        Dictionary(mlines, root, mlineEntries);
        Dictionary(plots, root, plotEntries);

        out_.Keyword(0, "ACDBDICTIONARYWDFLT");
        out_.Handle(5, plotStyles);
        Reactors(root);
        out_.Handle(330, root);
        out_.Keyword(100, "AcDbDictionary");
        out_.Int(281, 1);
        DictionaryEntries(plotStyleEntries);
        out_.Keyword(100, "AcDbDictionaryWithDefault");
        out_.Handle(340, placeholder_);

        WriteDefaultObjects(plotStyles, mlines, standard, !keptNormal, !keptStandard);
        for (const KeptRecord& r : kept_.objects) WriteKept(r);
        for (const Layout* l : doc_.Layouts()) WriteLayout(*l, layouts);
        WriteClips();
        EndSection();
    }

    // The writer's own records of the objects section, for a file that lacked them.
    void WriteDefaultObjects(std::uint64_t plotStyles, std::uint64_t mlines, std::uint64_t standard, bool placeholder,
                             bool mlineStyle)
    {
        if (placeholder) {
            out_.Keyword(0, "ACDBPLACEHOLDER");
            out_.Handle(5, placeholder_);
            Reactors(plotStyles);
            out_.Handle(330, plotStyles);
        }
        if (!mlineStyle) return;
        out_.Keyword(0, "MLINESTYLE");
        out_.Handle(5, standard);
        Reactors(mlines);
        out_.Handle(330, mlines);
        out_.Keyword(100, "AcDbMlineStyle");
        out_.Keyword(2, "Standard");
        out_.Int(70, 0);
        out_.Keyword(3, "");
        out_.Int(62, 256);
        out_.Real(51, 90.0);
        out_.Real(52, 90.0);
        out_.Int(71, 2);
        for (double offset : {0.5, -0.5}) {
            out_.Real(49, offset);
            out_.Int(62, 256);
            out_.Keyword(6, "BYLAYER");
        }
    }

    void WriteLayout(const Layout& l, std::uint64_t dictionary)
    {
        out_.Keyword(0, "LAYOUT");
        out_.Handle(5, l.HandleValue());
        Reactors(dictionary);
        out_.Handle(330, dictionary);
        out_.Keyword(100, "AcDbPlotSettings");
        const LayoutData& d = l.Data();
        if (!d.plotSettings.empty()) {
            for (const RawGroup& g : d.plotSettings) out_.String(g.code, g.value);
        } else {
            out_.Keyword(1, "");
            out_.Keyword(2, "none_device");
            out_.Keyword(4, "");
            out_.Keyword(6, "");
            for (int c = 40; c <= 49; ++c) out_.Real(c, 0.0);
            out_.Real(140, 0.0);
            out_.Real(141, 0.0);
            out_.Real(142, 1.0);
            out_.Real(143, 1.0);
            out_.Int(70, l.ModelType() ? 1712 : 688);
            out_.Int(72, 0);
            out_.Int(73, 0);
            out_.Int(74, 5);
            out_.Keyword(7, "");
            out_.Int(75, 16);
            out_.Real(147, 1.0);
            out_.Real(148, 0.0);
            out_.Real(149, 0.0);
        }
        LayoutRecord r;
        r.name = l.Name();
        r.flags = 1;
        r.tabOrder = l.TabOrder();
        r.limitsMin = d.limitsMin;
        r.limitsMax = d.limitsMax;
        r.insertionBase = d.insertionBase;
        r.extentsMin = d.extentsMin;
        r.extentsMax = d.extentsMax;
        r.block = l.Block().HandleValue();
        WriteFields(*this, LayoutLayout(), &r);
        WriteXData(l, nullptr);
    }

    static void Matrix(GroupWriter& o, const Transform& t)
    {
        for (int col = 0; col < 4; ++col)
            for (int row = 0; row < 3; ++row) o.Real(40, t.m[row][col]);
    }

    void WriteClips()
    {
        // In the order the references were written (the same file every time).
        std::vector<std::pair<const Entity*, ClipHandles>> clips(clips_.begin(), clips_.end());
        std::sort(clips.begin(), clips.end(),
                  [](const auto& a, const auto& b) { return a.second.dictionary < b.second.dictionary; });
        for (const auto& [entity, h] : clips) {
            if (!h.dictionary) continue;  // not written (not in a written block)
            const auto& x = static_cast<const ExternalReference&>(*entity);
            Dictionary(h.dictionary, entity->HandleValue(), {}, false);
            out_.Keyword(3, "ACAD_FILTER");
            out_.Handle(360, h.filters);
            Dictionary(h.filters, h.dictionary, {}, false);
            out_.Keyword(3, "SPATIAL");
            out_.Handle(360, h.filter);
            out_.Keyword(0, "SPATIAL_FILTER");
            out_.Handle(5, h.filter);
            Reactors(h.filters);
            out_.Handle(330, h.filters);
            out_.Keyword(100, "AcDbFilter");
            out_.Keyword(100, "AcDbSpatialFilter");
            const auto& boundary = x.ClipBoundary();
            out_.Int(70, static_cast<long long>(boundary.size()));
            for (const Point3d& p : boundary) out_.Point2(10, p);
            out_.Point(210, kZAxis);
            out_.Point(11, {});
            out_.Int(71, 1);
            out_.Int(72, 0);
            out_.Int(73, 0);
            Matrix(out_, x.BlockTransform().Inverse().value_or(Transform()));
            Matrix(out_, Transform());
        }
    }

    const Document& doc_;
    const DxfWriteOptions& options_;
    GroupWriter out_;
    CodecSet codecs_;
    std::vector<std::string> layerNames_, linetypeNames_, styleNames_, blockNames_;
    std::vector<std::uint64_t> layerHandles_;
    std::vector<const Block*> blocks_;
    std::vector<const Entity*> entities_;
    std::vector<std::string> dimStyles_;
    std::vector<Picture> pictures_;
    std::unordered_map<const Entity*, std::size_t> pictureOf_;
    std::unordered_map<const Entity*, ClipHandles> clips_;
    std::string currentPicture_;
    bool currentHasFollowers_ = false;
    std::uint64_t next_ = 0;
    std::uint64_t seed_ = 0;
    std::uint64_t placeholder_ = 0;
    mutable std::string fallback_;
    const KeptFileParts& kept_;
    static inline const KeptFileParts kNothingKept{};
};

}  // namespace

bool WriteDxfTo(const Document& doc, std::FILE* file, const DxfWriteOptions& options)
{
    Writer w(doc, options, file);
    w.Run();
    return !w.Failed();
}

}  // namespace acad::dxf

namespace acad {

std::string WriteDxfText(const Document& doc, const DxfWriteOptions& options)
{
    dxf::Writer w(doc, options, nullptr);
    w.Run();
    return w.TakeText();
}

}  // namespace acad
