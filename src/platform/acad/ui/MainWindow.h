#pragma once
// The host's main window (private to the layer; DrawingWindow.h is the API):
// menu, drawing area, command line and coordinate read-out, and the input
// source that answers the program's requests. A request blocks its caller in
// a nested event loop until the person answers; a request made while another
// waits is answered first, then the earlier one is asked again.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Event.h"
#include "platform/acad/InputSource.h"

class QAction;
class QCloseEvent;
class QKeyEvent;
class QShowEvent;
class QEventLoop;
class QLabel;
class QMenu;

namespace acad {
class Application;
class Document;
}  // namespace acad

namespace acad::ui {

class CommandPanel;
class DrawingView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Installs itself as the application's input source.
    explicit MainWindow(acad::Application& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- input source
    InputAnswer Ask(const InputRequest& request);
    void Message(const std::string& text);
    // The request the person is answering now, or null.
    const InputRequest* CurrentRequest() const;
    // Gives the answer to the current request (what the mouse and the command line do).
    void Answer(const InputAnswer& answer);
    // Typed text as the command line gives it (empty: Enter).
    void Submit(const QString& text);
    // Escape: cancels the request, or the command that waits for input.
    void Escape();
    // Ends the requests that wait, each failing with Interrupted (InputSource::Interrupt).
    void Interrupt();

    // --- menu commands ("Novo", "Abrir", "Salvar", "Salvar como"); false when
    // nothing was done (cancelled or refused, the reason shown to the person).
    bool NewDrawing();
    bool OpenDrawing();
    bool SaveDrawing();
    bool SaveDrawingAs();

    bool IsClosed() const { return closed_; }
    DrawingView* View() const { return view_; }
    CommandPanel* Commands() const { return commands_; }
    QLabel* Coordinates() const { return coordinates_; }
    QMenu* DrawingsMenu() const { return drawingsMenu_; }
    QAction* ZoomExtentsAction() const { return zoomExtents_; }

    // Raised when a request starts waiting for the person (after the prompt is shown).
    platform::Event<> Waiting;
    // Raised once, when the window has been closed for good.
    platform::Event<> Closed;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Keys that reach the window itself (posted to it, as the program's Escape is).
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Frame {
        InputRequest request;
        InputAnswer answer;
        bool answered = false;
        bool interrupted = false;
        QEventLoop* loop = nullptr;
    };
    class Source;

    void BuildMenus();
    void FillDrawingsMenu();
    void Idle();
    void UpdateTitle();
    void ActiveDocumentChanged();
    void Follow(Document& doc);
    void ContinueCommand(Document* doc);
    void ShowFrame(const Frame* frame);
    bool Save(Document& doc, bool askName);
    bool AskAboutUnsaved();
    void FinishClosing();
    void ShowError(const std::string& title, const std::string& text);
    // Runs a step of a menu command; a failure is shown to the person under `title`.
    bool Attempt(const std::string& title, const std::function<void()>& step);
    Document* Active() const;
    bool IsOpen(const Document* doc) const;

    acad::Application& app_;
    std::shared_ptr<Source> source_;
    DrawingView* view_;
    CommandPanel* commands_;
    QLabel* coordinates_;
    QMenu* drawingsMenu_ = nullptr;
    QAction* zoomExtents_ = nullptr;
    std::vector<QAction*> documentActions_;  // disabled while a request waits
    std::vector<Frame*> frames_;
    Point3d lastPoint_;
    bool closed_ = false;
    std::vector<platform::ScopedConnection> appConnections_;
    std::vector<platform::ScopedConnection> docConnections_;  // of the active document
    // WaitingForInput of each document followed; the connection tells whether
    // the document it was made with still lives (another may reuse its address).
    struct Followed {
        platform::Event<std::string>::Connection connection;
        platform::ScopedConnection scoped;
    };
    std::unordered_map<const Document*, Followed> waiting_;
};

}  // namespace acad::ui
