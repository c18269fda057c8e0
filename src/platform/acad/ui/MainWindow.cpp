#include "platform/acad/ui/MainWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>
#include <filesystem>

#include "platform/acad/Application.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/RunningObjects.h"
#include "platform/acad/ui/CommandPanel.h"
#include "platform/acad/ui/DrawingView.h"
#include "platform/os/FileDialog.h"
#include "platform/os/QtBridge.h"

namespace acad::ui {

namespace {

constexpr const char* kDrawingFilter = "Desenho (*.dwg)|*.dwg|Desenho DXF (*.dxf)|*.dxf";

std::string Number(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// "@dx,dy[,dz]" (or "@" alone) typed for a point: relative to `base`, given back
// as the absolute coordinates the host reads. Anything else is left as typed.
std::string ResolveRelative(const std::string& typed, const Point3d& base)
{
    const std::string t = input::Trim(typed);
    if (t.empty() || t[0] != '@') return typed;
    const std::string rest = input::Trim(t.substr(1));
    Point3d d;
    if (!rest.empty()) {
        const auto offset = input::ParsePoint(rest);
        if (!offset) return typed;
        d = *offset;
    }
    const Point3d p = base + d;
    return Number(p.x) + "," + Number(p.y) + "," + Number(p.z);
}

bool TakesPoints(InputKind k) { return k != InputKind::String; }

}  // namespace

// The application's input source: forwards to the window while it lives.
class MainWindow::Source : public InputSource {
public:
    explicit Source(MainWindow* w) : window(w) {}
    InputAnswer Ask(const InputRequest& request) override
    {
        if (!window)
            throw Error(ErrorCode::NoInputSource,
                        "A janela do desenho foi fechada: ninguém responde a \"" + request.prompt + "\"");
        return window->Ask(request);
    }
    void Message(const std::string& text) override
    {
        if (window) window->Message(text);
    }
    void Interrupt() override
    {
        if (window) window->Interrupt();
    }
    MainWindow* window;
};

MainWindow::MainWindow(acad::Application& app, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      source_(std::make_shared<Source>(this)),
      view_(new DrawingView(app, this)),
      commands_(new CommandPanel(this)),
      coordinates_(new QLabel(this))
{
    auto* central = new QWidget(this);
    auto* box = new QVBoxLayout(central);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(view_, 1);
    box->addWidget(commands_);
    setCentralWidget(central);
    statusBar()->addPermanentWidget(coordinates_);
    // 1024 × 768 where the screen has room for it and its frame, less where it has not.
    QSize first(1024, 768);
    if (const QScreen* s = screen()) first = first.boundedTo(s->availableGeometry().size() * 0.9);
    resize(first);
    // Keys typed over the drawing go to the command line.
    view_->setFocusProxy(commands_->Edit());
    commands_->Edit()->setFocus();
    BuildMenus();

    view_->onAnswer = [this](const InputAnswer& a) { Answer(a); };
    view_->onIdleRightClick = [this](const Point3d& p) {
        // Raised once the click has been handled: the handler may ask the person at once.
        QTimer::singleShot(0, this, [this, p] {
            Document* doc = Active();
            if (!doc) return;
            try {
                doc->BeginRightClick.Raise(p);
            } catch (const std::exception& e) {
                Message(e.what());
            }
        });
    };
    view_->onCursor = [this](const Point3d& p) { coordinates_->setText(QString::asprintf("%.4f, %.4f", p.x, p.y)); };
    view_->onError = [this](const std::string& text) { Message(text); };
    commands_->onSubmit = [this](const QString& text) { Submit(text); };
    commands_->onEscape = [this] { Escape(); };
    commands_->onSpace = [this](bool down) {
        view_->SetSpaceHeld(down);
        // Space released without panning is Enter, as on the host's command line.
        if (!down && !view_->PannedWithSpace()) {
            const QString text = commands_->Edit()->text();
            commands_->Edit()->clear();
            Submit(text);
        }
    };

    appConnections_.emplace_back(app_.ActiveDocumentChanged += [this] { ActiveDocumentChanged(); });
    appConnections_.emplace_back(app_.VisibleChanged += [this](bool visible) {
        if (closed_) return;
        if (visible && !isVisible()) show();
        if (!visible && isVisible()) hide();
    });
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] { Idle(); });
    app_.SetInputSource(source_);
    ActiveDocumentChanged();
}

MainWindow::~MainWindow()
{
    source_->window = nullptr;
    if (app_.GetInputSource() == source_.get()) app_.SetInputSource(nullptr);
    for (Frame* f : frames_) {
        f->answered = true;
        f->answer = InputAnswer::Escape();
        if (f->loop) f->loop->quit();
    }
}

void MainWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("Arquivo"));
    auto add = [&](QMenu* menu, const char* text, const QKeySequence& keys, auto fn) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    documentActions_.push_back(add(file, "Novo", QKeySequence::New, [this] { NewDrawing(); }));
    documentActions_.push_back(add(file, "Abrir", QKeySequence::Open, [this] { OpenDrawing(); }));
    add(file, "Salvar", QKeySequence::Save, [this] { SaveDrawing(); });
    add(file, "Salvar como", QKeySequence::SaveAs, [this] { SaveDrawingAs(); });
    file->addSeparator();
    add(file, "Sair", QKeySequence::Quit, [this] { close(); });

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("Exibir"));
    zoomExtents_ = add(viewMenu, "Zoom extensão", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
                       [this] { view_->ZoomExtents(); });

    drawingsMenu_ = menuBar()->addMenu(QStringLiteral("Janela"));
    connect(drawingsMenu_, &QMenu::aboutToShow, this, [this] { FillDrawingsMenu(); });
    connect(file, &QMenu::aboutToShow, this, [this] {
        // Another drawing cannot be brought in while this one is being asked something.
        for (QAction* a : documentActions_) a->setEnabled(frames_.empty());
    });
    FillDrawingsMenu();
    // A menu closed with Escape leaves the menu bar holding the keys; while the
    // program waits for an answer they belong on the command line. The bar takes
    // them only after the menu has gone, hence the turn of the event loop.
    for (QMenu* menu : {file, viewMenu, drawingsMenu_})
        connect(menu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (CurrentRequest()) commands_->Edit()->setFocus();
            });
        });
}

void MainWindow::FillDrawingsMenu()
{
    drawingsMenu_->clear();
    Document* active = Active();
    for (const auto& d : app_.Documents()) {
        Document* doc = d.get();
        QAction* a = drawingsMenu_->addAction(QString::fromStdString(doc->Name()));
        a->setCheckable(true);
        a->setChecked(doc == active);
        a->setEnabled(frames_.empty() || doc == active);
        connect(a, &QAction::triggered, this, [this, doc] {
            if (IsOpen(doc)) Attempt("Janela", [&] { app_.SetActiveDocument(*doc); });
        });
    }
}

// The application's Caption, marked "*" after it while the drawing shown has
// unsaved changes. The mark goes at the end: the program finds this window by
// a title that contains "[", "AutoCAD" and "]", and activates it by a title
// that begins with the Caption.
void MainWindow::UpdateTitle()
{
    QString title = QString::fromStdString(app_.Caption());
    if (const Document* doc = Active(); doc && !doc->Saved()) title += QLatin1Char('*');
    if (windowTitle() != title) setWindowTitle(title);
}

Document* MainWindow::Active() const { return view_->ShownDocument(); }

bool MainWindow::IsOpen(const Document* doc) const
{
    for (const auto& d : app_.Documents())
        if (d.get() == doc) return true;
    return false;
}

void MainWindow::Idle()
{
    if (closed_) return;
    UpdateTitle();
    view_->SyncScreenSize();
    view_->CheckForChanges();
}

void MainWindow::ActiveDocumentChanged()
{
    docConnections_.clear();
    for (auto it = waiting_.begin(); it != waiting_.end();)
        it = it->second.connection.Connected() ? std::next(it) : waiting_.erase(it);
    for (const auto& d : app_.Documents()) Follow(*d);
    if (Document* doc = Active()) {
        docConnections_.emplace_back(doc->ViewChanged += [this] { view_->Invalidate(); });
        docConnections_.emplace_back(doc->RedrawRequested += [this] { view_->Invalidate(); });
    }
    UpdateTitle();
    view_->SyncScreenSize();
    view_->Invalidate();
}

void MainWindow::Follow(Document& doc)
{
    auto known = waiting_.find(&doc);
    if (known != waiting_.end() && known->second.connection.Connected()) return;
    Document* d = &doc;
    // A command left waiting by SendCommand goes on from the event loop, once the
    // program's own code has gone on (it may still change what was just drawn).
    auto c = doc.CommandLine().WaitingForInput +=
        [this, d](const std::string&) { QTimer::singleShot(0, this, [this, d] { ContinueCommand(d); }); };
    waiting_[d] = Followed{c, platform::ScopedConnection(c)};
}

void MainWindow::ContinueCommand(Document* doc)
{
    if (closed_ || !IsOpen(doc) || !doc->CommandLine().Active()) return;
    try {
        doc->CommandLine().Continue();
    } catch (const Error& e) {
        Message(e.Description());
    } catch (const std::exception& e) {
        Message(e.what());
    }
}

// ---------------------------------------------------------------- requests

InputAnswer MainWindow::Ask(const InputRequest& request)
{
    if (closed_)
        throw Error(ErrorCode::NoInputSource,
                    "A janela do desenho foi fechada: ninguém responde a \"" + request.prompt + "\"");
    // The person answers in the drawing that asks.
    if (request.document && request.document != Active() && IsOpen(request.document))
        app_.SetActiveDocument(*request.document);
    if (!isVisible()) show();
    Frame frame;
    frame.request = request;
    frames_.push_back(&frame);
    ShowFrame(&frame);
    try {
        Waiting.Raise();
    } catch (const std::exception& e) {
        Message(e.what());
    }
    if (!frame.answered) {
        QEventLoop loop;
        frame.loop = &loop;
        loop.exec();
        frame.loop = nullptr;
    }
    frames_.pop_back();
    ShowFrame(frames_.empty() ? nullptr : frames_.back());
    // The event loops end without an answer only when the program quits: nobody
    // is left to answer (an Escape would only be asked again by retrying callers).
    if (!frame.answered)
        throw Error(ErrorCode::NoInputSource,
                    "O programa está terminando: ninguém responde a \"" + request.prompt + "\"");
    if (frame.interrupted)
        throw Error(ErrorCode::Interrupted, "Pedido interrompido por outro comando: \"" + request.prompt + "\"");
    return frame.answer;
}

void MainWindow::ShowFrame(const Frame* frame)
{
    if (!frame || frame->answered) {
        commands_->SetIdle();
        view_->SetRequest(nullptr);
        return;
    }
    commands_->SetPrompt(frame->request.prompt);
    commands_->SetSpacesAllowed(frame->request.kind == InputKind::String && frame->request.allowSpaces);
    view_->SetRequest(&frame->request);
}

const InputRequest* MainWindow::CurrentRequest() const
{
    if (frames_.empty() || frames_.back()->answered) return nullptr;
    return &frames_.back()->request;
}

void MainWindow::Answer(const InputAnswer& answer)
{
    if (frames_.empty() || frames_.back()->answered) return;
    Frame* f = frames_.back();
    f->answer = answer;
    f->answered = true;
    if (answer.kind == InputAnswer::Kind::Point) lastPoint_ = answer.point;
    if (answer.kind == InputAnswer::Kind::Window || answer.kind == InputAnswer::Kind::Crossing)
        lastPoint_ = answer.corner;
    ShowFrame(nullptr);
    if (f->loop) f->loop->quit();
}

void MainWindow::Submit(const QString& text)
{
    const InputRequest* r = CurrentRequest();
    if (!r) {
        // The idle prompt runs no typed command: it says so rather than let
        // the line vanish. Enter alone is nothing.
        const std::string typed = input::Trim(text.toStdString());
        if (typed.empty()) return;
        commands_->Append(std::string(CommandPanel::kIdlePrompt) + typed);
        commands_->Append("Comando desconhecido: \"" + typed + "\"");
        return;
    }
    const std::string typed = text.toStdString();
    commands_->Append(r->prompt + typed);
    if (input::Trim(typed).empty()) {
        Answer(InputAnswer::Enter());
        return;
    }
    if (!TakesPoints(r->kind)) {
        Answer(InputAnswer::Typed(typed));
        return;
    }
    const std::string resolved = ResolveRelative(typed, r->basePoint.value_or(lastPoint_));
    if (const auto p = input::ParsePoint(resolved)) lastPoint_ = *p;
    Answer(InputAnswer::Typed(resolved));
}

void MainWindow::Escape()
{
    if (CurrentRequest()) {
        commands_->Append(CurrentRequest()->prompt + "*Cancelado*");
        Answer(InputAnswer::Escape());
        return;
    }
    Document* doc = Active();
    if (doc && doc->CommandLine().Active()) {
        try {
            doc->CommandLine().Cancel();
            commands_->Append("*Cancelado*");
        } catch (const std::exception& e) {
            Message(e.what());
        }
    }
}

void MainWindow::Interrupt()
{
    // The requests end once the command that interrupts them is over: their
    // event loops are below its own.
    for (Frame* f : frames_) {
        if (f->answered) continue;
        commands_->Append(f->request.prompt + "*Cancelado*");
        f->answered = true;
        f->interrupted = true;
        if (f->loop) f->loop->quit();
    }
    ShowFrame(nullptr);
}

void MainWindow::Message(const std::string& text) { commands_->Append(text); }

// ---------------------------------------------------------------- files

void MainWindow::ShowError(const std::string& title, const std::string& text)
{
    os::ShowWarning(os::HandleOf(this), title, text);
}

bool MainWindow::Attempt(const std::string& title, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const Error& e) {
        ShowError(title, e.Description());
        return false;
    }
}

bool MainWindow::NewDrawing()
{
    return frames_.empty() && Attempt("Novo", [this] { app_.Documents().Add("Acad"); });
}

bool MainWindow::OpenDrawing()
{
    if (!frames_.empty()) return false;
    os::FileDialogOptions o;
    o.title = "Abrir";
    o.filter = std::string(kDrawingFilter) + "|Todos os arquivos (*.*)|*.*";
    o.flags = os::kFileMustExist;
    o.owner = os::HandleOf(this);
    // Beside the drawing shown; over one never saved, in the user's documents.
    Document* shown = Active();
    o.initialDir = shown ? shown->Path() : NewDrawingFolder().string();
    const os::FileDialogResult r = os::ShowOpenDialog(o);
    if (!r.ok) return false;
    // A drawing already open is brought forward, not read a second time.
    std::error_code ec;
    for (const auto& d : app_.Documents()) {
        if (!d->FullName().empty() && std::filesystem::equivalent(d->FullName(), r.fileName, ec)) {
            app_.SetActiveDocument(*d);
            return true;
        }
    }
    return Attempt("Abrir", [&] { app_.Documents().Open(r.fileName); });
}

bool MainWindow::SaveDrawing()
{
    Document* doc = Active();
    return doc && Save(*doc, doc->FullName().empty());
}

bool MainWindow::SaveDrawingAs()
{
    Document* doc = Active();
    return doc && Save(*doc, true);
}

bool MainWindow::Save(Document& doc, bool askName)
{
    std::string path = doc.FullName();
    if (askName) {
        os::FileDialogOptions o;
        o.title = "Salvar como";
        o.filter = kDrawingFilter;
        o.flags = os::kOverwritePrompt;
        o.owner = os::HandleOf(this);
        o.initialDir = doc.Path();
        o.fileName = doc.Name();
        const std::filesystem::path current(doc.Name());
        o.filterIndex = current.extension() == ".dxf" ? 2 : 1;
        const os::FileDialogResult r = os::ShowSaveDialog(o);
        if (!r.ok) return false;
        std::filesystem::path chosen(r.fileName);
        if (!chosen.has_extension()) {
            // The extension of the chosen type; replacing a file asks first, as the dialog would have.
            chosen += r.filterIndex == 2 ? ".dxf" : ".dwg";
            if (std::filesystem::exists(chosen)) {
                os::DialogRequest q;
                q.kind = os::DialogKind::Confirm;
                q.owner = o.owner;
                q.title = o.title;
                q.text = chosen.filename().string() + " já existe.\nDeseja substituí-lo?";
                q.fileName = chosen.string();
                if (!os::Ask(q).accepted) return false;
            }
        }
        path = chosen.string();
    }
    if (!Attempt("Salvar", [&] { askName ? doc.SaveAs(path) : doc.Save(); })) return false;
    UpdateTitle();
    return true;
}

// ---------------------------------------------------------------- closing

bool MainWindow::AskAboutUnsaved()
{
    std::vector<Document*> docs;
    for (const auto& d : app_.Documents()) docs.push_back(d.get());
    for (Document* doc : docs) {
        if (!IsOpen(doc) || doc->Saved()) continue;
        if (doc != Active()) app_.SetActiveDocument(*doc);
        QMessageBox box(
            QMessageBox::Question, QStringLiteral("Fechar"),
            QString::fromStdString("O desenho \"" + doc->Name() + "\" foi modificado.\nSalvar as alterações?"),
            QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == yes) {
            if (!Save(*doc, doc->FullName().empty())) return false;
        } else if (box.clickedButton() != no) {
            return false;  // Cancelar, or the box closed
        }
    }
    return true;
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    commands_->Edit()->setFocus();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Escape();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (closed_) {
        event->accept();
        return;
    }
    if (!AskAboutUnsaved()) {
        event->ignore();
        return;
    }
    event->accept();
    FinishClosing();
}

void MainWindow::FinishClosing()
{
    closed_ = true;
    // Whoever waits for an answer gets Escape; commands waiting for input end.
    for (Frame* f : frames_) {
        if (!f->answered) {
            f->answered = true;
            f->answer = InputAnswer::Escape();
        }
        if (f->loop) f->loop->quit();
    }
    view_->SetRequest(nullptr);
    for (const auto& d : app_.Documents()) {
        if (!d->CommandLine().Active()) continue;
        try {
            d->CommandLine().Cancel();
        } catch (const std::exception&) {
            // An EndCommand handler that fails cannot keep the window open.
        }
    }
    source_->window = nullptr;
    if (app_.GetInputSource() == source_.get()) app_.SetInputSource(nullptr);
    // The program finds the host no more ("Inicie o AutoCAD").
    try {
        if (acad::GetObject(kProgID) == &app_) acad::RevokeActiveObject(kProgID);
    } catch (const Error&) {
    }
    app_.SetVisible(false);
    try {
        Closed.Raise();
    } catch (const std::exception&) {
    }
}

}  // namespace acad::ui
