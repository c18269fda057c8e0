#pragma once
// The drawing host's application object: its documents, the window caption,
// zooms of the active document's current view, and the input source that
// answers user requests (the drawing window for a person, a script in tests).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/acad/Geometry.h"
#include "platform/acad/ObjectList.h"

namespace acad {

class Document;
class InputSource;
class Application;

// What GetAcadState returns; only IsQuiescent is asked of it.
class AcadState {
public:
    explicit AcadState(bool quiescent) : quiescent_(quiescent) {}
    bool IsQuiescent() const { return quiescent_; }

private:
    bool quiescent_;
};

// AcZoomScaleType.
inline constexpr int acZoomScaledAbsolute = 0;
inline constexpr int acZoomScaledRelative = 1;
inline constexpr int acZoomScaledRelativePSpace = 2;

class Documents {
public:
    explicit Documents(acad::Application& app);
    ~Documents();

    int Count() const { return static_cast<int>(docs_.size()); }
    Document* Item(int index) const;  // KeyNotFound when out of range
    // A new drawing from a template: "Acad" (or any name that is not a drawing
    // file) gives the default drawing; a drawing file path is read as the start.
    // The new drawing becomes the active one.
    Document* Add(const std::string& templateName = "");
    // Opens a drawing file (DXF text, whatever the extension) and activates it.
    // FileNotFound / FileError; the documents already open are untouched.
    Document* Open(const std::string& name, bool readOnly = false);
    // Removes a document (the program's own close; pointers to it die with it).
    void Close(Document& doc);
    std::vector<std::unique_ptr<Document>>::const_iterator begin() const { return docs_.begin(); }
    std::vector<std::unique_ptr<Document>>::const_iterator end() const { return docs_.end(); }

private:
    acad::Application& app_;
    std::vector<std::unique_ptr<Document>> docs_;
    int untitled_ = 0;
};

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Title of the host's main window: "AutoCAD - [<drawing name>]". The system
    // finds and activates the window by this text.
    std::string Caption() const;
    acad::Documents& Documents() { return documents_; }
    const acad::Documents& Documents() const { return documents_; }
    // The current drawing; NoDocument when none is open.
    Document* ActiveDocument() const;
    void SetActiveDocument(Document& doc);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    AcadState GetAcadState() const;
    std::string Version() const { return "15.0"; }

    // Zooms of the active document's current view (ActiveView).
    void ZoomExtents();
    void ZoomAll();
    void ZoomCenter(const Point3d& center, double magnify);  // magnify = view height
    void ZoomWindow(const Point3d& lowerLeft, const Point3d& upperRight);
    void ZoomScaled(double scale, int scaleType);

    // --- engine members
    // Who answers user input (GetPoint, GetEntity, ...); null = nobody (requests
    // then fail with NoInputSource).
    void SetInputSource(std::shared_ptr<InputSource> source) { input_ = std::move(source); }
    InputSource* GetInputSource() const { return input_.get(); }
    // Folders searched for linetype files and drawings after the drawing's own
    // folder (the program folder first).
    void SetSupportFolders(std::vector<std::filesystem::path> folders) { support_ = std::move(folders); }
    const std::vector<std::filesystem::path>& SupportFolders() const { return support_; }
    // Raised when the active document or the visibility changes (the window follows).
    platform::Event<> ActiveDocumentChanged;
    platform::Event<bool> VisibleChanged;

private:
    friend class acad::Documents;
    // Declared before the documents, so that it outlives them while they close.
    std::shared_ptr<InputSource> input_;
    std::vector<std::filesystem::path> support_;
    acad::Documents documents_;
    Document* active_ = nullptr;
    bool visible_ = false;
};

}  // namespace acad
