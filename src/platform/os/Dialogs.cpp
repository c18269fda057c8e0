#include "platform/os/Dialogs.h"

#include "platform/os/FileDialog.h"
#include "platform/os/QtBridge.h"
#include "platform/ProcessState.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace os {

namespace {

DialogDriver& Driver()
{
    static DialogDriver driver;
    return driver;
}
const platform::ProcessStateReset kResetDriver([] { Driver() = nullptr; });

QString Q(const std::string& s) { return QString::fromStdString(s); }

QWidget* ParentFor(WindowHandle owner)
{
    if (QWidget* w = WidgetOf(owner)) return w;
    return QApplication::activeWindow();
}

// Windows matches patterns without regard to case and users' files come from
// there with upper-case extensions: "*.dwg" is offered to the file list as
// "*.[dD][wW][gG]". Patterns are separated by ";" in the system's filters and
// by spaces in Qt's; "*.*" means every file.
QString QtPatterns(const std::string& patterns)
{
    QStringList out;
    for (const QString& p : Q(patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString t = p.trimmed();
        if (t.isEmpty()) continue;
        if (t == QLatin1String("*.*")) {
            out << QStringLiteral("*");
            continue;
        }
        QString ci;
        for (QChar c : t) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                ci += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                ci += c;
        }
        out << ci;
    }
    return out.isEmpty() ? QStringLiteral("*") : out.join(QLatin1Char(' '));
}

// The file list's columns in the program's language whatever the machine's
// locale and translations: a folder is a "Pasta", a file an "Arquivo" of its
// extension, sizes and dates as Brazilian users write them (dd/mm/aaaa).
class PortugueseColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == 0) return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info(files->filePath(source));
        const QLocale br(QLocale::Portuguese, QLocale::Brazil);
        switch (index.column()) {
        case 1:
            return info.isDir() ? QString() : br.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
        case 2:
            if (info.isDir()) return QStringLiteral("Pasta");
            return info.suffix().isEmpty() ? QStringLiteral("Arquivo")
                                           : QStringLiteral("Arquivo ") + info.suffix().toUpper();
        case 3: {
            const QDateTime when = info.lastModified();
            return when.isValid() ? br.toString(when, QStringLiteral("dd/MM/yyyy HH:mm")) : QString();
        }
        default: return QIdentityProxyModel::data(index, role);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static const char* const names[] = {"Nome", "Tamanho", "Tipo", "Data de modificação"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
            return QString::fromUtf8(names[section]);
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

// The dialog's own words in Portuguese, and a list whose columns are as wide
// as what they hold.
void Portuguese(QFileDialog& dlg, DialogKind kind)
{
    dlg.setLabelText(QFileDialog::LookIn, QStringLiteral("Examinar:"));
    dlg.setLabelText(QFileDialog::FileName,
                     kind == DialogKind::Folder ? QStringLiteral("Pasta:") : QStringLiteral("Nome do arquivo:"));
    dlg.setLabelText(QFileDialog::FileType, QStringLiteral("Arquivos do tipo:"));
    dlg.setLabelText(QFileDialog::Accept, kind == DialogKind::Save     ? QStringLiteral("Salvar")
                                          : kind == DialogKind::Folder ? QStringLiteral("Escolher")
                                                                       : QStringLiteral("Abrir"));
    dlg.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    dlg.setProxyModel(new PortugueseColumns(&dlg));
    if (auto* list = dlg.findChild<QTreeView*>(QStringLiteral("treeView")))
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

DialogAnswer ShowFileDialog(const DialogRequest& r)
{
    QFileDialog dlg(ParentFor(r.owner), Q(r.title), Q(r.initialDir));
    // Qt's own widgets, so the dialog works on every platform plugin (tests
    // run offscreen); the overwrite question and the default extension are
    // this layer's, applied the same way to a driver's answer.
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setOption(QFileDialog::HideNameFilterDetails);
    Portuguese(dlg, r.kind);
    if (r.kind == DialogKind::Folder) {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::Directory);
        dlg.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dlg.setAcceptMode(r.kind == DialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        if (r.kind == DialogKind::Open && (r.flags & kAllowMultiSelect))
            dlg.setFileMode(QFileDialog::ExistingFiles);
        else if (r.kind == DialogKind::Open && (r.flags & kFileMustExist))
            dlg.setFileMode(QFileDialog::ExistingFile);
        else
            dlg.setFileMode(QFileDialog::AnyFile);
        QStringList filters, shown;
        for (const auto& f : r.filters) {
            const QString desc = f.description.empty() ? Q(f.patterns) : Q(f.description);
            filters << desc + QStringLiteral(" (") + QtPatterns(f.patterns) + QLatin1Char(')');
            shown << desc.simplified();
        }
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            const int i = (r.filterIndex >= 1 && r.filterIndex <= filters.size()) ? r.filterIndex - 1 : 0;
            dlg.selectNameFilter(filters[i]);
        }
        if (!r.fileName.empty()) dlg.selectFile(Q(r.fileName));
        // Typing goes to the name, replacing the proposed one; done once the
        // dialog is up, as showing it moves the focus itself.
        if (auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            QMetaObject::invokeMethod(
                &dlg,
                [&dlg, name] {
                    dlg.activateWindow();
                    name->setFocus(Qt::OtherFocusReason);
                    name->selectAll();
                },
                Qt::QueuedConnection);
        if (dlg.exec() != QDialog::Accepted) return DialogAnswer::Cancel();
        DialogAnswer a = DialogAnswer::Cancel();
        a.accepted = true;
        for (const QString& f : dlg.selectedFiles()) a.paths.push_back(f.toStdString());
        const QString sel = dlg.selectedNameFilter();
        for (int i = 0; i < filters.size(); ++i)
            if (sel == filters[i] || sel == shown[i]) a.filterIndex = i + 1;
        return a;
    }
    if (dlg.exec() != QDialog::Accepted) return DialogAnswer::Cancel();
    const QStringList files = dlg.selectedFiles();
    return files.isEmpty() ? DialogAnswer::Cancel() : DialogAnswer::Path(files.first().toStdString());
}

std::vector<std::string> ButtonsOf(const DialogRequest& r)
{
    if (!r.buttons.empty()) return r.buttons;
    if (r.kind == DialogKind::Confirm) return {"Sim", "Não"};
    return {"OK"};
}

int CancelButtonOf(const DialogRequest& r, int count)
{
    return r.cancelButton >= 0 && r.cancelButton < count ? r.cancelButton : count - 1;
}

QMessageBox::Icon IconOf(const DialogRequest& r)
{
    switch (r.icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Default: break;
    }
    return r.kind == DialogKind::Confirm ? QMessageBox::Question : QMessageBox::Warning;
}

// Questions and messages alike: the buttons in order, Enter on the default
// one, Escape and the close button on the cancel one.
DialogAnswer ShowMessageBox(const DialogRequest& r)
{
    const std::vector<std::string> captions = ButtonsOf(r);
    const int count = static_cast<int>(captions.size());
    QMessageBox box(IconOf(r), Q(r.title), Q(r.text), QMessageBox::NoButton, ParentFor(r.owner));
    std::vector<QPushButton*> buttons;
    const int cancel = CancelButtonOf(r, count);
    for (int i = 0; i < count; ++i)
        buttons.push_back(box.addButton(Q(captions[static_cast<std::size_t>(i)]),
                                        i == cancel && count > 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    // The overwrite question defaults to "Não": replacing a file takes a choice.
    const int def = r.buttons.empty() && r.kind == DialogKind::Confirm ? 1 : r.defaultButton;
    if (def >= 0 && def < count) box.setDefaultButton(buttons[static_cast<std::size_t>(def)]);
    box.setEscapeButton(buttons[static_cast<std::size_t>(cancel)]);
    box.exec();
    int pressed = cancel;
    for (int i = 0; i < count; ++i)
        if (box.clickedButton() == buttons[static_cast<std::size_t>(i)]) pressed = i;
    DialogAnswer a = DialogAnswer::Cancel();
    a.accepted = pressed == 0;
    a.choice = pressed;
    return a;
}

DialogAnswer ShowChooseProgram(const DialogRequest& r)
{
    QDialog dlg(ParentFor(r.owner));
    dlg.setWindowTitle(Q(r.title));
    auto* layout = new QVBoxLayout(&dlg);
    auto* prompt = new QLabel(Q(r.text), &dlg);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* list = new QListWidget(&dlg);
    for (const auto& c : r.candidates) list->addItem(Q(c));
    list->setVisible(!r.candidates.empty());
    layout->addWidget(list);
    layout->addWidget(new QLabel(QStringLiteral("Ou digite o comando:"), &dlg));
    auto* command = new QLineEdit(&dlg);
    layout->addWidget(command);
    auto* buttons = new QDialogButtonBox(&dlg);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    ok->setEnabled(false);
    // A program chosen in the list and a typed command exclude each other.
    // The selection counts, not the current row, which the list sets by
    // itself when it gets the focus.
    const auto chosenRow = [list] {
        const auto items = list->selectedItems();
        return items.isEmpty() ? -1 : list->row(items.first());
    };
    QObject::connect(list, &QListWidget::itemSelectionChanged, &dlg, [=] {
        if (chosenRow() >= 0) command->clear();
        ok->setEnabled(chosenRow() >= 0 || !command->text().trimmed().isEmpty());
    });
    QObject::connect(command, &QLineEdit::textChanged, &dlg, [=](const QString& t) {
        if (!t.trimmed().isEmpty()) list->clearSelection();
        ok->setEnabled(chosenRow() >= 0 || !t.trimmed().isEmpty());
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (dlg.exec() != QDialog::Accepted) return DialogAnswer::Cancel();
    if (!command->text().trimmed().isEmpty()) return DialogAnswer::Command(command->text().trimmed().toStdString());
    if (chosenRow() >= 0) return DialogAnswer::Program(chosenRow());
    return DialogAnswer::Cancel();
}

}  // namespace

DialogDriver SetDialogDriver(DialogDriver driver)
{
    DialogDriver previous = std::move(Driver());
    Driver() = std::move(driver);
    return previous;
}

bool DialogsAvailable() { return Driver() || qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

DialogAnswer Ask(const DialogRequest& request)
{
    if (Driver()) {
        // A copy, so that a driver may replace itself while answering.
        DialogDriver driver = Driver();
        return driver(request);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return DialogAnswer::Cancel();
    switch (request.kind) {
    case DialogKind::Open:
    case DialogKind::Save:
    case DialogKind::Folder: return ShowFileDialog(request);
    case DialogKind::Confirm:
    case DialogKind::Message: return ShowMessageBox(request);
    case DialogKind::ChooseProgram: return ShowChooseProgram(request);
    }
    return DialogAnswer::Cancel();
}

void ShowWarning(WindowHandle owner, const std::string& title, const std::string& text)
{
    DialogRequest msg;
    msg.kind = DialogKind::Message;
    msg.owner = owner;
    msg.title = title;
    msg.text = text;
    Ask(msg);
}

int ButtonPressed(const DialogRequest& request, const DialogAnswer& answer)
{
    const int count = static_cast<int>(ButtonsOf(request).size());
    if (answer.choice >= 0 && answer.choice < count) return answer.choice;
    return answer.accepted ? 0 : CancelButtonOf(request, count);
}

}  // namespace os
