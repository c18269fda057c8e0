#include "platform/acad/Application.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/SystemVariables.h"

namespace acad {

// ---------------------------------------------------------------- Documents

Documents::Documents(acad::Application& app) : app_(app) {}

Documents::~Documents() = default;

Document* Documents::Item(int index) const
{
    if (index < 0 || index >= Count()) ThrowKeyNotFound("Documento de índice " + std::to_string(index));
    return docs_[static_cast<std::size_t>(index)].get();
}

namespace {
// After opening, a drawing whose file gave no view shows all of itself.
void FitIfDefault(Document& doc)
{
    View fresh;
    fresh.SetAspectRatio(doc.ModelView().AspectRatio());
    const View& v = doc.ModelView();
    Box ext = doc.ModelExtents();
    if (!ext.IsEmpty() && v.Center() == fresh.Center() && v.Height() == fresh.Height())
        doc.ModelView().Fit(ext, View::kExtentsMargin);
}
}  // namespace

Document* Documents::Add(const std::string& templateName)
{
    auto doc = std::make_unique<Document>(&app_);
    // A template that names a drawing file starts the drawing from it; "Acad" or
    // any other name gives the default drawing.
    std::error_code ec;
    std::filesystem::path tpl = FileOfName(templateName);
    std::filesystem::path found;
    if (!templateName.empty()) {
        if (std::filesystem::is_regular_file(tpl, ec)) {
            found = tpl;
        } else if (!tpl.has_parent_path()) {
            for (const auto& folder : app_.SupportFolders())
                for (const char* ext : {"", ".dwt", ".dxf", ".dwg"})
                    if (found.empty() && std::filesystem::is_regular_file(folder / (templateName + ext), ec))
                        found = folder / (templateName + ext);
        }
    }
    if (!found.empty()) {
        ReadDxf(*doc, found);
        doc->ForgetName();
        FitIfDefault(*doc);
    }
    doc->name_ = "Drawing" + std::to_string(++untitled_) + ".dwg";
    doc->savedRevision_ = doc->revision_;
    Document* raw = doc.get();
    docs_.push_back(std::move(doc));
    app_.SetActiveDocument(*raw);
    return raw;
}

Document* Documents::Open(const std::string& name, bool readOnly)
{
    (void)readOnly;  // nothing here writes a drawing behind the user's back
    std::filesystem::path path = FileOfName(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error(ErrorCode::FileNotFound, "Arquivo \"" + name + "\" não encontrado");
    auto doc = std::make_unique<Document>(&app_);
    ReadDxf(*doc, path);  // on failure nothing was added
    doc->SetFullName(path);
    FitIfDefault(*doc);
    doc->savedRevision_ = doc->revision_;
    Document* raw = doc.get();
    docs_.push_back(std::move(doc));
    app_.SetActiveDocument(*raw);
    return raw;
}

void Documents::Close(Document& doc)
{
    auto it = std::find_if(docs_.begin(), docs_.end(), [&](const auto& d) { return d.get() == &doc; });
    if (it == docs_.end()) ThrowKeyNotFound("Documento \"" + doc.Name() + "\"");
    std::unique_ptr<Document> closing = std::move(*it);
    docs_.erase(it);
    if (app_.active_ == closing.get()) {
        app_.active_ = docs_.empty() ? nullptr : docs_.back().get();
        app_.ActiveDocumentChanged.Raise();
    }
}

// ---------------------------------------------------------------- Application

Application::Application() : documents_(*this) {}

Application::~Application() = default;

std::string Application::Caption() const { return active_ ? "AutoCAD - [" + active_->Name() + "]" : "AutoCAD"; }

Document* Application::ActiveDocument() const
{
    if (!active_) throw Error(ErrorCode::NoDocument, "Nenhum desenho aberto");
    return active_;
}

void Application::SetActiveDocument(Document& doc)
{
    bool mine = std::any_of(documents_.begin(), documents_.end(), [&](const auto& d) { return d.get() == &doc; });
    if (!mine) throw Error(ErrorCode::WrongDocument, "O desenho \"" + doc.Name() + "\" não está aberto neste programa");
    if (active_ == &doc) return;
    active_ = &doc;
    ActiveDocumentChanged.Raise();
}

void Application::SetVisible(bool v)
{
    if (visible_ == v) return;
    visible_ = v;
    VisibleChanged.Raise(v);
}

AcadState Application::GetAcadState() const
{
    bool busy = std::any_of(documents_.begin(), documents_.end(), [](const auto& d) { return d->CommandActive(); });
    return AcadState(!busy);
}

namespace {
// The box a zoom to extents shows: what the viewed space holds.
Box ViewedExtents(Document& doc)
{
    if (doc.ActiveSpace() == acModelSpace || doc.MSpace()) return doc.ModelExtents();
    return doc.PaperSpace().Extents();
}

Box Limits(Document& doc)
{
    return Box::FromCorners(doc.GetVariable("LIMMIN").AsPoint(), doc.GetVariable("LIMMAX").AsPoint());
}
}  // namespace

void Application::ZoomExtents()
{
    Document* doc = ActiveDocument();
    Box b = ViewedExtents(*doc);
    if (b.IsEmpty()) b = Limits(*doc);
    doc->ActiveView().Fit(b, View::kExtentsMargin);
    doc->ViewChanged.Raise();
}

void Application::ZoomAll()
{
    Document* doc = ActiveDocument();
    Box b = ViewedExtents(*doc);
    b.Add(Limits(*doc));
    doc->ActiveView().Fit(b);
    doc->ViewChanged.Raise();
}

void Application::ZoomCenter(const Point3d& center, double magnify)
{
    Document* doc = ActiveDocument();
    if (!std::isfinite(center.x) || !std::isfinite(center.y)) ThrowInvalidInput("centro do zoom");
    if (!(magnify > 0) || !std::isfinite(magnify)) ThrowInvalidInput("altura do zoom (deve ser maior que zero)");
    View& v = doc->ActiveView();
    v.SetCenter({center.x, center.y, 0.0});
    v.SetHeight(magnify);
    doc->ViewChanged.Raise();
}

void Application::ZoomWindow(const Point3d& lowerLeft, const Point3d& upperRight)
{
    Document* doc = ActiveDocument();
    Box b = Box::FromCorners(lowerLeft, upperRight);
    if (b.IsEmpty() || !std::isfinite(b.Width()) || !std::isfinite(b.Height())) ThrowInvalidInput("janela do zoom");
    View& v = doc->ActiveView();
    if (b.Width() == 0 && b.Height() == 0)
        v.SetCenter({b.min.x, b.min.y, 0.0});
    else
        v.Fit(b);
    doc->ViewChanged.Raise();
}

void Application::ZoomScaled(double scale, int scaleType)
{
    Document* doc = ActiveDocument();
    if (!(scale > 0) || !std::isfinite(scale)) ThrowInvalidInput("fator do zoom (deve ser maior que zero)");
    View& v = doc->ActiveView();
    switch (scaleType) {
    case acZoomScaledAbsolute: v.SetHeight(std::max(1e-9, Limits(*doc).Height()) / scale); break;
    case acZoomScaledRelative: v.SetHeight(v.Height() / scale); break;
    case acZoomScaledRelativePSpace:
        // Model units shown per paper unit of the active viewport.
        if (doc->ActiveSpace() == acPaperSpace && doc->MSpace())
            v.SetHeight(doc->ActivePViewport()->Height() / scale);
        else
            v.SetHeight(v.Height() / scale);
        break;
    default: ThrowInvalidInput("tipo de zoom " + std::to_string(scaleType) + " (use 0, 1 ou 2)");
    }
    doc->ViewChanged.Raise();
}

}  // namespace acad
