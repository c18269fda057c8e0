#pragma once
// The command line under the drawing: the last lines written to it, the
// current prompt exactly as the program sent it, and the line where the person
// types. Enter (or Space, where a space cannot be part of the answer) gives the
// typed text, Escape cancels.

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace acad::ui {

class CommandPanel : public QWidget {
    Q_OBJECT
public:
    explicit CommandPanel(QWidget* parent = nullptr);

    // The prompt shown before the typing line; `idle` shows the host's own prompt.
    void SetPrompt(const std::string& prompt);
    void SetIdle();
    // Whether a space typed now is part of the answer (GetString with spaces).
    void SetSpacesAllowed(bool allowed) { spacesAllowed_ = allowed; }
    // Adds lines to the history (messages of the program and of commands, echoes).
    void Append(const std::string& text);

    QString Prompt() const;
    QString History() const;
    QLineEdit* Edit() const { return edit_; }

    // Enter, or Space where it ends the answer: the text typed (maybe empty).
    std::function<void(const QString&)> onSubmit;
    std::function<void()> onEscape;
    // Space pressed (true) and released (false) where it does not type a space.
    std::function<void(bool)> onSpace;

    static constexpr const char* kIdlePrompt = "Comando: ";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* history_;
    QLabel* prompt_;
    QLineEdit* edit_;
    bool spacesAllowed_ = false;
    bool spaceDown_ = false;
};

}  // namespace acad::ui
