// Reading a drawing from DXF text: one pass over the groups, sections in any
// order, each record filled through the tables of DxfTables.cpp.
//
// Handles: while the file is read, every object of the drawing (the default
// records included) carries a provisional handle far above anything a file
// holds, and takes the file's handle as soon as its record is read. Objects the
// file gave no usable handle keep their provisional one until the end, when they
// get fresh handles past the largest one of the file (or its $HANDSEED).

#include <absl/container/flat_hash_set.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cmath>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "platform/acad/Application.h"
#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/DxfKept.h"
#include "platform/acad/DxfReader.h"
#include "platform/acad/DxfTables.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/Layout.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/Tables.h"
#include "platform/acad/TextEntities.h"

namespace acad {

namespace {

using namespace dxf;

// Handles at or above this are provisional (and handles of files above it are ignored).
constexpr std::uint64_t kProvisional = std::uint64_t{1} << 60;

// Codes below 1000 that a record's reader handles itself rather than through
// the record's rows: the record's end, handles, owner, application groups,
// comments, subclass markers and embedded objects.
constexpr std::array<bool, 1000> kRecordCode = [] {
    std::array<bool, 1000> t{};
    for (int c : {0, 5, 105, 330, 102, 999, 100, 101}) t[static_cast<std::size_t>(c)] = true;
    return t;
}();

struct SvHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
// Record indices by the name as the file spells it; the name asked last is
// tried first (a drawing's entities mostly come in runs on one layer).
struct NameCache {
    std::unordered_map<std::string, std::uint32_t, SvHash, std::equal_to<>> byName;
    // The few names met last: entities of a drawing take turns among a few
    // layers and styles, found here without hashing the name.
    static constexpr std::size_t kRecent = 4;
    std::array<std::string, kRecent> recentName;
    std::array<std::uint32_t, kRecent> recentIndex{};
    std::size_t recent = 0;  // how many are kept
    std::size_t next = 0;    // the one replaced next
};

bool IsStringCode(int c)
{
    return (c >= 0 && c <= 9) || c == 100 || c == 102 || (c >= 300 && c <= 309) || (c >= 410 && c <= 419) ||
           (c >= 430 && c <= 439) || (c >= 470 && c <= 479) || c == 999 || (c >= 1000 && c <= 1009);
}
// Text kept as the file holds it: strings, but not handles (5, 1005), which are
// kept as they were understood, without the blanks around them (saved with
// those, they would name no record).
bool IsKeptAsText(int c) { return IsStringCode(c) && c != 5 && c != 1005; }
bool IsRealCode(int c)
{
    return (c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 460 && c <= 469) ||
           (c >= 1010 && c <= 1059);
}

struct LayoutRead {
    LayoutRecord data;
    std::uint64_t handle = 0;
    std::size_t line = 0;
};

struct ClipRead {
    std::uint64_t handle = 0;
    std::uint64_t owner = 0;
    std::vector<Point3d> points;
    std::vector<double> matrices;  // the 40 groups, in order
};

// What a note tells of: entities and other records left out, values read as
// their defaults, and mends (groups left out, structures closed).
enum class Left : std::uint8_t { Entity, Record, Value, Repair };
constexpr std::size_t kLeftKinds = 4;

class Reader final : public ReadContext, private GroupReader::BadValueSink {
public:
    // `from`: the text in memory, or the open file (and the size of its pieces).
    template <class Source, class... Pieces>
    Reader(Document& doc, std::string source, Source from, Pieces... pieces)
        : doc_(doc), in_(from, std::move(source), pieces...)
    {
        in_.SetBadValueSink(this);
    }

    void Run()
    {
        PrepareHandles();
        // The spaces are indexed once, after the read, from the entities left in
        // them: inserting one at a time rebuilds the grid each time the count
        // doubles. Also when the read fails, so that the drawing stays usable.
        struct IndexAfterRead {
            std::vector<Block*> blocks;
            void operator()() noexcept
            {
                for (Block* b : blocks) try {
                        if (!b->IsErased()) b->EnableSpatialIndex();
                    } catch (...) {  // out of memory: its queries scan instead
                    }
                blocks.clear();
            }
            ~IndexAfterRead() { (*this)(); }
        } index;
        for (Layout* l : doc_.Layouts()) index.blocks.push_back(&l->Block());
        for (Block* b : index.blocks) b->SuspendSpatialIndex();
        try {
            ReadAll();
        } catch (...) {
            // Refused part way, the drawing stays usable: no block it holds
            // draws itself (measuring one that did would never end).
            try {
                CheckLoops();
            } catch (...) {
            }
            throw;
        }
        index();
    }

    void ReadAll()
    {
        bool eof = false;
        while (!eof) {
            try {
                if (!in_.Next()) break;
                if (in_.Code() == 999) continue;
                if (in_.Code() != 0)
                    in_.Fail(sawSection_ ? "grupo fora de uma seção" : "esperava-se o início de uma seção (0 SECTION)");
                const std::string_view w = in_.Word();
                if (w == "EOF") {
                    eof = true;
                } else if (w == "SECTION") {
                    sawSection_ = true;
                    ReadSection();
                } else {
                    in_.Fail("registro \"" + std::string(w.substr(0, 40)) + "\" fora de uma seção");
                }
            } catch (const DamagedGroup& d) {
                // Text that never started a section is no drawing; in one, what
                // does not read is passed over.
                if (!sawSection_) throw;
                in_.Capture(nullptr);
                Tell(Left::Repair, d.What() + ", deixado de fora", d.Line());
                in_.Resync();
            }
        }
        if (!eof && in_.Line() == 0) in_.Refuse(1, "arquivo vazio");
        if (!eof && !sawSection_)
            in_.Refuse(in_.LastLine() + 1, "o arquivo termina sem \"EOF\" (arquivo truncado ou incompleto)");
        if (!eof) {
            const std::string last = std::to_string(in_.LastLine());
            ending_ = openSection_.empty() ? "o arquivo termina sem \"EOF\" (linha " + last + ")"
                                           : "arquivo truncado: termina na linha " + last + ", dentro da seção " +
                                                 openSection_ + ", sem \"ENDSEC\" nem \"EOF\"";
        }
        in_.CheckRest();
        Finish();
    }

    // One note for the person about what was left out or mended ("" when nothing was).
    std::string Note() const
    {
        static constexpr std::array<std::array<const char*, 2>, kLeftKinds> kHeads{{
            {" entidade deixada de fora: ", " entidades deixadas de fora: "},
            {" registro deixado de fora: ", " registros deixados de fora: "},
            {" valor ilegível lido como o padrão: ", " valores ilegíveis lidos como o padrão: "},
            {" reparo: ", " reparos: "},
        }};
        std::vector<std::string> parts;
        for (std::size_t k = 0; k < kLeftKinds; ++k) {
            if (leftCount_[k] == 0) continue;
            std::string s = std::to_string(leftCount_[k]) + kHeads[k][leftCount_[k] == 1 ? 0 : 1];
            bool first = true;
            for (const LeftOut& l : leftOut_) {
                if (static_cast<std::size_t>(l.category) != k) continue;
                s += (first ? "" : "; ") + l.text + (l.count == 1 ? " (linha " : " (linhas ");
                first = false;
                for (std::size_t i = 0; i < l.lines.size(); ++i) s += (i ? ", " : "") + std::to_string(l.lines[i]);
                if (l.count > l.lines.size()) s += " e mais " + std::to_string(l.count - l.lines.size());
                s += ")";
            }
            if (unlisted_[k]) s += "; e mais " + std::to_string(unlisted_[k]) + " de outros tipos";
            parts.push_back(std::move(s));
        }
        if (!ending_.empty()) parts.push_back(ending_);
        if (parts.empty()) return "";
        std::string s = "Desenho \"" + in_.SourceName() + "\" aberto; " + parts[0];
        for (std::size_t k = 1; k < parts.size(); ++k) {
            std::string& p = parts[k];
            if (p[0] >= 'a' && p[0] <= 'z') p[0] = static_cast<char>(p[0] - 'a' + 'A');
            s += ". " + p;
        }
        return s + ".";
    }

    // --- ReadContext
    GroupReader& In() override { return in_; }
    Document& Doc() override { return doc_; }

    std::uint32_t LayerIndex(std::string_view raw) override { return RecordIndex(layers_, doc_.Layers(), raw, "0"); }
    std::uint32_t LinetypeIndex(std::string_view raw) override
    {
        return RecordIndex(linetypes_, doc_.Linetypes(), raw, "ByLayer");
    }
    std::uint32_t TextStyleIndex(std::string_view raw) override
    {
        return RecordIndex(styles_, doc_.TextStyles(), raw, "Standard");
    }
    std::uint32_t BlockIndex(std::string_view raw) override
    {
        return Resolve(blocks_, raw, [this](const std::string& name) {
            if (name.empty()) in_.Fail("referência a bloco sem nome");
            // A reference may come before the definition: the block is filled later.
            return doc_.Blocks().IndexOf(*DefineBlock(name));
        });
    }
    AcadObject* ObjectOfHandle(std::uint64_t handle) override
    {
        return handle != 0 && handle < kProvisional ? doc_.FindByHandle(handle) : nullptr;
    }
    const DimStyleRecord* DimStyle(std::string_view name) override
    {
        auto it = dimStyles_.find(UpperName(std::string(name)));
        return it == dimStyles_.end() ? nullptr : &it->second;
    }

private:
    // Index of the table's record of that name; an unknown name makes the record
    // (entities of hand-written files name layers and styles no table lists).
    template <class Table>
    std::uint32_t RecordIndex(NameCache& cache, Table& table, std::string_view raw, const char* fallback)
    {
        return Resolve(cache, raw, [&](const std::string& name) {
            const std::string n = name.empty() ? fallback : name;
            return table.AddAsWritten(n)->Index();
        });
    }

    template <class Make>
    std::uint32_t Resolve(NameCache& cache, std::string_view raw, Make make)
    {
        for (std::size_t k = 0; k < cache.recent; ++k)
            if (raw == cache.recentName[k]) return cache.recentIndex[k];
        std::uint32_t index;
        if (auto it = cache.byName.find(raw); it != cache.byName.end()) {
            index = it->second;
        } else {
            std::string name;
            DecodeText(Trim(raw), name);
            index = make(name);
            cache.byName.emplace(std::string(raw), index);
        }
        cache.recentName[cache.next].assign(raw);
        cache.recentIndex[cache.next] = index;
        cache.next = (cache.next + 1) % NameCache::kRecent;
        cache.recent = std::max(cache.recent, cache.next == 0 ? NameCache::kRecent : cache.next);
        return index;
    }

    // Runs `fn`, which reads or makes part of a record: a refusal of the engine
    // leaves the record out (the caller's Recover tells it, at `line`).
    template <class Fn>
    void Refused(std::size_t line, Fn&& fn)
    {
        try {
            fn();
        } catch (const Error& e) {
            if (e.Code() == ErrorCode::FileError) throw;
            throw UnusableRecord(line, e.Description(), e.Description());
        }
    }

    // Runs `fn`, which makes or places one entity; an entity the engine cannot
    // take is left out (false) and noted for the person, the file read on.
    template <class Fn>
    bool Usable(std::size_t line, const std::string& kind, Fn&& fn)
    {
        try {
            fn();
            return true;
        } catch (const UnusableRecord& u) {
            LeaveOut(Left::Entity, kind, u.What(), u.Line());
        } catch (const Error& e) {
            if (e.Code() == ErrorCode::FileError) throw;
            LeaveOut(Left::Entity, kind, e.Description(), line);
        }
        return false;
    }

    // Reads one record (whose kind `current_` names once known) with `read`:
    // damage in it leaves the record out, noted, and the reading goes on at the
    // next record of the file. False when it was left out.
    template <class Fn>
    bool Recover(Left category, Fn&& read)
    {
        try {
            read();
            return true;
        } catch (const DamagedGroup& d) {
            in_.Capture(nullptr);
            LeaveOut(category, current_, d.What(), d.Line());
            in_.Resync();
        }
        return false;
    }

    // The record just read ended with the text: what it would have held after is missing.
    void CheckNotCut(std::size_t line)
    {
        if (in_.AtEnd()) in_.FailAt(line, "registro cortado pelo fim do arquivo");
    }

    void LeaveOut(Left category, const std::string& kind, const std::string& what, std::size_t line)
    {
        Tell(category, kind + ", " + what, line);
    }

    // Notes `text` at `line` under its category: the same text at other lines
    // is one entry. Entries are bounded (a damaged file may have a million),
    // and so is what each keeps of its lines.
    void Tell(Left category, const std::string& text, std::size_t line, const std::string& key = {})
    {
        const auto k = static_cast<std::size_t>(category);
        ++leftCount_[k];
        auto [it, fresh] = leftIndex_.try_emplace(std::to_string(k) + '\x1f' + (key.empty() ? text : key), 0);
        if (fresh) {
            if (listedKinds_[k] == kListedKinds) {
                leftIndex_.erase(it);
                ++unlisted_[k];
                return;
            }
            ++listedKinds_[k];
            it->second = leftOut_.size();
            leftOut_.push_back({category, text, {}, 0});
        }
        LeftOut& l = leftOut_[it->second];
        if (std::find(l.lines.begin(), l.lines.end(), line) != l.lines.end()) {  // the same group told twice
            --leftCount_[k];
            return;
        }
        ++l.count;
        if (l.lines.size() < kListedLines) l.lines.push_back(line);
    }

    // A value that does not read: taken as its field's default.
    void BadValue(const GroupReader& in) override
    {
        ++badValues_;
        mended_.push_back({in.Line(), false});
        const std::string code = std::to_string(in.Code());
        Tell(Left::Value, current_ + ", grupo " + code + " " + Quoted(in.Piece()), in.Line(), current_ + ' ' + code);
    }

    // --- handles

    void PrepareHandles()
    {
        doc_.SetHandSeed(kProvisional);
        for (const auto& o : doc_.Objects()) doc_.SetObjectHandle(*o, doc_.AllocateHandle());
    }

    std::uint64_t FileHandle()
    {
        const std::uint64_t h = in_.Handle();
        if (h >= kProvisional) return 0;
        maxHandle_ = std::max(maxHandle_, h);
        return h;
    }

    // Gives `o` the file's handle; a handle used twice in the file leaves the
    // second object with a fresh one.
    void ReKey(AcadObject& o, std::uint64_t handle)
    {
        if (handle == 0) return;
        try {
            doc_.SetObjectHandle(o, handle);
        } catch (const Error&) {
        }
    }

    // --- sections

    void ReadSection()
    {
        openSection_ = "sem nome";
        if (!in_.Next()) return;
        if (in_.Code() != 2) {
            in_.Unget();
            Tell(Left::Repair, "seção sem nome (grupo 2), deixada de fora", in_.Line());
            SkipSection();
            return;
        }
        const std::string name(in_.Word());
        openSection_ = "\"" + name.substr(0, 40) + "\"";
        if (name == "HEADER")
            ReadHeader();
        else if (name == "TABLES")
            ReadTables();
        else if (name == "BLOCKS")
            ReadBlocks();
        else if (name == "ENTITIES")
            ReadEntities(nullptr);
        else if (name == "OBJECTS")
            ReadObjects();
        else if (name == "CLASSES")
            ReadClasses();
        else if (name == "ACDSDATA")
            ReadAcdsData();
        else
            SkipSection();
    }

    // True at the (0, ENDSEC) that closes a section; a section cut short by EOF
    // or by the start of another ends there too (that group is left for the caller).
    bool AtSectionEnd()
    {
        if (in_.Code() != 0) return false;
        const std::string_view w = in_.Word();
        if (w == "ENDSEC") {
            openSection_.clear();
            return true;
        }
        if (w == "EOF" || w == "SECTION") {
            openSection_.clear();
            in_.Unget();
            return true;
        }
        return false;
    }

    // Reads the records of a section with `read` (the current group the
    // record's (0, type)) up to its end; damage in one leaves out that record
    // (as `category`), and `stray` is told of each group between records.
    template <class Read>
    void ReadRecords(Left category, Read&& read, bool stray = false)
    {
        bool done = false;
        while (!done)
            Recover(category, [&] {
                current_.clear();
                if (!in_.Next() || AtSectionEnd()) {
                    done = true;
                    return;
                }
                if (in_.Code() != 0) {
                    if (stray) {
                        Tell(Left::Repair, "grupos fora de um registro, deixados de fora", in_.Line());
                        in_.Resync();
                    }
                    return;
                }
                current_.assign(in_.Word());
                read();
            });
    }

    void SkipSection()
    {
        ReadRecords(Left::Repair, [] {});
    }

    void SkipRecord()
    {
        while (in_.Next())
            if (in_.Code() == 0) {
                in_.Unget();
                return;
            }
    }

    // --- records kept as the file holds them

    // The groups of the record whose (0, type) group is current, up to the next
    // (0, ...), as they are: groups 1000 and above are the record's own here
    // (an extension record's data), not extended data to be understood.
    void ReadVerbatim(KeptRecord& r)
    {
        r.type = std::string(in_.Word());
        r.handle = 0;
        r.groups.clear();
        ReadVerbatimRest(r);
    }
    void ReadVerbatimRest(KeptRecord& r)
    {
        // Its first handle group is its handle, read or not (unreadable, the
        // record gets a fresh one written there): a later one is data.
        bool handled = r.handle != 0;
        while (in_.Next()) {
            if (in_.Code() == 0) {
                in_.Unget();
                return;
            }
            if ((in_.Code() == 5 || in_.Code() == 105) && !handled) {
                handled = true;
                r.handle = FileHandle();
            }
            KeepRaw(r.groups);
        }
    }

    KeptFileParts& Kept()
    {
        if (!kept_) kept_ = std::make_shared<KeptFileParts>();
        return *kept_;
    }

    void ReadClasses()
    {
        // As before classes were kept, a stray group is passed over.
        ReadRecords(Left::Record, [this] {
            KeptRecord r;
            const std::size_t line = in_.Line();
            ReadVerbatim(r);
            CheckNotCut(line);
            if (r.type == "CLASS") Kept().classes.push_back(std::move(r));
        });
    }

    // Geometry of 3-D solids (2013 and later): kept whole, for the solids kept raw.
    void ReadAcdsData()
    {
        KeptFileParts& k = Kept();
        k.hasAcdsData = true;
        current_ = "ACDSDATA";
        bool done = false;
        while (!done)
            Recover(Left::Repair, [&] {
                if (!in_.Next() || AtSectionEnd()) {
                    done = true;
                    return;
                }
                KeepRaw(k.acdsData);
            });
    }

    // --- HEADER

    void ReadHeader()
    {
        const HeaderVar* var = nullptr;
        Point3d point;
        bool pendingPoint = false;
        auto flush = [&] {
            if (var && pendingPoint) SetHeader(*var, Variant(point));
            pendingPoint = false;
        };
        current_ = "HEADER";
        for (bool done = false; !done;) try {
                while (true) {
                    if (!in_.Next() || AtSectionEnd()) {
                        done = true;
                        break;
                    }
                    ReadHeaderGroup(var, point, pendingPoint, flush);
                }
            } catch (const DamagedGroup& d) {
                // The settings after the damage keep the host's defaults.
                Tell(Left::Repair, d.What() + ", deixado de fora", d.Line());
                in_.Resync();
                var = nullptr;
                pendingPoint = false;
            }
        flush();
    }

    // One group of the header, for the setting `var` (a point's coordinates
    // gathered in `point` until the next setting flushes them).
    template <class Flush>
    void ReadHeaderGroup(const HeaderVar*& var, Point3d& point, bool& pendingPoint, Flush& flush)
    {
        const int c = in_.Code();
        if (c == 0) {
            // A record has no place here: passed over, the header read on.
            Tell(Left::Repair,
                 "registro \"" + std::string(in_.Word().substr(0, 40)) + "\" no cabeçalho, deixado de fora",
                 in_.Line());
            SkipRecord();
            return;
        }
        if (c == 9) {
            flush();
            var = FindHeaderVar(in_.Word());
            point = {};
            return;
        }
        if (!var || c == 999) return;
        // A setting whose value does not read keeps the host's default: the
        // header holds no part of the drawing itself.
        double real = 0;
        long long integer = 0;
        const auto bad = [&] {
            const std::string code = std::to_string(c);
            Tell(Left::Value, std::string(var->dxfName) + ", grupo " + code + " " + Quoted(in_.Piece()), in_.Line(),
                 std::string(var->dxfName) + ' ' + code);
        };
        switch (var->kind) {
        case HeaderVar::Point3:
        case HeaderVar::Point2:
            if (c != 10 && c != 20 && c != 30) break;
            if (!ParseReal(in_.Raw(), real)) {
                bad();
                break;
            }
            (c == 10 ? point.x : c == 20 ? point.y : point.z) = real;
            pendingPoint = true;
            break;
        case HeaderVar::Handle:
            if (std::uint64_t h = in_.Handle(); h < kProvisional) fileSeed_ = h;
            break;
        case HeaderVar::Int:
            if (ParseInteger(in_.Raw(), integer) && integer >= INT32_MIN && integer <= INT32_MAX)
                SetHeader(*var, Variant(static_cast<int>(integer)));
            else
                bad();
            break;
        case HeaderVar::Real:
            if (ParseReal(in_.Raw(), real))
                SetHeader(*var, Variant(real));
            else
                bad();
            break;
        case HeaderVar::Angle:
            if (ParseReal(in_.Raw(), real))
                SetHeader(*var, Variant(real * (kPi / 180.0)));
            else
                bad();
            break;
        case HeaderVar::Text: SetHeader(*var, Variant(in_.Text())); break;
        }
    }

    static const HeaderVar* FindHeaderVar(std::string_view name)
    {
        for (const HeaderVar& v : HeaderVars())
            if (NamesEqual(std::string(name), v.dxfName)) return &v;
        return nullptr;
    }

    void SetHeader(const HeaderVar& var, const Variant& value)
    {
        if (!var.engineName) return;
        const std::string name = var.engineName;
        // Current layer, linetype and style and the active space wait until their
        // records and layouts are read.
        if (name == "CLAYER" || name == "CELTYPE" || name == "TEXTSTYLE" || name == "TILEMODE") {
            deferred_[name] = value;
            return;
        }
        if (!doc_.Variables().Exists(name)) return;
        try {
            doc_.Variables().SetStored(name, value);
        } catch (const Error&) {
            // A header value the host would not take keeps the host's default.
        }
    }

    // --- records of tables and objects

    // Reads the groups of one record into `data` through `layout` (and the common
    // entity part through CommonLayout when `entity`), up to the next (0, ...).
    void ReadRecord(const RecordLayout* layout, void* data, Record& rec, bool entity, bool keepRaw)
    {
        rec.line = in_.Line();
        rec.handle = rec.owner = rec.extensionDictionary = 0;
        rec.common = defaultCommon_;
        rec.xdataCodes.clear();
        rec.xdataValues.clear();
        rec.raw.clear();
        rec.embedded.clear();
        rec.objectName.clear();
        rec.drop = false;
        xdata_ = XData::None;
        mended_.clear();
        bool marker = false;
        while (in_.Next()) {
            const int c = in_.Code();
            // Most groups are a field of the record: one test sends them straight to their rows.
            if (c > 0 && c < 1000 && !kRecordCode[c]) {
                const std::size_t told = badValues_;
                if (ReadRows(c, layout, data, rec, entity) && keepRaw) KeepRaw(rec, badValues_ != told);
                continue;
            }
            if (c == 0) {
                in_.Unget();
                return;
            }
            if (c == 5 || c == 105) {
                rec.handle = FileHandle();
                continue;
            }
            if (c == 330 && !marker) {
                rec.owner = in_.Handle();
                continue;
            }
            if (c == 102) {
                SkipApplicationGroup(&rec.extensionDictionary);
                continue;
            }
            if (c == 999) continue;
            if (c == 100) {
                marker = true;
                const std::string_view m = in_.Word();
                if (m == "AcDbEntity") continue;
                if (rec.objectName.empty()) rec.objectName.assign(m);  // in the room the last record left
                if (keepRaw) KeepRaw(rec);
                continue;
            }
            if (c >= 1000) {
                ReadXData(rec);
                continue;
            }
            if (c == 101 && entity && layout) {
                // Data of another object inside this one (a text's columns in files of
                // 2018 and later): its groups are not the entity's own fields.
                ReadEmbedded(keepRaw ? rec.raw : rec.embedded);
                continue;
            }
            const std::size_t told = badValues_;
            if (ReadRows(c, layout, data, rec, entity) && keepRaw) KeepRaw(rec, badValues_ != told);
        }
    }

    // The current group into the common entity part or the record's own rows;
    // true unless it went to the common part (a group no row reads is kept raw too).
    bool ReadRows(int c, const RecordLayout* layout, void* data, Record& rec, bool entity)
    {
        if (entity)
            if (auto rows = common_.Find(c); !rows.empty()) {
                for (const Field* f : rows) Refused(in_.Line(), [&] { ReadField(*this, *f, &rec.common); });
                return false;
            }
        if (layout)
            if (auto rows = layout->Find(c); !rows.empty())
                for (const Field* f : rows) Refused(in_.Line(), [&] { ReadField(*this, *f, data); });
        return true;
    }

    void KeepRaw(Record& rec, bool mend = false) { KeepRaw(rec.raw, mend); }
    // The current group as it is, but for a number that does not read (a
    // real, or a value the record's rows could not read: `mend`), kept as 0:
    // saved as it was, it would not read again.
    void KeepRaw(std::vector<RawGroup>& into, bool mend = false)
    {
        const int c = in_.Code();
        RawGroup g;
        g.code = c;
        if (IsRealCode(c)) {
            // A kept number must still be a number the engine can use: one that
            // is not is read as 0, as any value that does not read is (a record
            // kept whole may also have rows that read it).
            if (in_.IsReal()) {
                g.value = std::string(Trim(in_.Raw()));
            } else {
                BadValue(in_);
                g.value = "0";
            }
        } else if (mend) {
            g.value = "0";  // what the record's rows read it as
        } else if (IsKeptAsText(c)) {
            in_.TextInto(g.value);
        } else {
            g.value = std::string(Trim(in_.Raw()));
        }
        into.push_back(std::move(g));
    }

    // From the current (101) group up to the extended data or the next record.
    void ReadEmbedded(std::vector<RawGroup>& into)
    {
        KeepRaw(into);
        while (in_.Next()) {
            if (in_.Code() == 0 || in_.Code() >= 1000) {
                in_.Unget();
                return;
            }
            KeepRaw(into);
        }
    }

    // 102 "{NAME" ... 102 "}": reactors and extension dictionaries of other
    // applications; the handle of the record's own extension dictionary into
    // `dictionary`, when given.
    void SkipApplicationGroup(std::uint64_t* dictionary = nullptr)
    {
        if (in_.Word() == "}") return;
        const bool own = dictionary && in_.Word() == "{ACAD_XDICTIONARY";
        while (in_.Next()) {
            if (in_.Code() == 0) {
                in_.Unget();
                return;
            }
            if (in_.Code() == 102) return;
            if (own && in_.Code() == 360) *dictionary = in_.Handle();
        }
    }

    // Extended data, from the current group on. What of it does not read is
    // left out, noted, and the record kept: groups before any application's
    // name (1001), the data of an application whose name no table may hold, a
    // code extended data does not have (a 1021 without the 1011 it follows).
    void ReadXData(Record& rec)
    {
        auto& codes = rec.xdataCodes;
        auto& values = rec.xdataValues;
        while (true) {
            const int c = in_.Code();
            if (c == 1001) {
                std::string name = in_.Text();
                if (IsValidSymbolName(name)) {
                    xdata_ = XData::Owned;
                    codes.push_back(c);
                    values.emplace_back(std::move(name));
                } else {
                    xdata_ = XData::Skipped;
                    mended_.push_back({in_.Line(), true});
                    LeaveOut(Left::Repair, current_,
                             "dados estendidos da aplicação de nome inválido " + Quoted(in_.Piece()) +
                                 " (grupo 1001), deixados de fora",
                             in_.Line());
                }
            } else if (xdata_ != XData::Owned) {
                mended_.push_back({in_.Line(), true});
                if (xdata_ == XData::None)
                    LeaveOut(Left::Repair, current_,
                             "dados estendidos sem o nome da aplicação (grupo 1001), deixados de fora", in_.Line());
                xdata_ = XData::Skipped;
            } else if (c >= 1000 && c <= 1005) {
                codes.push_back(c);
                values.emplace_back(c == 1002 ? std::string(in_.Word()) : in_.Text());
            } else if (c >= 1010 && c <= 1013) {
                Point3d p{in_.Real(), 0.0, 0.0};
                if (in_.Next()) {
                    if (in_.Code() == c + 10) {
                        p.y = in_.Real();
                        if (in_.Next() && !(in_.Code() == c + 20 && (p.z = in_.Real(), true))) in_.Unget();
                    } else {
                        in_.Unget();
                    }
                }
                codes.push_back(c);
                values.emplace_back(p);
            } else if (c >= 1040 && c <= 1042) {
                codes.push_back(c);
                values.emplace_back(in_.Real());
            } else if (c == 1070 || c == 1071) {
                codes.push_back(c);
                values.emplace_back(in_.Int());
            } else if (c >= 1020 && c <= 1033 && c % 10 <= 3) {
                mended_.push_back({in_.Line(), true});
                LeaveOut(Left::Repair, current_,
                         "dados estendidos: grupo " + std::to_string(c) + " sem o grupo " +
                             std::to_string(1010 + c % 10) + " antes dele, deixado de fora",
                         in_.Line());
            } else {
                mended_.push_back({in_.Line(), true});
                LeaveOut(Left::Repair, current_,
                         "dados estendidos: código " + std::to_string(c) + " inválido, deixado de fora", in_.Line());
            }
            if (!in_.Next()) return;
            if (in_.Code() < 1000) {
                in_.Unget();
                return;
            }
        }
    }

    // An object's extended data; the engine refusing it leaves it out, noted, and the object kept.
    void ApplyXData(AcadObject& o, const Record& rec)
    {
        if (rec.xdataCodes.empty()) return;
        try {
            o.SetXData(rec.xdataCodes, rec.xdataValues);
        } catch (const Error& e) {
            if (e.Code() == ErrorCode::FileError) throw;
            LeaveOut(Left::Repair, current_, "dados estendidos deixados de fora: " + e.Description(), rec.line);
        }
    }

    // --- TABLES

    // The records of every table: a table's head (0 TABLE) and end (0 ENDTAB)
    // only frame them, each record says what it is.
    void ReadTables()
    {
        ReadRecords(Left::Record, [this] {
            const std::string_view w = in_.Word();
            if (w == "TABLE") {
                FileHandleOfHead();
            } else if (w != "ENDTAB") {
                ReadTableRecord(w);
            }
        });
    }

    // The table's own groups (handle, count) up to its first record; its handle
    // is kept for the head the writer makes.
    void FileHandleOfHead()
    {
        std::string table;
        std::uint64_t handle = 0;
        while (in_.Next()) {
            if (in_.Code() == 0) {
                in_.Unget();
                break;
            }
            if (in_.Code() == 2) table = in_.Word();
            if (in_.Code() == 5 || in_.Code() == 105) handle = FileHandle();
            if (in_.Code() == 102) SkipApplicationGroup();
        }
        if (handle && !table.empty()) Kept().tableHeads.emplace(UpperName(table), handle);
    }

    void ReadTableRecord(std::string_view type)
    {
        Record& rec = record_;
        const auto read = [&](const RecordLayout* layout, void* data, bool keepRaw = false) {
            ReadRecord(layout, data, rec, false, keepRaw);
            CheckNotCut(rec.line);
        };
        if (type == "LAYER") {
            LayerRecord d;
            d.linetype = kUnsetIndex;
            read(&LayerLayout(), &d);
            Refused(rec.line, [&] { ApplyLayer(d, rec); });
        } else if (type == "LTYPE") {
            LinetypeRecord d;
            read(&LinetypeLayout(), &d);
            Refused(rec.line, [&] {
                Linetype* lt = doc_.Linetypes().AddAsWritten(NameOf(d.name, rec));
                lt->SetDescription(d.description);
                if (!d.pattern.empty()) lt->SetPattern(d.pattern);
                ReKey(*lt, rec.handle);
                ApplyXData(*lt, rec);
            });
        } else if (type == "STYLE") {
            TextStyleRecord d;
            read(&TextStyleLayout(), &d);
            if (d.flags & 1) return;  // a shape file entry (fonts of complex linetypes)
            Refused(rec.line, [&] { ApplyStyle(d, rec); });
        } else if (type == "APPID") {
            AppIdRecord d;
            read(&AppIdLayout(), &d);
            Refused(rec.line, [&] {
                RegisteredApplication* a = doc_.RegisteredApplications().AddAsWritten(NameOf(d.name, rec));
                ReKey(*a, rec.handle);
                ApplyXData(*a, rec);
            });
        } else if (type == "BLOCK_RECORD") {
            BlockRecordData d;
            read(&BlockRecordLayout(), &d);
            if (d.name.empty()) throw UnusableRecord(rec.line, "registro de bloco sem nome (grupo 2)", "");
            Refused(rec.line, [&] {
                Block* b = DefineBlock(d.name);
                ReKey(*b, rec.handle);
                ApplyXData(*b, rec);
                // Its drawing order lies there (ACAD_SORTENTS), kept with the objects.
                if (rec.extensionDictionary) Kept().extensionDictionaries[b] = rec.extensionDictionary;
            });
        } else if (type == "VPORT") {
            VportRecord d;
            read(&VportLayout(), &d);
            if (!sawVport_ && NamesEqual(d.name, "*ACTIVE")) {
                sawVport_ = true;
                if (rec.handle) Kept().activeView = rec.handle;
                doc_.ModelView().SetCenter(d.center);
                if (d.height > 0) doc_.ModelView().SetHeight(d.height);
                try {
                    doc_.Variables().SetStored("SNAPANG", Variant(d.snapAngle));
                } catch (const Error&) {
                }
            }
        } else if (type == "DIMSTYLE") {
            DimStyleRecord d;
            read(&DimStyleLayout(), &d, true);
            // Kept whole: raw dimensions of other kinds name these styles.
            if (!d.name.empty() && !dimStyles_.count(UpperName(d.name)))
                Kept().dimStyles.push_back(
                    {d.name, rec.handle, std::move(rec.raw), std::move(rec.xdataCodes), std::move(rec.xdataValues)});
            dimStyles_[UpperName(d.name)] = d;
        } else {
            read(nullptr, nullptr);  // VIEW, UCS: not kept
        }
    }

    static const std::string& NameOf(const std::string& name, const Record& rec)
    {
        if (name.empty()) throw UnusableRecord(rec.line, "registro de tabela sem nome (grupo 2)", "");
        return name;
    }

    void ApplyLayer(const LayerRecord& d, const Record& rec)
    {
        Layer* l = doc_.Layers().AddAsWritten(NameOf(d.name, rec));
        const int color = std::abs(d.color);
        l->SetColor(color >= 1 && color <= 255 ? color : 7);
        l->SetLayerOn(d.color >= 0);
        if (d.linetype != kUnsetIndex) l->SetLinetypeIndex(d.linetype);
        l->SetPlottable(d.plottable);
        l->SetLineweight(d.lineweight);
        // Frozen and locked wait for the end: entities of the layer are still to come.
        if (d.flags & 1) frozen_.push_back(l);
        if (d.flags & 4) locked_.push_back(l);
        ReKey(*l, rec.handle);
        ApplyXData(*l, rec);
    }

    void ApplyStyle(const TextStyleRecord& d, Record& rec)
    {
        TextStyle* s = doc_.TextStyles().AddAsWritten(NameOf(d.name, rec));
        s->SetHeight(d.height >= 0 ? d.height : 0.0);
        s->SetWidth(d.width > 0 ? d.width : 1.0);
        s->SetObliqueAngle(d.oblique);
        s->SetTextGenerationFlag(d.generation);
        s->SetLastHeight(d.lastHeight);
        s->SetFontFile(d.fontFile);
        s->SetBigFontFile(d.bigFontFile);
        // A TrueType face is kept under "ACAD": {face, flags}.
        auto& c = rec.xdataCodes;
        auto& v = rec.xdataValues;
        for (std::size_t i = 0; i + 1 < c.size(); ++i) {
            if (c[i] != 1001 || !NamesEqual(v[i].AsString(), "ACAD") || c[i + 1] != 1000) continue;
            std::size_t end = i + 1;
            while (end < c.size() && c[end] != 1001) ++end;
            int flags = 0;
            for (std::size_t k = i + 2; k < end; ++k)
                if (c[k] == 1071) flags = v[k].AsInt();
            const std::string face = v[i + 1].AsString();
            if (!face.empty())
                s->SetFont(face, (flags & 0x2000000) != 0, (flags & 0x1000000) != 0, (flags >> 8) & 0xFF, flags & 0xFF);
            c.erase(c.begin() + static_cast<std::ptrdiff_t>(i), c.begin() + static_cast<std::ptrdiff_t>(end));
            v.erase(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(end));
            break;
        }
        ReKey(*s, rec.handle);
        ApplyXData(*s, rec);
    }

    Block* DefineBlock(const std::string& name) { return doc_.Blocks().AddAsWritten(name); }

    // --- BLOCKS

    void ReadBlocks()
    {
        ReadRecords(Left::Record, [this] {
            const std::string_view w = in_.Word();
            if (w == "BLOCK") {
                ReadBlock();
            } else if (w == "ENDBLK") {
                SkipRecord();
            } else {
                // An entity with no definition to hold it.
                const std::size_t line = in_.Line();
                SkipRecord();
                LeaveOut(Left::Entity, current_, "fora de uma definição de bloco (falta 0 BLOCK)", line);
            }
        });
    }

    // A definition, from its (0, BLOCK) to its ENDBLK. One whose head does not
    // read is left out with everything it holds; one whose end is missing ends
    // where the next definition or the section begins.
    void ReadBlock()
    {
        BlockBeginData d;
        Record& rec = record_;
        const std::size_t line = in_.Line();
        Block* b = nullptr;
        std::uint64_t begin = 0;  // the handle of its BLOCK record, kept for the one the writer makes
        const bool read = Recover(Left::Record, [&] {
            ReadRecord(&BlockBeginLayout(), &d, rec, true, false);
            CheckNotCut(rec.line);
            begin = rec.handle;
            if (d.name.empty()) throw UnusableRecord(rec.line, "definição de bloco sem nome (grupo 2)", "");
            // Release 12 names the spaces' (empty) definitions with a "$".
            if (NamesEqual(d.name, "$MODEL_SPACE")) d.name = "*Model_Space";
            if (NamesEqual(d.name, "$PAPER_SPACE")) d.name = "*Paper_Space";
            Refused(rec.line, [&] {
                b = DefineBlock(d.name);
                blockLines_.emplace(b, rec.line);
                if (!b->IsLayout() && !b->IsModelSpace()) {
                    b->SetOrigin(d.base);
                    b->SetComments(d.description);
                    if ((d.flags & 4) && !d.xrefPath.empty()) b->SetXRefPath(d.xrefPath);
                }
                if (b->HandleValue() >= kProvisional) ReKey(*b, rec.handle);  // no BLOCK_RECORD for it
                ApplyXData(*b, rec);
            });
        });
        if (!read) b = nullptr;  // what it holds goes with it
        inDefinition_ = b && !b->IsLayout() && !IsSpaceName(b->Name());
        for (bool done = false; !done;)
            Recover(Left::Entity, [&] {
                current_.clear();
                if (!in_.Next()) {
                    done = true;
                    return;
                }
                if (in_.Code() != 0) in_.Fail("grupo fora de um registro no bloco \"" + d.name + "\"");
                const std::string_view e = in_.Word();
                current_.assign(e);
                if (e == "ENDBLK") {
                    ReadRecord(nullptr, nullptr, rec, true, false);
                    if (b && (begin || rec.handle)) Kept().blockEnds[b] = {begin, rec.handle};
                    done = true;
                } else if (e == "ENDSEC" || e == "EOF" || e == "BLOCK" || e == "SECTION") {
                    in_.Unget();
                    done = true;
                    if (b)
                        Tell(Left::Repair,
                             "bloco \"" + d.name + "\" sem ENDBLK, terminado na linha " + std::to_string(in_.Line()),
                             line);
                } else if (b) {
                    ReadEntity(b);
                } else {
                    SkipRecord();
                }
            });
        inDefinition_ = false;
    }

    // --- ENTITIES

    void ReadEntities(Block* block)
    {
        ReadRecords(
            Left::Entity, [&] { ReadEntity(block); }, true);
    }

    Block& PaperSpace()
    {
        Block* p = doc_.Blocks().Find("*Paper_Space");
        return p ? *p : doc_.PaperSpace();
    }

    // Reads the entity whose (0, name) group is current, with the records that
    // belong to it, into `block` (null: model or paper space, by its group 67).
    void ReadEntity(Block* block)
    {
        using namespace std::string_view_literals;
        const std::string name(in_.Word());
        const std::string_view kind = name;  // compared by length first, as a string is not
        const std::size_t line = in_.Line();
        current_ = name;
        if (kind == "ATTRIB"sv || kind == "VERTEX"sv || kind == "SEQEND"sv) {
            SkipRecord();  // parts of an entity that is not there: nothing to attach them to
            return;
        }
        // Entities of one kind mostly come in runs: the last kind's codec is kept.
        if (name != lastKind_) {
            lastCodec_ = codecs_.Find(name);
            lastKind_ = name;
        }
        EntityCodec* codec = lastCodec_;
        // A record a text listed as its own is read and checked as any entity,
        // and kept as the file holds it (a reference, whose attributes follow
        // it as records of their own, is not taken for one).
        std::uint64_t listedAs = 0;
        const bool mayFollow =
            !columnOf_.empty() && !(codec && codec->FollowedBy() == EntityCodec::Followers::Attributes);
        // The spaces' blocks are the entities' section: saved, what they hold is written there.
        const Block* place = block && !block->IsLayout() && !IsSpaceName(block->Name()) ? block : nullptr;
        Entity* const main = mayFollow ? MainOfFollower(listedAs, place) : nullptr;
        std::vector<GroupReader::Captured> asRead;
        if (main) in_.Capture(&asRead);
        Record& rec = record_;
        if (codec) codec->Begin();
        const bool keepRaw = !codec || codec->KeepsRaw();
        ReadRecord(codec ? &codec->Layout() : nullptr, codec ? codec->Data() : nullptr, rec, true, keepRaw);
        if (codec && codec->FollowedBy() == EntityCodec::Followers::Vertices) ReadVertices(*codec, rec);
        in_.Capture(nullptr);
        CheckNotCut(line);
        rec.line = line;
        Block& target = block ? *block : rec.common.paperSpace ? PaperSpace() : doc_.ModelSpace();

        std::unique_ptr<Entity> e;
        // The block of a dimension's picture, found once every block is read.
        std::string picture;
        Point3d pictureAt;
        // Attributes of a reference left out are skipped as strays by the caller.
        const bool usable = Usable(line, name, [&] {
            if (codec) e = codec->Build(*this, rec);
            if (rec.drop) return;
            if (!e) {
                std::string objectName = rec.objectName.empty() ? ClassNameOf(name) : rec.objectName;
                e = std::make_unique<RawEntity>(doc_, name, std::move(objectName), std::move(rec.raw));
                rec.raw.clear();
            } else if (kind == "DIMENSION"sv) {
                picture = codecs_.DimensionBlock();
                pictureAt = codecs_.DimensionPicturePlace();
            }
            // Only the codec followed by attributes makes references; others draw blocks too.
            if (codec && codec->FollowedBy() == EntityCodec::Followers::Attributes)
                CheckSpace(static_cast<BlockReference&>(*e).Data().block);
            if (e && e->DrawnReference()) CheckNesting(target, *e);
            ApplyCommon(*e, rec.common);
            ApplyXData(*e, rec);
        });
        if (main) {
            columnOf_.erase(listedAs);
            // Kept under the handle its text lists (its first group), not one a
            // later handle group gave it: saved, it must reopen as that column.
            if (usable && e) KeepFollower(*main, name, listedAs, asRead);
            return;
        }
        if (!usable || !e) return;
        // A handle a text listed as its column, on a record after it that did
        // not read as one (its handle was not its first group, or another
        // record took the handle first), is not taken: saved, the record would
        // reopen as the column.
        if (const auto it = listed_.find(rec.handle); it != listed_.end() && it->second == place) rec.handle = 0;
        Entity* added = nullptr;
        e->RequestHandle(rec.handle);  // the file's handle, when no other object has it
        if (!Usable(line, name, [&] { added = target.AppendEntity(std::move(e)); })) return;
        // Where a part that may draw a block lies in a definition: a loop broken there is told at its line.
        if (inDefinition_ &&
            (!codec || kind == "DIMENSION"sv || codec->FollowedBy() == EntityCodec::Followers::Attributes))
            definitionLines_.emplace(added, line);
        if (auto* dim = dynamic_cast<DimAligned*>(added); dim && !picture.empty())
            pictures_.push_back({dim, std::move(picture), pictureAt});
        else if (auto* raw = dynamic_cast<RawEntity*>(added))
            rawEntities_.push_back(raw);
        KeepEmbedded(*added, rec);
        if (codec && codec->FollowedBy() == EntityCodec::Followers::Vertices && dynamic_cast<PolylineBase*>(added))
            KeepFollowers(*added);
        if (codec && codec->FollowedBy() == EntityCodec::Followers::Attributes)
            ReadAttributes(static_cast<BlockReference&>(*added));
        if (kind == "MTEXT"sv) NoteColumns(*added, rec, place);
    }

    void KeepEmbedded(const Entity& e, Record& rec)
    {
        if (!rec.embedded.empty()) Kept().embedded[&e] = std::move(rec.embedded);
    }

    // A multi-column text of files before 2018 lists, under "ACAD", its further
    // columns (texts of their own, 1005 handles between ACAD_MTEXT_COLUMNS_BEGIN
    // and _END) and the polylines that draw its frame (between
    // ACAD_MTEXT_TEXT_BORDERS_BEGIN and _END): they belong to it, not to the space.
    template <class Values, class Fn>
    static void ForEachListedHandle(const std::vector<int>& c, Values& v, Fn&& fn)
    {
        bool listing = false;
        for (std::size_t i = 0; i < c.size() && i < v.size(); ++i) {
            if (c[i] == 1000 && v[i].IsString()) {
                const std::string& t = v[i].AsString();
                if (t == "ACAD_MTEXT_COLUMNS_BEGIN" || t == "ACAD_MTEXT_TEXT_BORDERS_BEGIN") listing = true;
                if (t == "ACAD_MTEXT_COLUMNS_END" || t == "ACAD_MTEXT_TEXT_BORDERS_END") listing = false;
            } else if (c[i] == 1001) {
                listing = false;
            } else if (listing && c[i] == 1005 && v[i].IsString()) {
                fn(v[i]);
            }
        }
    }

    // The columns a text lists follow it in its own block (or the entities'
    // section): a record elsewhere with such a handle is no column of it, and
    // keeps the handle (saved, it reopens where it was).
    void NoteColumns(Entity& main, const Record& rec, const Block* block)
    {
        if (rec.xdataCodes.empty()) return;
        // The lists the text keeps, as it will save them: data an application
        // gives twice keeps only the second, and what it replaced lists nothing.
        std::vector<int> codes;
        std::vector<Variant> values;
        main.GetXData("", codes, values);
        ForEachListedHandle(codes, values, [&](const Variant& v) {
            std::uint64_t h = 0;
            if (ParseHandle(v.AsString(), h) && h != rec.handle && h < kProvisional) {
                columnOf_[h] = {&main, block};
                listed_[h] = block;
            }
        });
    }

    // The text that listed the record whose (0, type) group is current, or null
    // (nothing consumed either way).
    Entity* MainOfFollower(std::uint64_t& handle, const Block* block)
    {
        if (!in_.Next()) return nullptr;
        auto it = in_.Code() == 5 && ParseHandle(in_.Word(), handle) ? columnOf_.find(handle) : columnOf_.end();
        in_.Unget();
        return it == columnOf_.end() || it->second.second != block ? nullptr : it->second.first;
    }

    // Keeps a record that belongs to `main` as the file holds it (the groups as
    // KeepRaw takes them).
    void KeepFollower(Entity& main, const std::string& type, std::uint64_t handle,
                      std::vector<GroupReader::Captured>& asRead)
    {
        KeptRecord r;
        r.type = type;
        r.handle = handle;
        r.groups.reserve(asRead.size());
        for (GroupReader::Captured& g : asRead) {
            // As the reading took it: groups it left out stay out, values it
            // could not read are 0.
            const auto mended = std::find_if(mended_.begin(), mended_.end(),
                                             [&](const std::pair<std::size_t, bool>& m) { return m.first == g.line; });
            if (mended != mended_.end() && mended->second) continue;
            RawGroup raw{g.code, {}};
            double real = 0;
            if (g.code >= 6 && g.code <= 8) {
                // The names of its linetype, style and layer, as the reading
                // understood them: the blanks around them are no part of them.
                DecodeText(Trim(g.value), raw.value);
            } else if (IsKeptAsText(g.code)) {
                DecodeText(g.value, raw.value);
            } else {
                raw.value = std::string(Trim(g.value));
                if (IsRealCode(g.code) && !ParseReal(raw.value, real)) {
                    // Read as 0, as the text's own rows read it.
                    const std::string code = std::to_string(g.code);
                    Tell(Left::Value, type + ", grupo " + code + " " + Quoted(g.value), g.line, type + ' ' + code);
                    raw.value = "0";
                } else if (mended != mended_.end()) {
                    raw.value = "0";
                }
            }
            r.groups.push_back(std::move(raw));
        }
        // A linked column's text is drawn by the text it belongs to, at the top of the next column.
        if (auto* text = dynamic_cast<MText*>(&main); text && type == "MTEXT") {
            std::string column;
            for (const RawGroup& g : r.groups)
                if (g.code == 3 || g.code == 1) column += g.value;
            linkedColumns_[text].push_back(std::move(column));
        }
        Kept().columns[&main].push_back(std::move(r));
    }

    // VERTEX records up to SEQEND, into the POLYLINE being read (and into its raw
    // groups, should it turn out to be a kind the engine does not model).
    void ReadVertices(EntityCodec& polyline, Record& rec)
    {
        std::vector<RawGroup> raw = std::move(rec.raw);
        followerHandles_.clear();
        Record vrec;
        EntityCodec& vertex = codecs_.Vertex(false);
        while (in_.Next()) {
            const std::string_view w = in_.Word();
            if (in_.Code() != 0 || (w != "VERTEX" && w != "SEQEND")) {
                in_.Unget();
                break;
            }
            raw.push_back({0, std::string(w)});
            const bool end = w == "SEQEND";
            vertex.Begin();
            ReadRecord(end ? nullptr : &vertex.Layout(), end ? nullptr : vertex.Data(), vrec, true, true);
            // Followers kept raw keep their handles and owners too.
            followerHandles_.push_back(vrec.handle);
            if (vrec.handle) raw.push_back({5, HandleText(vrec.handle)});
            raw.push_back({100, "AcDbEntity"});
            raw.push_back({8, doc_.Layers().ByIndex(vrec.common.layer)->Name()});
            raw.insert(raw.end(), vrec.raw.begin(), vrec.raw.end());
            if (end) break;
            codecs_.AddVertex(polyline, *static_cast<VertexRecord*>(vertex.Data()));
        }
        rec.raw = std::move(raw);
    }

    // The handles of a polyline's vertices and SEQEND, when they run one after
    // another (as the writer numbers them): written again under them.
    void KeepFollowers(const Entity& polyline)
    {
        const std::vector<std::uint64_t>& h = followerHandles_;
        if (h.empty() || h[0] == 0) return;
        for (std::size_t i = 1; i < h.size(); ++i)
            if (h[i] != h[0] + i) return;
        followerRuns_.push_back({&polyline, {h[0], h.size()}});
    }

    static std::string HandleText(std::uint64_t h) { return AcadObject::HandleText(h); }

    // Class name of a kind a file names without subclass markers ("SOLID" → "AcDbSolid").
    static std::string ClassNameOf(const std::string& dxfName)
    {
        std::string n = "AcDb";
        for (std::size_t i = 0; i < dxfName.size(); ++i)
            n += i == 0 ? dxfName[i] : static_cast<char>(std::tolower(static_cast<unsigned char>(dxfName[i])));
        return n;
    }

    void ReadAttributes(BlockReference& ref)
    {
        EntityCodec& codec = codecs_.Attribute();
        Record& rec = attribRecord_;
        for (bool done = false; !done;)
            Recover(Left::Entity, [&] {
                if (!in_.Next()) {
                    done = true;
                    return;
                }
                const std::string_view w = in_.Word();
                if (in_.Code() != 0 || (w != "ATTRIB" && w != "SEQEND")) {
                    in_.Unget();
                    done = true;
                    return;
                }
                current_.assign(w);
                if (w == "SEQEND") {
                    ReadRecord(nullptr, nullptr, rec, true, false);
                    if (rec.handle) followerRuns_.push_back({&ref, {rec.handle, 1}});
                    done = true;
                    return;
                }
                codec.Begin();
                ReadRecord(&codec.Layout(), codec.Data(), rec, true, false);
                CheckNotCut(rec.line);
                std::unique_ptr<Entity> e;
                if (!Usable(rec.line, "ATTRIB", [&] {
                        e = codec.Build(*this, rec);
                        ApplyCommon(*e, rec.common);
                        ApplyXData(*e, rec);
                    }))
                    return;
                AttributeReference* a = nullptr;
                e->RequestHandle(rec.handle);
                if (!Usable(rec.line, "ATTRIB", [&] {
                        a = ref.AppendAttribute(
                            std::unique_ptr<AttributeReference>(static_cast<AttributeReference*>(e.release())));
                    }))
                    return;
                KeepEmbedded(*a, rec);
            });
    }

    // Nothing may refer to a space as a block: such a record is left out.
    void CheckSpace(std::uint32_t targetIndex)
    {
        const Block* target = doc_.Blocks().ByIndex(targetIndex);
        if (target && (target->IsLayout() || IsSpaceName(target->Name()))) {
            const std::string what = "referência ao espaço \"" + target->Name() + "\" como se fosse um bloco";
            throw UnusableRecord(record_.line, what, what);
        }
    }

    // A block may not draw itself, directly or through other blocks, whatever
    // draws it (a reference, a table's or a multileader's block, a
    // dimension's picture): drawing it would never end. A loop is broken where
    // the walk comes round to a block it is inside of. An entity joining a
    // space has its extents measured at once, so what it reaches is checked
    // then (once per state of the block definitions); the whole drawing is
    // checked once every block its entities name is found (CheckLoops).
    void CheckNesting(const Block& container, const Entity& e)
    {
        const Block* target = doc_.Blocks().ByIndex(e.DrawnReference()->Data().block);
        if (!target) return;
        if (!container.IsLayout() && !IsSpaceName(container.Name())) {
            ++definitionsVersion_;  // one more block drawn inside a definition
            return;
        }
        auto& seen = checkedAt_[target];
        if (seen == definitionsVersion_ + 1) return;
        LoopFinder loops;
        BreakLoops(loops, *target);
        seen = definitionsVersion_ + 1;
    }

    // Every definition but the spaces, once all it draws is found: nothing
    // may draw a space (CheckSpace, Block::CheckMayDraw), so no loop passes
    // through one, and a walk from a space would only visit its entities, a
    // million in a large drawing.
    void CheckLoops()
    {
        LoopFinder loops;
        for (const Block* b : doc_.Blocks())
            if (!b->IsLayout() && !IsSpaceName(b->Name())) BreakLoops(loops, *b);
    }

    // Every loop from `root` broken, one after another.
    void BreakLoops(LoopFinder& loops, const Block& root)
    {
        while (const Entity* loop = loops.From(root)) BreakLoop(*loop);
    }

    // `loop` draws a block the walk is inside of: it, and every part of its
    // block that draws the same, are left out of it (noted each at its line):
    // the second visit of the loop is where it is broken.
    void BreakLoop(const Entity& loop)
    {
        const Block* target = DrawnBlock(loop);
        Block* container = loop.OwnerBlock();
        if (!target || !container) return;
        std::vector<Entity*> closing;
        for (Entity* e : *container)
            if (DrawnBlock(*e) == target) closing.push_back(e);
        const std::string what = "referência circular: o bloco \"" + container->Name() + "\" insere \"" +
                                 target->Name() + "\", que " + (container == target ? "é ele mesmo" : "o contém");
        for (Entity* e : closing) {
            auto line = definitionLines_.find(e);
            const auto at = blockLines_.find(container);
            LeaveOut(Left::Entity, e->DxfName(), what,
                     line != definitionLines_.end() ? line->second
                     : at != blockLines_.end()      ? at->second
                                                    : 0);
            e->Delete();
        }
    }

    static bool IsSpaceName(const std::string& name)
    {
        const std::string up = UpperName(name);
        return up.rfind("*MODEL_SPACE", 0) == 0 || up.rfind("*PAPER_SPACE", 0) == 0;
    }

    // --- OBJECTS

    void ReadObjects()
    {
        ReadRecords(
            Left::Record,
            [this] {
                const std::string_view w = in_.Word();
                const std::size_t line = in_.Line();
                if (w == "LAYOUT") {
                    ReadLayout();
                } else if (w == "SPATIAL_FILTER") {
                    ReadSpatialFilter();
                } else {
                    // Kept as read and written back: image definitions, styles of
                    // tables and multileaders, materials, extension records...
                    KeptRecord r;
                    ReadVerbatim(r);
                    CheckNotCut(line);
                    if (r.handle && IsDictionary(r)) ownerOf_[r.handle] = OwnerOf(r);
                    objects_.push_back(std::move(r));
                }
            },
            true);
    }

    static bool IsDictionary(const KeptRecord& r) { return r.type == "DICTIONARY" || r.type == "ACDBDICTIONARYWDFLT"; }

    // Group 330 before the first subclass marker.
    static std::uint64_t OwnerOf(const KeptRecord& r)
    {
        for (const RawGroup& g : r.groups) {
            if (g.code == 100) break;
            std::uint64_t h = 0;
            if (g.code == 330 && ParseHandle(g.value, h)) return h;
        }
        return 0;
    }

    static std::vector<DictionaryEntry> Entries(const KeptRecord& r)
    {
        std::vector<DictionaryEntry> entries;
        const std::string* name = nullptr;
        for (const RawGroup& g : r.groups) {
            if (g.code == 3) {
                name = &g.value;
            } else if ((g.code == 350 || g.code == 360) && name) {
                std::uint64_t h = 0;
                if (ParseHandle(g.value, h)) entries.push_back({*name, g.code, h});
                name = nullptr;
            }
        }
        return entries;
    }

    // Dictionaries of the root the writer makes itself.
    static bool IsOwnDictionary(const std::string& upper)
    {
        return upper == "ACAD_GROUP" || upper == "ACAD_LAYOUT" || upper == "ACAD_MLINESTYLE" ||
               upper == "ACAD_PLOTSETTINGS" || upper == "ACAD_PLOTSTYLENAME";
    }

    // Which records of the objects section are kept: all but the root
    // dictionary and the dictionaries the writer makes (whose handles and other
    // entries it takes again), layouts (modelled) and the filters of clipped
    // references (made anew from the reference's clip).
    void FinishObjects()
    {
        if (objects_.empty()) return;
        for (const KeptRecord& r : objects_)
            if (r.type == "SORTENTSTABLE") ApplySortTable(r);
        std::unordered_set<std::uint64_t> dropped;
        for (const ClipRead& c : clips_)
            if (c.owner) {
                dropped.insert(c.owner);
                if (auto it = ownerOf_.find(c.owner); it != ownerOf_.end() && it->second) dropped.insert(it->second);
            }
        std::unordered_map<std::uint64_t, const KeptRecord*> byHandle;
        for (const KeptRecord& r : objects_)
            if (r.handle) byHandle.emplace(r.handle, &r);
        KeptFileParts& k = Kept();
        auto root =
            std::find_if(objects_.begin(), objects_.end(), [](const KeptRecord& r) { return r.type == "DICTIONARY"; });
        if (root != objects_.end() && root->handle && OwnerOf(*root) == 0) {
            k.root = root->handle;
            dropped.insert(root->handle);
            for (const DictionaryEntry& e : Entries(*root)) {
                const std::string up = UpperName(e.name);
                auto d = byHandle.find(e.handle);
                if (!IsOwnDictionary(up) || d == byHandle.end() || !IsDictionary(*d->second) ||
                    k.dictionaries.count(up)) {
                    k.rootEntries.push_back(e);
                    continue;
                }
                KeptFileParts::Owned& owned = k.dictionaries[up];
                owned.handle = e.handle;
                if (up != "ACAD_LAYOUT") owned.entries = Entries(*d->second);
                dropped.insert(e.handle);
            }
        }
        for (KeptRecord& r : objects_)
            if (!r.handle || !dropped.count(r.handle)) k.objects.push_back(std::move(r));
        objects_.clear();
    }

    // A block's drawing order as its sort table gives it: each entity listed
    // (331) is drawn where its sort handle (5) would be, the others where
    // their own handles are, in rising order, the file's order between equals.
    void ApplySortTable(const KeptRecord& r)
    {
        Block* block = nullptr;
        std::unordered_map<const Entity*, std::uint64_t> sortHandle;
        const Entity* listed = nullptr;
        bool marker = false;
        for (const RawGroup& g : r.groups) {
            std::uint64_t h = 0;
            if (g.code == 100) marker = true;
            if (!marker || !ParseHandle(g.value, h)) continue;
            if (g.code == 330 && !block) block = dynamic_cast<Block*>(ObjectOfHandle(h));
            if (g.code == 331) listed = dynamic_cast<const Entity*>(ObjectOfHandle(h));
            if (g.code == 5 && listed) {
                sortHandle[listed] = h;
                listed = nullptr;
            }
        }
        if (!block || sortHandle.empty()) return;
        std::vector<std::pair<std::uint64_t, Entity*>> order;
        for (Entity* e : *block) {
            const auto it = sortHandle.find(e);
            order.emplace_back(it != sortHandle.end() ? it->second : e->HandleValue(), e);
        }
        std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Entity*> entities;
        for (const auto& [key, e] : order) entities.push_back(e);
        doc_.ReorderEntities(*block, entities);
    }

    // Paper spaces no layout names (a stray "*Paper_Space0"): an empty one goes,
    // one with a drawing on it gets a layout of its own.
    void FinishStraySpaces()
    {
        std::vector<Block*> stray;
        for (Block* b : doc_.Blocks())
            if (!b->IsLayout() && !b->IsErased() && IsSpaceName(b->Name()) &&
                UpperName(b->Name()).rfind("*PAPER_SPACE", 0) == 0)
                stray.push_back(b);
        for (Block* b : stray) {
            try {
                if (b->Count() == 0) {
                    b->Delete();
                    continue;
                }
                std::string name;
                for (int n = 1; name.empty() || doc_.Layouts().Find(name); ++n) name = "Layout" + std::to_string(n);
                doc_.Layouts().Insert(std::make_unique<Layout>(doc_, name, b, doc_.Layouts().Count()));
            } catch (const Error&) {
                // Kept as an ordinary block.
            }
        }
    }

    void ReadLayout()
    {
        LayoutRead l;
        l.line = in_.Line();
        record_.xdataCodes.clear();
        record_.xdataValues.clear();
        xdata_ = XData::None;
        enum { Before, Plot, Own } part = Before;
        while (in_.Next()) {
            const int c = in_.Code();
            if (c == 0) {
                in_.Unget();
                break;
            }
            if (c == 100) {
                const std::string_view m = in_.Word();
                part = m == "AcDbPlotSettings" ? Plot : m == "AcDbLayout" ? Own : part;
                continue;
            }
            if (c == 102) {
                SkipApplicationGroup();
                continue;
            }
            if (part == Before) {
                if (c == 5) l.handle = FileHandle();
                continue;
            }
            if (part == Plot) {
                RawGroup g{c, {}};
                in_.TextInto(g.value);
                if (!IsKeptAsText(c)) g.value = std::string(Trim(g.value));
                if (IsRealCode(c) && !in_.IsReal()) {
                    BadValue(in_);
                    g.value = "0";
                }
                l.data.plotSettings.push_back(std::move(g));
                continue;
            }
            if (c >= 1000) {
                ReadXData(record_);  // not kept
                continue;
            }
            for (const Field* f : LayoutLayout().Find(c)) ReadField(*this, *f, &l.data);
        }
        CheckNotCut(l.line);
        layouts_.push_back(std::move(l));
    }

    void ReadSpatialFilter()
    {
        const std::size_t line = in_.Line();
        ClipRead clip;
        bool inFilter = false;
        while (in_.Next()) {
            const int c = in_.Code();
            if (c == 0) {
                in_.Unget();
                break;
            }
            if (c == 5) clip.handle = FileHandle();
            if (c == 102) SkipApplicationGroup();
            if (c == 330 && !inFilter) clip.owner = in_.Handle();
            if (c == 100) inFilter = true;
            if (c == 10) clip.points.push_back({in_.Real(), 0.0, 0.0});
            if (c == 20 && !clip.points.empty()) clip.points.back().y = in_.Real();
            if (c == 40) clip.matrices.push_back(in_.Real());
        }
        CheckNotCut(line);
        clips_.push_back(std::move(clip));
    }

    // --- after the last section

    // Each text takes the texts of its linked columns at once: laid out once, not once a column.
    void FinishLinkedColumns()
    {
        for (auto& [text, columns] : linkedColumns_) {
            MTextData d = text->Data();
            d.linkedColumns = std::move(columns);
            text->SetData(d);
        }
        linkedColumns_.clear();
    }

    void Finish()
    {
        // Laying out the spaces measures what they draw: no block may draw
        // itself by then (the dimensions' pictures, found below, are checked
        // again once found).
        CheckLoops();
        FinishLayouts();
        FinishStraySpaces();
        FinishClips();
        FinishObjects();
        // What the file keeps as read (its dimension styles) is the document's
        // while its kept records find what they draw: a leader its arrowhead.
        if (kept_) doc_.SetKeptFileParts(kept_);
        FindPictures();
        CheckLoops();
        FinishLinkedColumns();
        FinishCurrent();
        for (Layer* l : locked_) l->SetLock(true);
        // Fresh handles past everything the file uses.
        std::uint64_t seed = std::max<std::uint64_t>(maxHandle_ + 1, 1);
        if (fileSeed_ > seed) seed = fileSeed_;
        doc_.SetHandSeed(seed);
        for (const auto& o : doc_.Objects())
            if (o->HandleValue() >= kProvisional) doc_.SetObjectHandle(*o, doc_.AllocateHandle());
        UniqueRawRecordHandles();
        if (!followerRuns_.empty()) Kept();
        if (kept_ && !kept_->Empty()) {
            UniqueKeptHandles(*kept_);
            doc_.SetKeptFileParts(std::move(kept_));
        } else {
            doc_.SetKeptFileParts(nullptr);
        }
    }

    // A kept record whose handle an object or another record has too (a damaged
    // file), or that has none where one is needed, gets a fresh one: a saved file
    // never holds a handle twice. What named the record by its old handle names
    // the new one, where it cannot have meant the other holder: the list of the
    // text a column or frame belongs to, and dictionary entries when the other
    // holder is an entity or a table record (never an entry).
    // The records an entity kept whole holds (a mesh's vertices) keep their
    // handles, but one an object or an earlier record has: that one gets a
    // fresh one.
    void UniqueRawRecordHandles()
    {
        absl::flat_hash_set<std::uint64_t> seen;
        for (RawEntity* raw : rawEntities_) {
            std::vector<RawGroup> groups;
            for (std::size_t i = 0; i < raw->Groups().size(); ++i) {
                const RawGroup& g = raw->Groups()[i];
                std::uint64_t h = 0;
                if (g.code != 5 || !ParseHandle(g.value, h)) continue;
                const AcadObject* holder = doc_.FindByHandle(h);
                if ((!holder || holder == raw) && seen.insert(h).second) continue;
                if (groups.empty()) groups = raw->Groups();
                const std::uint64_t fresh = doc_.AllocateHandle();
                groups[i].value = HandleText(fresh);
                seen.insert(fresh);
            }
            if (!groups.empty()) raw->SetGroups(std::move(groups));
        }
    }

    void UniqueKeptHandles(KeptFileParts& k)
    {
        absl::flat_hash_set<std::uint64_t> seen;
        // The records an entity kept whole holds (a mesh's vertices) keep their handles.
        for (const RawEntity* raw : rawEntities_)
            for (const RawGroup& g : raw->Groups())
                if (std::uint64_t h = 0; g.code == 5 && ParseHandle(g.value, h)) seen.insert(h);
        auto unique = [&](std::uint64_t h) { return h && !doc_.FindByHandle(h) && seen.insert(h).second; };
        // A record whose handle group is no handle gets a fresh one too: kept as
        // written, two such records would save the same text.
        auto fix = [&](KeptRecord& r) {
            if (r.handle && unique(r.handle)) return;
            RawGroup* own = nullptr;
            for (RawGroup& g : r.groups)
                if (g.code == 5 || g.code == 105) {  // as it was read (ReadVerbatimRest)
                    own = &g;
                    break;
                }
            if (!r.handle && !own) return;
            r.handle = doc_.AllocateHandle();
            if (own) own->value = HandleText(r.handle);
        };
        // The dictionaries the writer makes keep the file's handles only when unique.
        if (k.root && !unique(k.root)) k.root = 0;
        for (auto& [name, d] : k.dictionaries)
            if (!unique(d.handle)) d.handle = doc_.AllocateHandle();
        std::unordered_map<std::uint64_t, std::uint64_t> entries;  // old handle → new
        for (KeptRecord& r : k.objects) {
            const std::uint64_t old = r.handle;
            const bool heldByObject = old && doc_.FindByHandle(old);
            fix(r);
            if (r.handle != old && heldByObject) entries.emplace(old, r.handle);
        }
        if (!entries.empty()) RenameEntries(k, entries);
        // Texts in the order of their handles: fresh handles do not depend on where texts lie in memory.
        std::vector<std::pair<const Entity*, std::vector<KeptRecord>*>> lists;
        for (auto& [main, records] : k.columns) lists.emplace_back(main, &records);
        std::sort(lists.begin(), lists.end(),
                  [](const auto& a, const auto& b) { return a.first->HandleValue() < b.first->HandleValue(); });
        for (auto& [main, records] : lists)
            for (KeptRecord& r : *records) {
                const std::uint64_t old = r.handle;
                fix(r);
                if (r.handle != old) RenameListed(*main, old, r.handle);
            }
        for (KeptDimStyle& d : k.dimStyles)
            if (!unique(d.handle)) d.handle = doc_.AllocateHandle();
        UniqueMadeHandles(k, unique);
    }

    // The handles kept for records the writer makes are taken again only when
    // nothing else has them: else the writer gives the record a fresh one.
    // Owners in the order of their handles, so that which of two records that
    // shared a handle keeps it does not depend on where they lie in memory.
    template <class Unique>
    void UniqueMadeHandles(KeptFileParts& k, Unique& unique)
    {
        auto keep = [&](std::uint64_t& h) {
            if (h && !unique(h)) h = 0;
        };
        std::vector<std::pair<std::string, std::uint64_t*>> heads;
        for (auto& [name, h] : k.tableHeads) heads.emplace_back(name, &h);
        std::sort(heads.begin(), heads.end());
        for (auto& [name, h] : heads) keep(*h);
        std::erase_if(k.tableHeads, [](const auto& e) { return e.second == 0; });
        keep(k.activeView);
        auto byHandle = [](auto& map) {
            std::vector<std::pair<std::uint64_t, decltype(&map.begin()->second)>> v;
            for (auto& [owner, handles] : map) v.emplace_back(owner->HandleValue(), &handles);
            std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            return v;
        };
        for (auto& [owner, ends] : byHandle(k.blockEnds)) {
            keep(ends->begin);
            keep(ends->end);
        }
        std::erase_if(k.blockEnds, [](const auto& e) { return e.second.begin == 0 && e.second.end == 0; });
        for (auto& [owner, clip] : byHandle(k.clips)) {
            keep(clip->dictionary);
            keep(clip->filters);
            keep(clip->filter);
        }
        // In the order they were read.
        k.followers.reserve(followerRuns_.size());
        for (const auto& [owner, run] : followerRuns_) {
            bool all = true;
            for (std::uint64_t i = 0; all && i < run.count; ++i) all = unique(run.first + i);
            if (all) k.followers.insert_or_assign(owner, run);
        }
        followerRuns_.clear();
    }

    void RenameEntries(KeptFileParts& k, const std::unordered_map<std::uint64_t, std::uint64_t>& renamed)
    {
        auto rename = [&](DictionaryEntry& e) {
            if (auto it = renamed.find(e.handle); it != renamed.end()) e.handle = it->second;
        };
        for (DictionaryEntry& e : k.rootEntries) rename(e);
        for (auto& [name, d] : k.dictionaries)
            for (DictionaryEntry& e : d.entries) rename(e);
        for (KeptRecord& r : k.objects) {
            if (!IsDictionary(r)) continue;
            bool named = false;
            for (RawGroup& g : r.groups) {
                std::uint64_t h = 0;
                if (g.code == 3) named = true;
                if ((g.code == 350 || g.code == 360) && named && ParseHandle(g.value, h))
                    if (auto it = renamed.find(h); it != renamed.end()) g.value = HandleText(it->second);
                if (g.code == 350 || g.code == 360) named = false;
            }
        }
    }

    // The text's list of its columns and frame names `to` where it named `from`.
    void RenameListed(const Entity& main, std::uint64_t from, std::uint64_t to)
    {
        AcadObject* text = doc_.FindByHandle(main.HandleValue());
        if (!text || !text->HasXData()) return;
        std::vector<int> codes;
        std::vector<Variant> values;
        text->GetXData("", codes, values);
        bool changed = false;
        ForEachListedHandle(codes, values, [&](Variant& v) {
            std::uint64_t h = 0;
            if (ParseHandle(v.AsString(), h) && h == from) {
                v = Variant(HandleText(to));
                changed = true;
            }
        });
        if (changed) text->SetXData(codes, values);
    }

    Layout* LayoutOfBlock(const Block& b)
    {
        for (Layout* l : doc_.Layouts())
            if (&l->Block() == &b) return l;
        return nullptr;
    }

    void FinishLayouts()
    {
        for (LayoutRead& r : layouts_) {
            auto* block = dynamic_cast<Block*>(ObjectOfHandle(r.data.block));
            if (!block || block->IsErased()) continue;
            Layout* layout = LayoutOfBlock(*block);
            try {
                FinishLayout(r, block, layout);
            } catch (const Error& e) {
                if (e.Code() == ErrorCode::FileError) throw;
                LeaveOut(Left::Record, "LAYOUT", e.Description(), r.line);
            }
        }
    }

    void FinishLayout(LayoutRead& r, Block* block, Layout* layout)
    {
        if (!layout) {
            if (!IsSpaceName(block->Name()) || r.data.name.empty()) return;
            std::string name = r.data.name;
            for (int n = 2; doc_.Layouts().Find(name); ++n) name = r.data.name + " (" + std::to_string(n) + ")";
            layout = doc_.Layouts().Insert(std::make_unique<Layout>(doc_, name, block, r.data.tabOrder));
        } else if (!layout->ModelType() && !r.data.name.empty() && !NamesEqual(layout->Name(), r.data.name)) {
            if (!doc_.Layouts().Find(r.data.name)) layout->SetName(r.data.name);
        }
        layout->SetTabOrder(r.data.tabOrder);
        LayoutData& d = layout->Data();
        d.limitsMin = r.data.limitsMin;
        d.limitsMax = r.data.limitsMax;
        d.insertionBase = r.data.insertionBase;
        d.extentsMin = r.data.extentsMin;
        d.extentsMax = r.data.extentsMax;
        d.plotSettings = std::move(r.data.plotSettings);
        ReKey(*layout, r.handle);
    }

    void FinishClips()
    {
        for (const ClipRead& c : clips_) {
            // SPATIAL_FILTER → its dictionary → the extension dictionary → the reference.
            auto up = [this](std::uint64_t h) {
                auto it = ownerOf_.find(h);
                return it == ownerOf_.end() ? std::uint64_t{0} : it->second;
            };
            auto* ref = dynamic_cast<ExternalReference*>(ObjectOfHandle(up(up(c.owner))));
            if (!ref || c.points.size() < 2) continue;
            std::vector<Point3d> local = c.points;
            if (local.size() == 2)
                local = {local[0], {local[1].x, local[0].y, 0.0}, local[1], {local[0].x, local[1].y, 0.0}};
            Transform toBlock;  // boundary → block coordinates
            if (c.matrices.size() >= 24) {
                Transform clip;
                const double* m = c.matrices.data() + c.matrices.size() - 12;
                for (int col = 0; col < 4; ++col)
                    for (int row = 0; row < 3; ++row) clip.m[row][col] = m[col * 3 + row];
                if (auto inv = clip.Inverse()) toBlock = *inv;
            }
            const Transform world = ref->BlockTransform() * toBlock;
            std::vector<Point3d> points;
            for (const Point3d& p : local) points.push_back(world.Apply(p));
            try {
                ref->SetClipBoundary(points);
                Kept().clips[ref] = {up(c.owner), c.owner, c.handle};
            } catch (const Error&) {
                // A boundary the engine cannot use leaves the reference unclipped.
            }
        }
    }

    // A dimension draws the picture the file gives it, when that block is
    // there and holds something; else it is drawn from its points. A kept
    // record finds the block it draws (a picture, a table's block, a
    // multileader's block) once every block of the file is read.
    void FindPictures()
    {
        for (const Picture& p : pictures_) {
            if (p.dimension->IsErased()) continue;
            const Block* b = doc_.Blocks().Find(p.block);
            if (!b || b->IsLayout()) continue;
            p.dimension->SetPicture(doc_.Blocks().IndexOf(*b), p.at);
            if (!p.dimension->DrawnReference()) Kept().emptyPictures[p.dimension] = b;
        }
        for (RawEntity* raw : rawEntities_)
            if (!raw->IsErased()) raw->FindBlock();
    }

    void FinishCurrent()
    {
        auto text = [this](const char* name) -> std::string {
            auto it = deferred_.find(name);
            return it != deferred_.end() && it->second.IsString() ? it->second.AsString() : std::string();
        };
        if (Layer* l = doc_.Layers().Find(text("CLAYER"))) try {
                doc_.SetActiveLayer(*l);
            } catch (const Error&) {
            }
        for (Layer* l : frozen_) try {
                l->SetFreeze(true);
            } catch (const Error&) {
                // The current layer cannot be frozen.
            }
        if (Linetype* lt = doc_.Linetypes().Find(text("CELTYPE"))) try {
                doc_.SetActiveLinetype(*lt);
            } catch (const Error&) {
            }
        if (TextStyle* s = doc_.TextStyles().Find(text("TEXTSTYLE"))) try {
                doc_.SetActiveTextStyle(*s);
            } catch (const Error&) {
            }
        // Paper space was active: its layout (the one of "*Paper_Space") becomes the
        // active one. A layout read from a file has been shown before: it gets no
        // viewport of the engine's (nor takes a handle for one).
        if (auto it = deferred_.find("TILEMODE");
            it != deferred_.end() && it->second.IsNumber() && it->second.AsInt() == 0)
            if (Block* paper = doc_.Blocks().Find("*Paper_Space"))
                if (Layout* layout = LayoutOfBlock(*paper); layout && !layout->ModelType()) try {
                        doc_.SetActiveLayout(*layout, true);
                    } catch (const Error&) {
                    }
    }

    static constexpr std::uint32_t kUnsetIndex = 0xFFFFFFFFu;

    Document& doc_;
    GroupReader in_;
    CodecSet codecs_;
    std::string lastKind_;
    EntityCodec* lastCodec_ = nullptr;
    Record record_;
    Record attribRecord_;  // a reference's attributes, read while record_ still holds the reference
    const RecordLayout& common_ = CommonLayout();
    CommonData defaultCommon_ = DefaultCommon(doc_);
    NameCache layers_, linetypes_, styles_, blocks_;
    std::unordered_map<std::string, DimStyleRecord> dimStyles_;
    std::unordered_map<std::string, Variant> deferred_;
    std::vector<Layer*> frozen_, locked_;
    std::vector<LayoutRead> layouts_;
    std::vector<ClipRead> clips_;
    std::unordered_map<std::uint64_t, std::uint64_t> ownerOf_;  // dictionaries
    struct Picture {
        DimAligned* dimension;
        std::string block;
        Point3d at;
    };
    std::vector<Picture> pictures_;
    std::vector<RawEntity*> rawEntities_;
    std::unordered_map<const Block*, std::size_t> blockLines_;
    std::unordered_map<const Block*, std::uint64_t> checkedAt_;
    std::uint64_t definitionsVersion_ = 0;
    std::uint64_t maxHandle_ = 0;
    std::uint64_t fileSeed_ = 0;
    bool sawVport_ = false;
    std::shared_ptr<KeptFileParts> kept_;
    std::vector<KeptRecord> objects_;             // of the objects section, until Finish sorts them
    std::vector<std::uint64_t> followerHandles_;  // of the VERTEX and SEQEND records just read
    std::vector<std::pair<const Entity*, KeptFileParts::Run>> followerRuns_;  // the handles of those kept
    // Column text handle → its main text and the block it was read in (null: the entities' section).
    std::unordered_map<std::uint64_t, std::pair<Entity*, const Block*>> columnOf_;
    std::unordered_map<std::uint64_t, const Block*> listed_;  // every handle a text has listed so far, and where
    std::unordered_map<MText*, std::vector<std::string>> linkedColumns_;  // the texts of the linked columns read
    struct LeftOut {
        Left category;
        std::string text;
        std::vector<std::size_t> lines;  // the first kListedLines of them
        std::size_t count = 0;
    };
    static constexpr std::size_t kListedKinds = 12;  // entries of a category the note lists
    static constexpr std::size_t kListedLines = 5;   // lines of an entry it lists
    std::vector<LeftOut> leftOut_;
    std::unordered_map<std::string, std::size_t> leftIndex_;  // category and key → entry
    std::array<std::size_t, kLeftKinds> leftCount_{}, listedKinds_{}, unlisted_{};
    std::string ending_;         // how the text ended, when not with EOF after a whole section
    std::string openSection_;    // the section being read
    std::string current_;        // the kind of record being read
    bool sawSection_ = false;    // the text began a section: it is a drawing
    std::size_t badValues_ = 0;  // values that did not read, so far
    // Groups of the record being read that were left out (true) or read as 0, by line.
    std::vector<std::pair<std::size_t, bool>> mended_;
    // Extended data of the record being read: before any application's name,
    // in one kept, or in one left out.
    enum class XData : std::uint8_t { None, Owned, Skipped } xdata_ = XData::None;
    std::unordered_map<const Entity*, std::size_t> definitionLines_;  // references of block definitions → line
    bool inDefinition_ = false;                                       // reading a block definition's entities

    static CommonData DefaultCommon(Document& doc)
    {
        CommonData c;
        if (Layer* l = doc.Layers().Find("0")) c.layer = l->Index();
        if (Linetype* lt = doc.Linetypes().Find("ByLayer")) c.linetype = lt->Index();
        return c;
    }
};

}  // namespace

namespace {

[[noreturn]] void OutOfMemory(const std::string& sourceName)
{
    throw Error(ErrorCode::FileError, "Memória insuficiente para ler o desenho \"" + sourceName + "\"");
}

// Bytes of drawing file per object, about the fewest a line of a drawing
// takes: the handle map is sized from the file's size once. A smaller figure
// would map and clear a table twice as large as a network drawing needs; a
// larger one would have it grow during the read of a drawing of lines.
constexpr std::size_t kFileBytesPerObject = 160;

std::size_t SizeOf(std::string_view text) { return text.size(); }

std::size_t SizeOf(std::FILE* file)
{
    const long at = std::ftell(file);
    if (at < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(file);
    if (std::fseek(file, at, SEEK_SET) != 0) return 0;
    return end > at ? static_cast<std::size_t>(end - at) : 0;
}

template <class Source, class... Rest>
std::string Read(Document& doc, const std::string& sourceName, Source from, Rest... rest)
{
    std::string note;
    try {
        doc.ReserveObjects(SizeOf(from) / kFileBytesPerObject);
        // Blocks name blocks still to come: the reader looks for loops itself.
        const Blocks::Unchecked unchecked(doc.Blocks());
        Reader reader(doc, sourceName, from, rest...);
        reader.Run();
        note = reader.Note();
    } catch (const Error&) {
        throw;
    } catch (const std::bad_alloc&) {
        OutOfMemory(sourceName);
    } catch (const std::length_error&) {  // a size past what memory can hold
        OutOfMemory(sourceName);
    } catch (const std::exception& e) {
        throw Error(ErrorCode::FileError,
                    "Erro interno ao ler o desenho \"" + sourceName + "\": " + std::string(e.what()));
    }
    // The host's way of telling the person: a line on the command line.
    if (!note.empty() && doc.Application())
        if (InputSource* input = doc.Application()->GetInputSource()) input->Message(note);
    return note;
}

}  // namespace

std::string ReadDxfText(Document& doc, std::string_view text, const std::string& sourceName)
{
    return Read(doc, sourceName, text);
}

namespace dxf {
std::string ReadDxfFrom(Document& doc, std::FILE* file, const std::string& sourceName, std::size_t piece)
{
    return Read(doc, sourceName, file, piece);
}
}  // namespace dxf

}  // namespace acad
