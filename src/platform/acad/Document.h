#pragma once
// A drawing: its database (blocks, tables, layouts, objects by id and handle),
// its views, system variables, selection sets, user input and command line.
//
// Ownership: the Document owns every object of the drawing; pointers handed out
// (entities, layers, blocks, ...) stay valid for the document's life, erased
// objects included. Documents are owned by Application::Documents(); a Document
// may also be made on its own (tests, benchmarks, reading a block file).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Event.h"
#include "platform/acad/Block.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/Layout.h"
#include "platform/acad/Tables.h"
#include "platform/acad/Variant.h"
#include "platform/acad/View.h"

namespace acad {

class Application;
class SelectionSets;
class SelectionSet;
class Utility;
class CommandLine;
class SystemVariables;
class PViewport;
class Entity;
struct XDataStore;
namespace dxf {
struct KeptFileParts;
}  // namespace dxf

// AcActiveSpace and AcRegenType, named as the automation interface names them.
inline constexpr int acPaperSpace = 0;
inline constexpr int acModelSpace = 1;
inline constexpr int acActiveViewport = 0;
inline constexpr int acAllViewports = 1;

class Document {
public:
    // A new drawing in the host's default state: layer "0", text style
    // "Standard", linetypes ByBlock/ByLayer/Continuous, application "ACAD",
    // model space and one paper-space layout "Layout1". `app` may be null.
    explicit Document(acad::Application* app = nullptr);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- automation members
    acad::Application* Application() const { return app_; }
    // Full path of the drawing file; "" until the drawing is saved or when new.
    std::string FullName() const;
    // File name with extension ("Drawing1.dwg" for a new drawing).
    std::string Name() const { return name_; }
    // Folder of the drawing; for one never saved, NewDrawingFolder().
    std::string Path() const;
    bool Saved() const { return savedRevision_ == revision_; }
    void Activate();
    bool Active() const;
    // Writes the drawing (DXF text whatever the extension) and takes the new
    // name; a name without a folder goes into Path(). See FileOfName.
    void SaveAs(const std::string& fullFileName);
    void Save();  // fails with FileError when the drawing has no file yet

    acad::Block& ModelSpace() const { return *modelSpace_; }
    // Paper space of the active layout (of the last active paper layout while model space is active).
    acad::Block& PaperSpace() const;
    acad::Layouts& Layouts() { return layouts_; }
    const acad::Layouts& Layouts() const { return layouts_; }
    acad::Layout& ActiveLayout() const { return *activeLayout_; }
    // A paper layout shown for the first time gets a viewport; one read from
    // a file (`shownBefore`) has been shown, and keeps the viewports it has.
    void SetActiveLayout(acad::Layout& layout, bool shownBefore = false);
    acad::Blocks& Blocks() { return blocks_; }
    const acad::Blocks& Blocks() const { return blocks_; }
    acad::Layers& Layers() { return layers_; }
    const acad::Layers& Layers() const { return layers_; }
    acad::Layer& ActiveLayer() const;
    void SetActiveLayer(acad::Layer& layer);  // a frozen layer cannot become active
    acad::Linetypes& Linetypes() { return linetypes_; }
    const acad::Linetypes& Linetypes() const { return linetypes_; }
    acad::Linetype& ActiveLinetype() const;
    void SetActiveLinetype(acad::Linetype& lt);
    acad::TextStyles& TextStyles() { return textStyles_; }
    const acad::TextStyles& TextStyles() const { return textStyles_; }
    acad::TextStyle& ActiveTextStyle() const;
    void SetActiveTextStyle(acad::TextStyle& style);
    acad::RegisteredApplications& RegisteredApplications() { return regApps_; }
    const acad::RegisteredApplications& RegisteredApplications() const { return regApps_; }
    acad::SelectionSets& SelectionSets() const;
    acad::SelectionSet& ActiveSelectionSet() const;
    acad::Utility& Utility() const;

    // Value of a system variable (name in any case); UnknownVariable when unknown.
    Variant GetVariable(const std::string& name) const;
    // InvalidInput for a value of the wrong kind or range, or a read-only variable.
    void SetVariable(const std::string& name, const Variant& value);

    void Regen(int whichViewports);
    int ActiveSpace() const;
    void SetActiveSpace(int space);
    // Working inside the active paper-space viewport's model space.
    bool MSpace() const { return mspace_; }
    void SetMSpace(bool b);                    // NotApplicable in model space or without a viewport
    acad::PViewport* ActivePViewport() const;  // NotApplicable when there is none
    void SetActivePViewport(acad::PViewport& vp);

    // Object by 32-bit id / by hexadecimal handle; KeyNotFound when none or erased.
    AcadObject* ObjectIdToObject(std::int32_t objectID) const;
    AcadObject* HandleToObject(const std::string& handle) const;
    // Removes unused layers, linetypes, text styles, blocks and applications.
    void PurgeAll();
    // Runs command-line text (commands separated by CR, as typed). A path, name
    // or any text of the program or the user goes in as CommandWord(text).
    void SendCommand(const std::string& command);
    // Marks of the undo history; kept for the automation shape only (no undo here).
    void StartUndoMark() {}
    void EndUndoMark() {}

    // Events: right button pressed in the drawing window (point picked), and end
    // of a command (its name, upper case, as "DIMALIGNED").
    platform::Event<Point3d> BeginRightClick;
    platform::Event<std::string> BeginCommand;
    platform::Event<std::string> EndCommand;

    // --- views
    // The view that zooms change and selections see: model space's view, the
    // active viewport's view while in its model space, or the layout's paper view.
    acad::View& ActiveView();
    const acad::View& ActiveView() const;
    acad::View& ModelView() { return modelView_; }
    const acad::View& ModelView() const { return modelView_; }  // added by acaddxf: the writer's VPORT table
    // The paper view of a paper layout: what ActiveView gives while that layout is
    // active outside its viewports. Added for the drawing window, which shows the
    // sheet (and pans it) also while the document works inside a viewport.
    acad::View& PaperView(const acad::Layout& layout);
    // Size in pixels of the window showing the drawing (SCREENSIZE).
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    void SetScreenSize(int width, int height);
    // Extents of model space (EXTMIN/EXTMAX); empty for an empty drawing.
    Box ModelExtents() const;
    // Raised after any view change (zoom) and by Regen / Update.
    platform::Event<> ViewChanged;
    platform::Event<> RedrawRequested;

    // --- engine members
    // Counts changes to the drawing; the window redraws when it moves.
    std::uint64_t Revision() const { return revision_; }
    void NoteChange() { ++revision_; }
    void SetFullName(const std::filesystem::path& p);  // after reading a file
    std::filesystem::path FilePath() const { return path_; }
    // Handles: the next free one, and re-keying an object to a handle read from a
    // file (DuplicateKey when another object has it).
    std::uint64_t AllocateHandle() { return handseed_++; }
    std::uint64_t HandSeed() const { return handseed_; }
    // DXF reader (added by acaddxf): sets the seed once a file is read, to the
    // file's $HANDSEED or past the largest handle in it. While reading, objects
    // carry provisional handles far above any file handle, so the seed must be
    // brought back down afterwards; SetObjectHandle alone only ever raises it.
    void SetHandSeed(std::uint64_t seed) { handseed_ = seed; }
    void SetObjectHandle(AcadObject& o, std::uint64_t handle);
    // Room for `more` objects to come (a drawing being read): no rehashing on the way.
    void ReserveObjects(std::size_t more);
    AcadObject* FindByHandle(std::uint64_t handle) const;
    // Takes ownership of a new object and gives it an id and a handle.
    template <typename T>
    T* Adopt(std::unique_ptr<T> o)
    {
        T* raw = o.get();
        AdoptObject(std::unique_ptr<AcadObject>(o.release()));
        return raw;
    }
    void AdoptObject(std::unique_ptr<AcadObject> o);
    // Every object of the drawing in creation order, erased ones included.
    const std::vector<std::unique_ptr<AcadObject>>& Objects() const { return objects_; }
    // Copies the model space of `source` into a new definition `blockName` of this
    // drawing, with the layers, linetypes, styles, applications and nested blocks
    // it uses. With `xrefPrefix` set, layers and nested blocks are renamed
    // "<prefix>|<name>" and the definition is marked external.
    acad::Block* ImportAsBlock(const Document& source, const std::string& blockName, const Point3d& basePoint,
                               bool asXRef, const std::filesystem::path& sourcePath);
    // Support folders for linetype files and drawing lookups: the drawing's own
    // folder, then the application's.
    std::vector<std::filesystem::path> SupportFolders() const;
    // Engine: the live entities of `block` drawn in the order of `entities`
    // (the same ones): the objects' ids rise along it, as for entities
    // appended in that order. For a drawing being read, before anyone holds an id.
    void ReorderEntities(acad::Block& block, const std::vector<Entity*>& entities);
    // Current properties given to new entities.
    std::uint32_t CurrentLayerIndex() const { return currentLayer_; }
    int CurrentColor() const { return currentColor_; }
    // Re-reads CECOLOR into the colour given to new entities.
    void RefreshCurrentColor();
    // The linetype scale new entities take as their own (CELTSCALE).
    double CurrentLinetypeScale() const { return currentLinetypeScale_; }
    void RefreshCurrentLinetypeScale();
    std::uint32_t CurrentLinetypeIndex() const { return currentLinetype_; }
    std::uint32_t CurrentTextStyleIndex() const { return currentTextStyle_; }
    // True while a command waits for input (the host is not quiescent).
    bool CommandActive() const { return commandActive_; }
    void SetCommandActive(bool b) { commandActive_ = b; }
    acad::CommandLine& CommandLine() const;
    SystemVariables& Variables() const { return *variables_; }
    // A block definition's content changed: its references (and those of the
    // definitions holding it) re-measure themselves and the spaces re-index them
    // before the next query.
    void NoteBlockChanged(acad::Block& b);
    // Something every entity's extents may depend on changed (a text style's kind
    // of font): everything is measured again before the next query.
    void NoteAllExtentsChanged();
    std::uint64_t DefinitionsRevision() const { return definitionsRevision_; }
    // The definitions revision at which everything was last to be measured again.
    std::uint64_t AllExtentsChangedAt() const { return allExtentsChangedAt_; }
    // Re-measures and re-indexes the references of the definitions changed since
    // the last call (cheap when none did).
    void FlushBlockChanges();
    // Entities of paper space viewports of a layout.
    std::vector<acad::PViewport*> Viewports(const acad::Layout& layout) const;
    // What the drawing file held that the engine does not model, written back on
    // save (DxfKept.h; null for a drawing not read from a file).
    dxf::KeptFileParts* KeptFileParts() const { return keptFileParts_.get(); }
    void SetKeptFileParts(std::shared_ptr<dxf::KeptFileParts> parts) { keptFileParts_ = std::move(parts); }
    // The plan of what the current view draws, kept for the selections, picks
    // and object snaps made in that view until it or the drawing changes
    // (complete only in DrawPlan.cpp).
    struct KeptPlan;
    std::shared_ptr<KeptPlan>& PlanKept() const { return keptPlan_; }
    // Drops the file path (a drawing started from a template file is untitled).
    void ForgetName();
    // Layout::Delete's work: erases the layout and its space, keeps one paper
    // layout, and moves the active layout on when needed.
    void DeleteLayout(acad::Layout& layout);

private:
    friend class Documents;
    friend class AcadObject;
    void ForgetObject(AcadObject& o);
    // Gives `layout`'s block the name "*Paper_Space" (the host's name for the paper
    // space shown), swapping names with the block that had it.
    void NamePaperSpace(acad::Layout& layout);
    // Extended data of objects that have some (AcadObject's kHasXData bit says which).
    const XDataStore* XDataOf(const AcadObject& o) const;
    XDataStore& MutableXData(AcadObject& o);
    void DropXData(AcadObject& o);
    std::unordered_map<const AcadObject*, std::unique_ptr<XDataStore>> xdata_;
    void CreateDefaults();

    acad::Application* app_;
    std::filesystem::path path_;
    std::string name_;
    std::uint64_t handseed_ = 1;
    std::uint64_t revision_ = 0;
    std::uint64_t savedRevision_ = 0;

    std::vector<std::unique_ptr<AcadObject>> objects_;
    // Object by handle (an open-addressing table, defined in Document.cpp so its
    // header stays out of every includer). Only looked up, never walked: nothing
    // saved or shown may follow its order.
    struct HandleMap;
    std::unique_ptr<HandleMap> byHandle_;

    acad::Blocks blocks_;
    acad::Layers layers_;
    acad::Linetypes linetypes_;
    acad::TextStyles textStyles_;
    acad::RegisteredApplications regApps_;
    acad::Layouts layouts_;
    acad::Block* modelSpace_ = nullptr;
    acad::Layout* activeLayout_ = nullptr;
    acad::Layout* lastPaperLayout_ = nullptr;
    acad::PViewport* activeViewport_ = nullptr;
    bool mspace_ = false;
    bool commandActive_ = false;

    std::uint32_t currentLayer_ = 0;
    std::uint32_t currentLinetype_ = 0;
    std::uint32_t currentTextStyle_ = 0;
    int currentColor_ = 256;
    double currentLinetypeScale_ = 1;

    acad::View modelView_;
    std::unordered_map<const acad::Layout*, acad::View> paperViews_;
    int screenWidth_ = 1024;
    int screenHeight_ = 768;

    std::shared_ptr<dxf::KeptFileParts> keptFileParts_;  // shared_ptr: complete only in the DXF layer
    mutable std::shared_ptr<KeptPlan> keptPlan_;
    std::unique_ptr<SystemVariables> variables_;
    std::unique_ptr<acad::SelectionSets> selectionSets_;
    std::unique_ptr<acad::SelectionSet> activeSelectionSet_;
    std::unique_ptr<acad::Utility> utility_;
    std::unique_ptr<acad::CommandLine> commandLine_;
    std::uint64_t definitionsRevision_ = 1;
    std::uint64_t allExtentsChangedAt_ = 0;
    bool referencesStale_ = false;
    // Definitions changed since the last flush, and whether everything must be measured again.
    std::vector<acad::Block*> changedBlocks_;
    bool allExtentsStale_ = false;
};

// `text` as one word of a command text: in double quotes, with \\, \", \r, \n
// and \t for a backslash, a quote and the control characters, so a line end
// or quote in a path can neither end the item nor the string. Every prompt of
// the command line reads it back as `text`, and Lisp reads it as that string
// (inside (ssget ...) or (handent ...)).
std::string CommandWord(const std::string& text);

// The file a name given to the host stands for, relative names taken from
// `base` (the working folder when empty). Names the program builds may join
// folders with "\", read here as "/"; where a "\" is part of the name of a
// folder or file that exists as written, that reading would reach another file
// than the one named, and the name is refused (FileError).
std::filesystem::path FileOfName(const std::string& name, const std::filesystem::path& base = {});

// The folder of a drawing never saved: the user's "Documentos" folder, or the
// home folder itself when there is none.
std::filesystem::path NewDrawingFolder();

}  // namespace acad
