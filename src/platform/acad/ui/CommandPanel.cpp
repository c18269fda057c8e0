#include "platform/acad/ui/CommandPanel.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace acad::ui {

CommandPanel::CommandPanel(QWidget* parent)
    : QWidget(parent), history_(new QPlainTextEdit(this)), prompt_(new QLabel(this)), edit_(new QLineEdit(this))
{
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    history_->setReadOnly(true);
    history_->setFocusPolicy(Qt::NoFocus);
    history_->setMaximumBlockCount(500);
    history_->setFont(mono);
    history_->setFixedHeight(QFontMetrics(mono).lineSpacing() * 4 + 10);
    prompt_->setFont(mono);
    prompt_->setTextFormat(Qt::PlainText);
    edit_->setFont(mono);
    edit_->setFrame(false);
    edit_->installEventFilter(this);

    auto* line = new QHBoxLayout;
    line->setContentsMargins(4, 0, 4, 2);
    line->setSpacing(0);
    line->addWidget(prompt_);
    line->addWidget(edit_, 1);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(history_);
    box->addLayout(line);
    SetIdle();
}

void CommandPanel::SetPrompt(const std::string& prompt) { prompt_->setText(QString::fromStdString(prompt)); }

void CommandPanel::SetIdle()
{
    SetPrompt(kIdlePrompt);
    spacesAllowed_ = false;
}

void CommandPanel::Append(const std::string& text)
{
    // Line ends of the program's texts ("\r\n" before a prompt) become lines here.
    QString t = QString::fromStdString(text);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    if (t.isEmpty()) return;
    history_->appendPlainText(t);
}

QString CommandPanel::Prompt() const { return prompt_->text(); }

QString CommandPanel::History() const { return history_->toPlainText(); }

bool CommandPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != edit_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool press = event->type() == QEvent::KeyPress;
    switch (key->key()) {
    case Qt::Key_Escape:
        if (press && onEscape) onEscape();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (press) {
            const QString text = edit_->text();
            edit_->clear();
            if (onSubmit) onSubmit(text);
        }
        return true;
    case Qt::Key_Space:
        if (spacesAllowed_ && !spaceDown_) return false;  // types a space
        if (key->isAutoRepeat()) return true;
        if (press) {
            spaceDown_ = true;
            if (onSpace) onSpace(true);
        } else if (spaceDown_) {
            spaceDown_ = false;
            if (onSpace) onSpace(false);
        }
        return true;
    default: return false;
    }
}

}  // namespace acad::ui
