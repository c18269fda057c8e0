#include "platform/acad/Document.h"

#include <absl/container/flat_hash_map.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <mutex>

#include "platform/acad/Application.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/Error.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/SelectionSets.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/TextEntities.h"
#include "platform/acad/Utility.h"
#include "platform/acad/XDataStore.h"

namespace acad {

// ---------------------------------------------------------------- object ids

namespace {
// Object ids are positions in one table for the whole run, so an id never
// changes and never comes back, across every document. The table is a fixed
// row of chunks, each made once and never moved: a drawing being read takes a
// million ids, and neither a lock per id nor a growing vector (copied at every
// doubling) is needed for lookups from other threads to stay safe.
constexpr std::int32_t kFirstId = 0x10000;
constexpr std::size_t kMaxIds = static_cast<std::size_t>(INT32_MAX - kFirstId);
constexpr std::size_t kIdChunkBits = 16;
constexpr std::size_t kIdChunkSize = std::size_t{1} << kIdChunkBits;
constexpr std::size_t kIdChunks = (kMaxIds + kIdChunkSize - 1) / kIdChunkSize;
using IdSlot = std::atomic<AcadObject*>;
std::atomic<IdSlot*> g_idChunks[kIdChunks];  // zero (no chunk) until needed
std::atomic<std::size_t> g_idCount{0};
std::mutex g_idChunkMutex;  // only to make a chunk

IdSlot& NewIdSlot(std::size_t i)
{
    std::atomic<IdSlot*>& row = g_idChunks[i >> kIdChunkBits];
    IdSlot* chunk = row.load(std::memory_order_acquire);
    if (!chunk) {
        std::lock_guard lock(g_idChunkMutex);
        chunk = row.load(std::memory_order_acquire);
        if (!chunk) {
            chunk = new IdSlot[kIdChunkSize]();
            row.store(chunk, std::memory_order_release);
        }
    }
    return chunk[i & (kIdChunkSize - 1)];
}

IdSlot* IdSlotOf(std::int32_t id)
{
    if (id < kFirstId) return nullptr;
    const auto i = static_cast<std::size_t>(id - kFirstId);
    if (i >= kMaxIds) return nullptr;
    IdSlot* chunk = g_idChunks[i >> kIdChunkBits].load(std::memory_order_acquire);
    return chunk ? &chunk[i & (kIdChunkSize - 1)] : nullptr;
}

std::int32_t RegisterId(AcadObject* o)
{
    // Past the limit the count keeps rising, but it is 64 bits wide and every later call fails too.
    const std::size_t i = g_idCount.fetch_add(1, std::memory_order_relaxed);
    if (i >= kMaxIds) throw Error(ErrorCode::InvalidInput, "Limite de identificadores de objetos atingido");
    NewIdSlot(i).store(o, std::memory_order_release);
    return kFirstId + static_cast<std::int32_t>(i);
}

AcadObject* LookupId(std::int32_t id)
{
    IdSlot* slot = IdSlotOf(id);
    return slot ? slot->load(std::memory_order_acquire) : nullptr;
}

void ForgetId(std::int32_t id)
{
    if (IdSlot* slot = IdSlotOf(id)) slot->store(nullptr, std::memory_order_release);
}

void ForgetIds(const std::vector<std::unique_ptr<AcadObject>>& objects)
{
    for (const auto& o : objects) ForgetId(o->ObjectID());
}
}  // namespace

// Handle to object, in an open-addressing table: one 16-byte slot per object
// instead of a node of its own. Handles of a drawing read from a file are dense
// and mostly rising; a hash that scatters every handle makes each insertion of
// a large drawing a cache miss. So each run of 64
// handles keeps its order in one stretch of the table and only the runs are
// scattered; the 7-bit tag the table compares first mixes in the run too, so
// handles with a power-of-two stride neither pile up nor share one tag. The
// scattering starts from an address that differs at every run of the program,
// so a crafted file cannot aim its handles at one stretch of the table.
struct HandleHash {
    std::size_t operator()(std::uint64_t handle) const
    {
        constexpr int kRunBits = 6;
        std::uint64_t run = (handle >> kRunBits) ^ reinterpret_cast<std::uintptr_t>(&g_idCount);
        run ^= run >> 33;
        run *= 0xff51afd7ed558ccdULL;
        run ^= run >> 33;
        run *= 0xc4ceb9fe1a85ec53ULL;
        run ^= run >> 33;
        // The table's position comes from the bits above the lowest 7, its tag from those 7.
        const std::uint64_t position = (run << kRunBits) | (handle & ((std::uint64_t{1} << kRunBits) - 1));
        return static_cast<std::size_t>((position << 7) | ((handle ^ (run >> 57)) & 0x7F));
    }
};

struct Document::HandleMap {
    absl::flat_hash_map<std::uint64_t, AcadObject*, HandleHash> map;
};

// ---------------------------------------------------------------- construction

Document::Document(acad::Application* app)
    : app_(app),
      name_("Drawing1.dwg"),
      byHandle_(std::make_unique<HandleMap>()),
      blocks_(*this),
      layers_(*this),
      linetypes_(*this),
      textStyles_(*this),
      regApps_(*this),
      layouts_(*this)
{
    CreateDefaults();
}

Document::~Document()
{
    // The command line, input and selection layers may still look at the drawing
    // while they go: they go first, while every object is alive.
    commandLine_.reset();
    utility_.reset();
    activeSelectionSet_.reset();
    selectionSets_.reset();
    ForgetIds(objects_);
}

void Document::CreateDefaults()
{
    variables_ = std::make_unique<SystemVariables>(*this);

    Linetype* byBlock = linetypes_.Add("ByBlock");
    Linetype* byLayer = linetypes_.Add("ByLayer");
    Linetype* continuous = linetypes_.Add("Continuous");
    continuous->SetDescription("Solid line");
    (void)byBlock;
    currentLinetype_ = byLayer->Index();

    Layer* zero = layers_.Add("0");
    currentLayer_ = zero->Index();
    TextStyle* standard = textStyles_.Add("Standard");
    currentTextStyle_ = standard->Index();
    regApps_.Add("ACAD");

    modelSpace_ = blocks_.Add({0, 0, 0}, "*Model_Space");
    Block* paper = blocks_.Add({0, 0, 0}, "*Paper_Space");
    Layout* model = layouts_.Insert(std::make_unique<Layout>(*this, "Model", modelSpace_, 0));
    Layout* layout1 = layouts_.Insert(std::make_unique<Layout>(*this, "Layout1", paper, 1));
    activeLayout_ = model;
    lastPaperLayout_ = layout1;
    modelView_.SetAspectRatio(static_cast<double>(screenWidth_) / screenHeight_);

    selectionSets_ = std::make_unique<acad::SelectionSets>(*this);
    activeSelectionSet_ = std::make_unique<acad::SelectionSet>(*this, "PICKFIRST");
    utility_ = std::make_unique<acad::Utility>(*this);
    commandLine_ = std::make_unique<acad::CommandLine>(*this);
    savedRevision_ = revision_;
}

// ---------------------------------------------------------------- names and files

std::string Document::FullName() const { return path_.empty() ? std::string() : path_.string(); }

std::string Document::Path() const
{
    return path_.empty() ? NewDrawingFolder().string() : path_.parent_path().string();
}

void Document::Activate()
{
    if (app_) app_->SetActiveDocument(*this);
}

bool Document::Active() const { return app_ && app_->Documents().Count() > 0 && app_->ActiveDocument() == this; }

void Document::SaveAs(const std::string& fullFileName)
{
    if (fullFileName.empty()) ThrowInvalidInput("nome de arquivo vazio");
    const std::filesystem::path p = FileOfName(fullFileName, Path());
    WriteDxf(*this, p);
    SetFullName(p);
    savedRevision_ = revision_;
}

void Document::Save()
{
    if (path_.empty())
        throw Error(ErrorCode::FileError, "O desenho \"" + name_ + "\" ainda não tem arquivo: use SaveAs");
    WriteDxf(*this, path_);
    savedRevision_ = revision_;
}

void Document::SetFullName(const std::filesystem::path& p)
{
    std::error_code ec;
    path_ = std::filesystem::absolute(p, ec);
    if (ec) path_ = p;
    name_ = path_.filename().string();
}

void Document::ForgetName() { path_.clear(); }

std::filesystem::path FileOfName(const std::string& name, const std::filesystem::path& base)
{
    namespace fs = std::filesystem;
    const auto from = [&](const fs::path& p) { return p.is_relative() && !base.empty() ? base / p : p; };
    fs::path literal = from(fs::path(name));
    if (name.find('\\') == std::string::npos) return literal;
    // Each part with a "\" that exists as written is a name of its own.
    fs::path prefix;
    std::error_code ec;
    for (const fs::path& part : literal) {
        prefix /= part;
        if (part.string().find('\\') != std::string::npos && fs::exists(fs::symlink_status(prefix, ec)))
            throw Error(ErrorCode::FileError, "O nome \"" + name + "\" não pode ser usado: \"" + prefix.string() +
                                                  "\" tem \"\\\" no nome, que é lido como separador de pastas");
    }
    std::string joined = name;
    std::replace(joined.begin(), joined.end(), '\\', '/');
    return from(fs::path(joined));
}

std::filesystem::path NewDrawingFolder()
{
    std::filesystem::path home;
    if (const char* h = std::getenv("HOME"); h && *h)
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    std::error_code ec;
    if (!home.empty() && std::filesystem::is_directory(home / "Documentos", ec)) return home / "Documentos";
    return home;
}

std::vector<std::filesystem::path> Document::SupportFolders() const
{
    std::vector<std::filesystem::path> r;
    if (!path_.empty()) r.push_back(path_.parent_path());
    if (app_)
        for (const auto& f : app_->SupportFolders()) r.push_back(f);
    return r;
}

// ---------------------------------------------------------------- spaces and layouts

acad::Block& Document::PaperSpace() const
{
    if (!activeLayout_->ModelType()) return activeLayout_->Block();
    if (lastPaperLayout_ && !lastPaperLayout_->IsErased()) return lastPaperLayout_->Block();
    auto papers = layouts_.PaperLayouts();
    return papers.empty() ? *modelSpace_ : papers.front()->Block();
}

std::vector<acad::PViewport*> Document::Viewports(const acad::Layout& layout) const
{
    std::vector<PViewport*> r;
    for (Entity* e : layout.Block())
        if (auto* vp = dynamic_cast<PViewport*>(e)) r.push_back(vp);
    return r;
}

void Document::SetActiveLayout(acad::Layout& layout, bool shownBefore)
{
    layout.CheckAlive();
    if (&layout.Document() != this) throw Error(ErrorCode::WrongDocument, "O layout pertence a outro desenho");
    if (!layout.ModelType()) {
        NamePaperSpace(layout);
        lastPaperLayout_ = &layout;
        // A layout shown for the first time gets its viewport, as the host does.
        auto vps = Viewports(layout);
        if (vps.empty() && !shownBefore) {
            const LayoutData& d = layout.Data();
            Point3d c = Midpoint(d.limitsMin, d.limitsMax);
            double w = std::max(1.0, d.limitsMax.x - d.limitsMin.x), h = std::max(1.0, d.limitsMax.y - d.limitsMin.y);
            activeViewport_ = layout.Block().AddPViewport(c, w * 0.9, h * 0.9);
        } else if (!activeViewport_ || activeViewport_->IsErased() ||
                   activeViewport_->OwnerBlock() != &layout.Block()) {
            activeViewport_ = vps.empty() ? nullptr : vps.front();
        }
    }
    activeLayout_ = &layout;
    mspace_ = false;
    NoteChange();
    ViewChanged.Raise();
}

void Document::NamePaperSpace(acad::Layout& layout)
{
    Block& mine = layout.Block();
    Block* current = blocks_.Find("*Paper_Space");
    if (current == &mine) return;
    std::string myName = mine.Name();
    if (current) {
        current->SetNameRaw("*Paper_Space_swap");
        blocks_.Renamed(*current, "*Paper_Space");
    }
    mine.SetNameRaw("*Paper_Space");
    blocks_.Renamed(mine, myName);
    if (current) {
        current->SetNameRaw(myName);
        blocks_.Renamed(*current, "*Paper_Space_swap");
    }
}

void Document::DeleteLayout(acad::Layout& layout)
{
    layout.CheckAlive();
    std::vector<Layout*> others;
    for (Layout* l : layouts_.PaperLayouts())
        if (l != &layout) others.push_back(l);
    const bool wasActive = activeLayout_ == &layout;
    Block& block = layout.Block();
    block.Clear();
    block.SetLayout(nullptr);
    block.Delete();
    layout.AcadObject::Delete();
    layouts_.NoteErased(layout);
    paperViews_.erase(&layout);
    if (others.empty()) others.push_back(layouts_.Add("Layout1"));
    if (lastPaperLayout_ == &layout) {
        lastPaperLayout_ = others.front();
        NamePaperSpace(*lastPaperLayout_);
    }
    if (wasActive) SetActiveLayout(*others.front());
}

acad::Layer& Document::ActiveLayer() const
{
    Layer* l = layers_.ByIndex(currentLayer_);
    if (!l || l->IsErased()) l = layers_.Find("0");
    return *l;
}

void Document::SetActiveLayer(acad::Layer& layer)
{
    layer.CheckAlive();
    if (&layer.Document() != this) throw Error(ErrorCode::WrongDocument, "O layer pertence a outro desenho");
    if (layer.Freeze())
        throw Error(ErrorCode::NotApplicable, "O layer congelado \"" + layer.Name() + "\" não pode ser o corrente");
    currentLayer_ = layer.Index();
    NoteChange();
}

acad::Linetype& Document::ActiveLinetype() const
{
    Linetype* l = linetypes_.ByIndex(currentLinetype_);
    if (!l || l->IsErased()) l = linetypes_.Find("ByLayer");
    return *l;
}

void Document::SetActiveLinetype(acad::Linetype& lt)
{
    lt.CheckAlive();
    if (&lt.Document() != this) throw Error(ErrorCode::WrongDocument, "O tipo de linha pertence a outro desenho");
    currentLinetype_ = lt.Index();
    NoteChange();
}

acad::TextStyle& Document::ActiveTextStyle() const
{
    TextStyle* s = textStyles_.ByIndex(currentTextStyle_);
    if (!s || s->IsErased()) s = textStyles_.Find("Standard");
    return *s;
}

void Document::SetActiveTextStyle(acad::TextStyle& style)
{
    style.CheckAlive();
    if (&style.Document() != this) throw Error(ErrorCode::WrongDocument, "O estilo pertence a outro desenho");
    currentTextStyle_ = style.Index();
    NoteChange();
}

acad::SelectionSets& Document::SelectionSets() const { return *selectionSets_; }
acad::SelectionSet& Document::ActiveSelectionSet() const { return *activeSelectionSet_; }
acad::Utility& Document::Utility() const { return *utility_; }
acad::CommandLine& Document::CommandLine() const { return *commandLine_; }

Variant Document::GetVariable(const std::string& name) const { return variables_->Get(name); }

void Document::SetVariable(const std::string& name, const Variant& value) { variables_->Set(name, value); }

void Document::RefreshCurrentColor()
{
    // CECOLOR holds "BYLAYER", "BYBLOCK" or a colour number (checked when set).
    std::string c = UpperName(variables_->Get("CECOLOR").AsString());
    int v = 256;
    if (c == "BYBLOCK") {
        v = 0;
    } else if (c != "BYLAYER" && !c.empty() && c.size() <= 3 &&
               std::all_of(c.begin(), c.end(), [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); })) {
        v = std::stoi(c);
    }
    currentColor_ = v;
}

void Document::ReorderEntities(acad::Block& block, const std::vector<Entity*>& entities)
{
    std::vector<std::int32_t> ids;
    for (const Entity* e : entities) ids.push_back(e->ObjectID());
    std::sort(ids.begin(), ids.end());
    for (std::size_t i = 0; i < entities.size(); ++i) {
        entities[i]->id_ = ids[i];
        if (IdSlot* slot = IdSlotOf(ids[i])) slot->store(entities[i], std::memory_order_release);
    }
    block.entities_.Reorder(entities);
    ++block.contentVersion_;
}

void Document::RefreshCurrentLinetypeScale() { currentLinetypeScale_ = variables_->Get("CELTSCALE").AsDouble(); }

void Document::Regen(int whichViewports)
{
    if (whichViewports != acActiveViewport && whichViewports != acAllViewports)
        ThrowInvalidInput("tipo de regeneração " + std::to_string(whichViewports));
    FlushBlockChanges();
    RedrawRequested.Raise();
}

int Document::ActiveSpace() const { return activeLayout_->ModelType() ? acModelSpace : acPaperSpace; }

void Document::SetActiveSpace(int space)
{
    if (space == acModelSpace) {
        SetActiveLayout(*layouts_.Item("Model"));
        return;
    }
    if (space != acPaperSpace) ThrowInvalidInput("espaço " + std::to_string(space) + " (use 0 papel ou 1 modelo)");
    if (!activeLayout_->ModelType()) return;
    Layout* target = lastPaperLayout_ && !lastPaperLayout_->IsErased() ? lastPaperLayout_ : nullptr;
    if (!target) {
        auto papers = layouts_.PaperLayouts();
        target = papers.empty() ? layouts_.Add("Layout1") : papers.front();
    }
    SetActiveLayout(*target);
}

void Document::SetMSpace(bool b)
{
    if (activeLayout_->ModelType())
        throw Error(ErrorCode::NotApplicable, "MSpace só se aplica quando o espaço do papel está ativo");
    if (b && !ActivePViewport())
        throw Error(ErrorCode::NotApplicable, "Não há janela de visualização ativa neste layout");
    mspace_ = b;
    ViewChanged.Raise();
}

acad::PViewport* Document::ActivePViewport() const
{
    if (activeLayout_->ModelType())
        throw Error(ErrorCode::NotApplicable, "Não há janela de visualização no espaço do modelo");
    if (activeViewport_ && !activeViewport_->IsErased() && activeViewport_->OwnerBlock() == &activeLayout_->Block())
        return activeViewport_;
    auto vps = Viewports(*activeLayout_);
    if (vps.empty())
        throw Error(ErrorCode::NotApplicable,
                    "O layout \"" + activeLayout_->Name() + "\" não tem janela de visualização");
    return vps.front();
}

void Document::SetActivePViewport(acad::PViewport& vp)
{
    vp.CheckAlive();
    if (vp.OwnerBlock() != &activeLayout_->Block())
        throw Error(ErrorCode::NotApplicable, "A janela de visualização não está no layout ativo");
    activeViewport_ = &vp;
    ViewChanged.Raise();
}

// ---------------------------------------------------------------- views

acad::View& Document::ActiveView() { return const_cast<acad::View&>(static_cast<const Document*>(this)->ActiveView()); }

const acad::View& Document::ActiveView() const
{
    if (activeLayout_->ModelType()) return modelView_;
    if (mspace_) {
        if (PViewport* vp = ActivePViewport()) return vp->View();
    }
    return const_cast<Document*>(this)->PaperView(*activeLayout_);
}

acad::View& Document::PaperView(const acad::Layout& layout)
{
    auto it = paperViews_.find(&layout);
    if (it == paperViews_.end()) {
        const LayoutData& d = layout.Data();
        View v(Midpoint(d.limitsMin, d.limitsMax), std::max(1.0, d.limitsMax.y - d.limitsMin.y),
               static_cast<double>(screenWidth_) / screenHeight_);
        it = paperViews_.emplace(&layout, v).first;
    }
    return it->second;
}

void Document::SetScreenSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        ThrowInvalidInput("tamanho da tela " + std::to_string(width) + "x" + std::to_string(height));
    screenWidth_ = width;
    screenHeight_ = height;
    const double aspect = static_cast<double>(width) / height;
    modelView_.SetAspectRatio(aspect);
    for (auto& [layout, view] : paperViews_) view.SetAspectRatio(aspect);
    ViewChanged.Raise();
}

Box Document::ModelExtents() const { return modelSpace_->Extents(); }

// ---------------------------------------------------------------- objects

void Document::AdoptObject(std::unique_ptr<AcadObject> o)
{
    if (!o) ThrowInvalidInput("objeto nulo");
    if (o->doc_ != this) throw Error(ErrorCode::WrongDocument, "O objeto pertence a outro desenho");
    if (o->id_ != 0) ThrowInvalidInput("objeto já registrado");
    // Room first, so that nothing fails once the object is known by id and handle
    // (a failure then would leave them naming an object that is freed).
    if (objects_.size() == objects_.capacity()) objects_.reserve(std::max<std::size_t>(64, 2 * objects_.size()));
    auto& byHandle = byHandle_->map;
    byHandle.reserve(byHandle.size() + 1);
    // A handle asked for before adoption (a drawing being read) is taken when
    // free: one entry made, where re-keying afterwards would move it.
    const std::uint64_t asked = o->handle_;
    o->id_ = RegisterId(o.get());
    if (asked != 0 && byHandle.try_emplace(asked, o.get()).second) {
        if (asked >= handseed_) handseed_ = asked + 1;
    } else {
        o->handle_ = AllocateHandle();
        byHandle[o->handle_] = o.get();
    }
    objects_.push_back(std::move(o));
}

void Document::ReserveObjects(std::size_t more)
{
    byHandle_->map.reserve(byHandle_->map.size() + more);
    objects_.reserve(objects_.size() + more);
}

void Document::SetObjectHandle(AcadObject& o, std::uint64_t handle)
{
    if (&o.Document() != this) throw Error(ErrorCode::WrongDocument, "O objeto pertence a outro desenho");
    if (handle == 0) ThrowInvalidInput("handle 0");
    if (o.handle_ == handle) return;
    auto& byHandle = byHandle_->map;
    auto it = byHandle.find(handle);
    if (it != byHandle.end() && it->second != &o)
        throw Error(ErrorCode::DuplicateKey, "Handle " + AcadObject::HandleText(handle) + " já usado por outro objeto");
    byHandle.try_emplace(handle, &o);  // may grow the table (and fail): before anything changes
    auto old = byHandle.find(o.handle_);
    if (old != byHandle.end() && old->second == &o) byHandle.erase(old);
    o.handle_ = handle;
    if (handle >= handseed_) handseed_ = handle + 1;
}

const XDataStore* Document::XDataOf(const AcadObject& o) const
{
    if (!(o.flags16_ & AcadObject::kHasXData)) return nullptr;
    auto it = xdata_.find(&o);
    return it == xdata_.end() ? nullptr : it->second.get();
}

XDataStore& Document::MutableXData(AcadObject& o)
{
    auto& slot = xdata_[&o];
    if (!slot) slot = std::make_unique<XDataStore>();
    o.flags16_ |= AcadObject::kHasXData;
    return *slot;
}

void Document::DropXData(AcadObject& o)
{
    xdata_.erase(&o);
    o.flags16_ &= static_cast<std::uint16_t>(~AcadObject::kHasXData);
}

AcadObject* Document::FindByHandle(std::uint64_t handle) const
{
    auto it = byHandle_->map.find(handle);
    return it == byHandle_->map.end() ? nullptr : it->second;
}

AcadObject* Document::ObjectIdToObject(std::int32_t objectID) const
{
    AcadObject* o = LookupId(objectID);
    if (!o || o->doc_ != this || o->IsErased()) ThrowKeyNotFound("Objeto de ObjectID " + std::to_string(objectID));
    return o;
}

AcadObject* Document::HandleToObject(const std::string& handle) const
{
    std::uint64_t h = 0;
    bool ok = !handle.empty() && handle.size() <= 16;
    for (char c : handle) {
        int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                                                            : -1;
        if (v < 0) {
            ok = false;
            break;
        }
        h = h * 16 + static_cast<std::uint64_t>(v);
    }
    AcadObject* o = ok ? FindByHandle(h) : nullptr;
    if (!o || o->IsErased()) ThrowKeyNotFound("Objeto de handle \"" + handle + "\"");
    return o;
}

void Document::NoteBlockChanged(acad::Block& b)
{
    if (b.IsLayout()) return;
    ++definitionsRevision_;
    b.changedAt_ = definitionsRevision_;
    referencesStale_ = true;
    if (!b.changePending_) {
        b.changePending_ = true;
        changedBlocks_.push_back(&b);
    }
}

void Document::NoteAllExtentsChanged()
{
    ++definitionsRevision_;
    allExtentsChangedAt_ = definitionsRevision_;
    referencesStale_ = true;
    allExtentsStale_ = true;
}

void Document::FlushBlockChanges()
{
    if (!referencesStale_) return;
    referencesStale_ = false;
    std::vector<Block*> changed = std::move(changedBlocks_);
    changedBlocks_.clear();
    if (allExtentsStale_) {
        allExtentsStale_ = false;
        for (Block* b : changed) b->changePending_ = false;
        for (const auto& o : objects_)
            if (auto* e = dynamic_cast<Entity*>(o.get()))
                if (BlockReference* r = e->DrawnReference()) r->InvalidateExtents();  // a dimension's picture too
        for (Layout* l : layouts_)
            for (Entity* e : l->Block()) l->Block().EntityChanged(*e);
        return;
    }
    // The changed definitions, then every definition holding a reference to one of
    // them, and so on up: their references are stale. Those placed in a space are
    // re-indexed; each definition is visited once, so a cycle (damaged file) ends.
    // All are marked stale before any is measured, since a definition's box may
    // come from references of another one changed later in the list.
    std::vector<BlockReference*> placed;
    std::vector<std::size_t> placedEnd(changed.size());  // placed[placedEnd[i-1], placedEnd[i]) use changed[i]
    std::vector<Entity*> holders;                        // in a space, drawing a changed block (a dimension's picture)
    // One definition edited alone: its box depends on none of the others marked
    // here (they hold it), so its references in a space are measured as they
    // are met, each read once.
    const bool alone = changed.size() == 1;
    std::size_t measured = 0;  // of `placed`, those measured so
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const auto& refs = changed[i]->References();
        if (placed.capacity() < placed.size() + refs.size())
            placed.reserve(std::max(placed.size() + refs.size(), 2 * placed.capacity()));
        std::optional<BlockReference::Remeasure> now;
        if (alone && i == 0) now.emplace(*changed[0]);
        // The references lie far apart: asking for those a few steps on now
        // keeps the walk from waiting on memory at each.
        constexpr std::size_t kAhead = 8;
        for (std::size_t j = 0; j < refs.size(); ++j) {
            if (j + kAhead < refs.size()) {
                if (now) {
                    BlockReference::Remeasure::Ahead(refs[j + kAhead]);
                } else {
                    // Its owner, and the flag of its box, in its first three lines.
                    const char* ahead = reinterpret_cast<const char*>(refs[j + kAhead]);
                    for (std::size_t at = 0; at < 192; at += 64) __builtin_prefetch(ahead + at);
                }
            }
            BlockReference* r = refs[j];
            r->InvalidateDefinitionExtents();
            Block* owner = r->OwnerBlock();
            if (Entity* holder = owner ? nullptr : r->Holder()) {
                owner = holder->OwnerBlock();
                if (!owner) continue;
                if (owner->IsLayout()) {
                    holders.push_back(holder);
                } else if (!owner->changePending_) {
                    owner->changePending_ = true;
                    changed.push_back(owner);
                    placedEnd.push_back(0);
                }
                continue;
            }
            if (!owner) continue;
            if (owner->IsLayout()) {
                if (now) {
                    (*now)(*r);
                    ++measured;
                }
                placed.push_back(r);
            } else if (!owner->changePending_) {
                // It holds one that changed: what is kept of it is stale too.
                owner->changedAt_ = definitionsRevision_;
                owner->changePending_ = true;
                changed.push_back(owner);
                placedEnd.push_back(0);
            }
        }
        placedEnd[i] = placed.size();
    }
    for (Block* b : changed) b->changePending_ = false;
    std::size_t begin = measured;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (placedEnd[i] > begin)
            BlockReference::RemeasureAfterEdit(*changed[i], placed.data() + begin, placed.data() + placedEnd[i]);
        begin = std::max(begin, placedEnd[i]);
    }
    for (Entity* holder : holders) holder->OwnerBlock()->EntityChanged(*holder);
}

// ---------------------------------------------------------------- purge

void Document::PurgeAll()
{
    // One pass, as the host's: a block used only inside a block purged now is
    // purged by the next call (callers call it twice).
    std::vector<bool> blockUsed(blocks_.Count() + 64, false);
    auto markBlock = [&](std::uint32_t i) {
        if (i >= blockUsed.size()) blockUsed.resize(i + 1, false);
        blockUsed[i] = true;
    };
    // The blocks references draw, and those dimensions and tables draw.
    for (const auto& o : objects_)
        if (auto* e = dynamic_cast<const Entity*>(o.get()); e && !e->IsErased())
            if (const BlockReference* r = e->DrawnReference()) markBlock(r->Data().block);
    std::vector<Block*> blocks(blocks_.begin(), blocks_.end());
    for (Block* b : blocks) {
        std::uint32_t i = blocks_.IndexOf(*b);
        if (b->IsLayout() || b->IsXRef() || (i < blockUsed.size() && blockUsed[i])) continue;
        b->Delete();
    }

    std::vector<bool> layerUsed(layers_.RecordCount(), false), ltUsed(linetypes_.RecordCount(), false),
        styleUsed(textStyles_.RecordCount(), false);
    auto mark = [](std::vector<bool>& v, std::uint32_t i) {
        if (i < v.size()) v[i] = true;
    };
    for (const auto& o : objects_) {
        auto* e = dynamic_cast<const Entity*>(o.get());
        if (!e || e->IsErased()) continue;
        mark(layerUsed, e->LayerIndex());
        mark(ltUsed, e->LinetypeIndex());
        if (auto* t = dynamic_cast<const TextBase*>(e)) mark(styleUsed, t->Text().style);
        if (auto* m = dynamic_cast<const MText*>(e)) mark(styleUsed, m->Data().style);
        if (auto* d = dynamic_cast<const DimAligned*>(e)) mark(styleUsed, d->Data().style);
    }
    for (Layer* l : layers_) mark(ltUsed, l->LinetypeIndex());
    mark(layerUsed, currentLayer_);
    mark(ltUsed, currentLinetype_);
    mark(styleUsed, currentTextStyle_);

    auto purge = [](auto& table, const std::vector<bool>& used) {
        std::vector<typename std::remove_reference_t<decltype(*table.begin())>> items(table.begin(), table.end());
        for (auto* r : items) {
            if (r->Index() < used.size() && used[r->Index()]) continue;
            try {
                r->Delete();
            } catch (const Error&) {
                // Records the host keeps ("0", "Standard", dependents) refuse; that is expected.
            }
        }
    };
    purge(layers_, layerUsed);
    purge(linetypes_, ltUsed);
    purge(textStyles_, styleUsed);
    std::vector<RegisteredApplication*> apps(regApps_.begin(), regApps_.end());
    for (auto* a : apps)
        if (a->UseCount() == 0 && !NamesEqual(a->Name(), "ACAD")) a->Delete();
}

void Document::SendCommand(const std::string& command) { commandLine_->Run(command); }

// ---------------------------------------------------------------- import of another drawing

namespace {
struct Importer {
    Document& target;
    const Document& source;
    std::string prefix;  // "<xref>|" for external references
    bool xref;
    std::unordered_map<std::uint32_t, std::uint32_t> layers, linetypes, styles, blocks;

    std::string Dependent(const std::string& name) const { return prefix + name; }

    std::uint32_t Linetype(std::uint32_t i)
    {
        if (auto it = linetypes.find(i); it != linetypes.end()) return it->second;
        const acad::Linetype* s = source.Linetypes().ByIndex(i);
        std::string name = s ? s->Name() : "Continuous";
        bool fixed = NamesEqual(name, "ByLayer") || NamesEqual(name, "ByBlock") || NamesEqual(name, "Continuous");
        std::string wanted = fixed ? name : Dependent(name);
        acad::Linetype* t = target.Linetypes().Find(wanted);
        if (!t) {
            t = target.Linetypes().Add(wanted);
            t->SetDescription(s->Description());
            t->SetPattern(s->Pattern());
            t->SetComplexText(s->ComplexText());
        }
        return linetypes[i] = t->Index();
    }

    std::uint32_t Layer(std::uint32_t i)
    {
        if (auto it = layers.find(i); it != layers.end()) return it->second;
        const acad::Layer* s = source.Layers().ByIndex(i);
        std::string name = s ? s->Name() : "0";
        std::string wanted = name == "0" ? name : Dependent(name);
        acad::Layer* t = target.Layers().Find(wanted);
        if (!t) {
            t = target.Layers().Add(wanted);
            t->SetColor(s->Color());
            t->SetLinetypeIndex(Linetype(s->LinetypeIndex()));
            t->SetLayerOn(s->LayerOn());
            if (s->Freeze() && &target.ActiveLayer() != t) t->SetFreeze(true);
            t->SetLineweight(s->Lineweight());
            t->SetPlottable(s->Plottable());
        }
        return layers[i] = t->Index();
    }

    std::uint32_t Style(std::uint32_t i)
    {
        if (auto it = styles.find(i); it != styles.end()) return it->second;
        const acad::TextStyle* s = source.TextStyles().ByIndex(i);
        std::string name = s ? s->Name() : "Standard";
        std::string wanted = xref ? Dependent(name) : name;
        acad::TextStyle* t = target.TextStyles().Find(wanted);
        if (!t) {
            t = target.TextStyles().Add(wanted);
            std::string face;
            bool bold, italic;
            int charset, pitch;
            s->GetFont(face, bold, italic, charset, pitch);
            if (!face.empty())
                t->SetFont(face, bold, italic, charset, pitch);
            else
                t->SetFontFile(s->FontFile());
            t->SetBigFontFile(s->BigFontFile());
            t->SetHeight(s->Height());
            t->SetWidth(s->Width());
            t->SetObliqueAngle(s->ObliqueAngle());
        }
        return styles[i] = t->Index();
    }

    std::uint32_t BlockIndex(std::uint32_t i)
    {
        if (auto it = blocks.find(i); it != blocks.end()) return it->second;
        const acad::Block* s = source.Blocks().ByIndex(i);
        if (!s) ThrowKeyNotFound("Bloco de índice " + std::to_string(i) + " do desenho lido");
        acad::Block* t = nullptr;
        if (s->IsAnonymous()) {
            t = target.Blocks().Add(s->Origin(), s->Name().substr(0, 2));
        } else {
            std::string wanted = Dependent(s->Name());
            t = target.Blocks().Find(wanted);
            if (t) return blocks[i] = target.Blocks().IndexOf(*t);  // an existing definition wins
            t = target.Blocks().Add(s->Origin(), wanted);
        }
        blocks[i] = target.Blocks().IndexOf(*t);
        CopyEntities(*s, *t);
        return blocks[i];
    }

    void Remap(Entity& c, const Entity& from)
    {
        c.SetLayerIndex(Layer(from.LayerIndex()));
        c.SetLinetypeIndex(Linetype(from.LinetypeIndex()));
        if (auto* t = dynamic_cast<TextBase*>(&c)) {
            TextData d = t->Text();
            d.style = Style(d.style);
            t->SetText(d);
        } else if (auto* m = dynamic_cast<MText*>(&c)) {
            MTextData d = m->Data();
            d.style = Style(d.style);
            m->SetData(d);
        } else if (auto* dim = dynamic_cast<DimAligned*>(&c)) {
            DimAlignedData d = dim->Data();
            d.style = Style(d.style);
            dim->SetData(d);
            if (const BlockReference* pic = dim->DrawnReference())
                dim->SetPicture(BlockIndex(pic->Data().block), pic->Data().insertionPoint);
        } else if (auto* raw = dynamic_cast<RawEntity*>(&c)) {
            if (const BlockReference* drawn = raw->DrawnReference()) raw->SetBlock(BlockIndex(drawn->Data().block));
        } else if (auto* h = dynamic_cast<Hatch*>(&c)) {
            HatchData d = h->Data();
            for (auto& loop : d.loops) loop.sourceHandles.clear();  // the boundary objects stay behind
            d.associative = false;
            h->SetData(d);
        } else if (auto* r = dynamic_cast<BlockReference*>(&c)) {
            BlockReferenceData d = r->Data();
            d.block = BlockIndex(d.block);
            r->SetData(d);
        }
    }

    void CopyEntities(const acad::Block& from, acad::Block& to)
    {
        for (Entity* e : from) {
            std::unique_ptr<Entity> c = e->CloneTo(target);
            Remap(*c, *e);
            Entity* added = to.AppendEntity(std::move(c));
            if (auto* r = dynamic_cast<BlockReference*>(added)) {
                // The attribute copies joined the reference when it was added.
                auto src = static_cast<const BlockReference*>(e)->GetAttributes();
                auto mine = r->GetAttributes();
                for (std::size_t k = 0; k < src.size() && k < mine.size(); ++k) {
                    Remap(*mine[k], *src[k]);
                    CopyXData(*src[k], *mine[k]);
                }
            }
            CopyXData(*e, *added);
        }
    }

    static void CopyXData(const AcadObject& from, AcadObject& to)
    {
        std::vector<int> types;
        std::vector<Variant> values;
        from.GetXData("", types, values);
        if (!types.empty()) to.SetXData(types, values);
    }
};
}  // namespace

acad::Block* Document::ImportAsBlock(const Document& source, const std::string& blockName, const Point3d& basePoint,
                                     bool asXRef, const std::filesystem::path& sourcePath)
{
    if (&source == this) ThrowInvalidInput("um desenho não pode ser importado nele mesmo");
    if (blocks_.Find(blockName)) throw Error(ErrorCode::DuplicateKey, "O bloco \"" + blockName + "\" já existe");
    Block* block = blocks_.Add(basePoint, blockName);
    if (asXRef) block->SetXRefPath(sourcePath);
    Importer imp{*this, source, asXRef ? blockName + "|" : std::string(), asXRef, {}, {}, {}, {}};
    try {
        imp.CopyEntities(source.ModelSpace(), *block);
    } catch (const Error&) {
        // A part it may not hold (one drawing a block that names it): no half-made definition stays.
        block->Delete();
        throw;
    }
    return block;
}

}  // namespace acad
