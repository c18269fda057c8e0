// ListBox, ComboBox, DriveListBox and DirListBox.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStorageInfo>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

#include "platform/forms/ListControls.h"
#include "platform/forms/Private.h"

namespace forms::detail {

namespace {

void RaiseClick(ControlData* d)
{
    if (Alive(d)) RaiseFromQt(d, d->self->Click);
}

// The field of a combo box as the forms were laid out for: the text runs
// from just inside the border to the drop button. An entry longer than the
// field ends in "…" instead of being cut where the field ends: a cut
// "PV-1000" reads as another type, "PV-100". The drop-down list shows every
// entry whole.
class ComboStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override
    {
        QRect r = QProxyStyle::subControlRect(cc, opt, sc, w);
        if (cc != CC_ComboBox || sc != SC_ComboBoxEditField) return r;
        const auto* cb = qstyleoption_cast<const QStyleOptionComboBox*>(opt);
        if (!cb || !cb->frame || cb->direction == Qt::RightToLeft) return r;
        const QRect arrow = QProxyStyle::subControlRect(cc, opt, SC_ComboBoxArrow, w);
        r.setLeft(std::min(r.left(), opt->rect.left() + 3));
        r.setRight(std::max(r.right(), arrow.left()));
        return r;
    }

    void drawControl(ControlElement el, const QStyleOption* opt, QPainter* p, const QWidget* w) const override
    {
        const auto* cb = qstyleoption_cast<const QStyleOptionComboBox*>(opt);
        if (el != CE_ComboBoxLabel || !cb || cb->editable) {
            QProxyStyle::drawControl(el, opt, p, w);
            return;
        }
        QStyleOptionComboBox shown(*cb);
        // The label is drawn a pixel in from each side of the field, after the icon.
        int room = subControlRect(CC_ComboBox, cb, SC_ComboBoxEditField, w).width() - 2;
        if (!cb->currentIcon.isNull()) room -= cb->iconSize.width() + 4;
        shown.currentText = cb->fontMetrics.elidedText(cb->currentText, Qt::ElideRight, std::max(0, room));
        QProxyStyle::drawControl(el, &shown, p, w);
    }
};

void UseComboStyle(QComboBox* c)
{
    static ComboStyle* style = new ComboStyle;
    c->setStyle(style);
}

// A list whose clicks reach VB once Qt has finished with the mouse press or
// key (a handler may then clear or refill the list safely).
class ListWidget : public QListWidget {
public:
    explicit ListWidget(QWidget* parent) : QListWidget(parent) {}
    ControlData* d = nullptr;
    bool inInput = false;
    bool changed = false;
    std::function<void(int row)> onActivate;  // double click or Enter on a row (folder lists)

    // Qt's selection signals land here.
    void SelectionChanged()
    {
        if (d->quiet) return;
        if (inInput)
            changed = true;
        else
            RaiseClick(d);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        Dispatching dispatching;
        ControlData* dd = d;
        inInput = true;
        changed = false;
        QListWidget::mousePressEvent(e);
        if (!Alive(dd)) return;
        inInput = false;
        const bool onItem = itemAt(e->position().toPoint()) != nullptr;
        // A click on an item is a Click even when it was chosen already.
        if (changed || (onItem && e->button() == Qt::LeftButton)) RaiseClick(dd);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        Dispatching dispatching;
        ControlData* dd = d;
        QListWidget::mouseDoubleClickEvent(e);
        if (!Alive(dd) || !onActivate) return;
        if (QListWidgetItem* it = itemAt(e->position().toPoint())) onActivate(row(it));
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        Dispatching dispatching;
        ControlData* dd = d;
        if (onActivate && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
            if (currentRow() >= 0) onActivate(currentRow());
            return;
        }
        inInput = true;
        changed = false;
        QListWidget::keyPressEvent(e);
        if (!Alive(dd)) return;
        inInput = false;
        if (changed) RaiseClick(dd);
    }
};

}  // namespace

struct ListBoxData : ControlData {
    int newIndex = -1;
    int multiSelect = vbMultiSelectNone;
    ListWidget* List() const { return static_cast<ListWidget*>(widget.data()); }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        multiSelect = static_cast<const ListBoxData&>(o).multiSelect;
        ApplyMode();
    }
    void ApplyMode()
    {
        if (!List()) return;
        List()->setSelectionMode(multiSelect == vbMultiSelectSimple     ? QAbstractItemView::MultiSelection
                                 : multiSelect == vbMultiSelectExtended ? QAbstractItemView::ExtendedSelection
                                                                        : QAbstractItemView::SingleSelection);
    }
};

struct ComboData : ControlData {
    int style = vbComboDropdown;
    int newIndex = -1;
    bool edited = false;  // the user typed since the last choice
    double dropWidth = 0;
    bool locked = false;
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget.data()); }
    bool Editable() const { return style != vbComboDropdownList; }
    void ApplyStyle()
    {
        QComboBox* c = Combo();
        if (!c) return;
        const QString text = c->currentText();
        Quiet q(*this);
        c->setEditable(Editable());
        if (QLineEdit* le = c->lineEdit()) {
            AddMouseSource(le);
            le->setReadOnly(locked);
            ControlData* self_ = this;
            QObject::connect(le, &QLineEdit::textEdited, le, [self_] {
                if (!Alive(self_) || self_->quiet) return;
                static_cast<ComboData*>(self_)->edited = true;
                RaiseFromQt(self_, self_->self->Change);
            });
            le->setText(text);
        }
        if (dropWidth > 0) c->view()->setMinimumWidth(Px(dropWidth));
    }
    void CopyStateFrom(const ControlData& o) override
    {
        ControlData::CopyStateFrom(o);
        const auto& c = static_cast<const ComboData&>(o);
        style = c.style;
        dropWidth = c.dropWidth;
        locked = c.locked;
        ApplyStyle();
    }
};

}  // namespace forms::detail

namespace forms {

using namespace detail;

namespace {

ListBoxData& LB(const ListBox& l) { return static_cast<ListBoxData&>(l.Impl()); }
ComboData& CB(const ComboBox& c) { return static_cast<ComboData&>(c.Impl()); }

void CheckIndex(int index, int count, const std::string& what, int error = 381)
{
    if (index < 0 || index >= count)
        Fail(error, (error == 5 ? "Invalid procedure call: " : "Invalid property array index: ") + what + "(" +
                        std::to_string(index) + ")");
}

}  // namespace

// ---------------------------------------------------------------- ListBox

ListBox::ListBox(Init init) : Control(std::move(init), std::make_unique<ListBoxData>())
{
    auto& d = LB(*this);
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    auto* l = new ListWidget(d.ParentWidget());
    l->d = &d;
    QObject::connect(l, &QListWidget::itemSelectionChanged, l, [l] { l->SelectionChanged(); });
    d.st.width = 1215;
    d.st.height = 1035;
    d.Attach(l);
    d.AddMouseSource(l->viewport());
    d.ApplyMode();
}

void ListBox::AddItem(const std::string& item, int index)
{
    auto& d = LB(*this);
    ListWidget* l = d.List();
    const int n = l->count();
    if (index < -1 || index > n) Fail(5, "Invalid procedure call: " + d.name + ".AddItem at " + std::to_string(index));
    Quiet q(d);
    const int at = index < 0 ? n : index;
    l->insertItem(at, Q(item));
    d.newIndex = at;
}

void ListBox::RemoveItem(int index)
{
    auto& d = LB(*this);
    ListWidget* l = d.List();
    CheckIndex(index, l->count(), d.name + ".RemoveItem", 5);
    Quiet q(d);
    const bool wasChosen = d.multiSelect == vbMultiSelectNone && ListIndex() == index;
    delete l->takeItem(index);
    if (wasChosen) {
        l->clearSelection();
        l->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    }
    d.newIndex = -1;
}

void ListBox::Clear()
{
    auto& d = LB(*this);
    Quiet q(d);
    d.List()->clear();
    d.newIndex = -1;
}

std::string ListBox::List(int index) const
{
    QListWidgetItem* it = LB(*this).List()->item(index);
    return it ? U(it->text()) : std::string();
}

void ListBox::SetList(int index, const std::string& item)
{
    auto& d = LB(*this);
    CheckIndex(index, d.List()->count(), d.name + ".List");
    d.List()->item(index)->setText(Q(item));
}

int ListBox::ListCount() const { return LB(*this).List()->count(); }

int ListBox::ListIndex() const
{
    auto& d = LB(*this);
    ListWidget* l = d.List();
    if (d.multiSelect != vbMultiSelectNone) return l->currentRow();
    const auto sel = l->selectedItems();
    return sel.isEmpty() ? -1 : l->row(sel.first());
}

void ListBox::SetListIndex(int index)
{
    auto& d = LB(*this);
    ListWidget* l = d.List();
    if (index < -1 || index >= l->count())
        Fail(380, "Invalid property value: " + d.name + ".ListIndex " + std::to_string(index));
    if (index == ListIndex()) return;
    {
        Quiet q(d);
        if (d.multiSelect != vbMultiSelectNone) {
            l->setCurrentRow(index, QItemSelectionModel::NoUpdate);
        } else if (index < 0) {
            l->clearSelection();
            l->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        } else {
            l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
            l->scrollToItem(l->item(index));
        }
    }
    Click.Raise();
}

long ListBox::ItemData(int index) const
{
    auto& d = LB(*this);
    CheckIndex(index, d.List()->count(), d.name + ".ItemData");
    return static_cast<long>(d.List()->item(index)->data(Qt::UserRole).toLongLong());
}

void ListBox::SetItemData(int index, long value)
{
    auto& d = LB(*this);
    CheckIndex(index, d.List()->count(), d.name + ".ItemData");
    d.List()->item(index)->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(value));
}

int ListBox::NewIndex() const { return LB(*this).newIndex; }

bool ListBox::Selected(int index) const
{
    auto& d = LB(*this);
    CheckIndex(index, d.List()->count(), d.name + ".Selected");
    return d.List()->item(index)->isSelected();
}

void ListBox::SetSelected(int index, bool v)
{
    auto& d = LB(*this);
    ListWidget* l = d.List();
    CheckIndex(index, l->count(), d.name + ".Selected");
    if (l->item(index)->isSelected() == v) return;
    if (d.multiSelect == vbMultiSelectNone) {
        // One choice at most: selecting is choosing, deselecting the choice leaves none.
        SetListIndex(v ? index : -1);
        return;
    }
    {
        Quiet q(d);
        l->item(index)->setSelected(v);
        l->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    }
    Click.Raise();
}

int ListBox::SelCount() const { return static_cast<int>(LB(*this).List()->selectedItems().size()); }

int ListBox::TopIndex() const
{
    ListWidget* l = LB(*this).List();
    QListWidgetItem* it = l->itemAt(0, 0);
    return it ? l->row(it) : (l->count() ? 0 : -1);
}

void ListBox::SetTopIndex(int index)
{
    ListWidget* l = LB(*this).List();
    if (QListWidgetItem* it = l->item(index)) l->scrollToItem(it, QAbstractItemView::PositionAtTop);
}

std::string ListBox::Text() const
{
    const int i = ListIndex();
    return i < 0 ? std::string() : List(i);
}

int ListBox::MultiSelect() const { return LB(*this).multiSelect; }

void ListBox::SetMultiSelect(int v)
{
    auto& d = LB(*this);
    d.multiSelect = v;
    d.ApplyMode();
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(Init init) : Control(std::move(init), std::make_unique<ComboData>())
{
    auto& d = CB(*this);
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    d.dblClickEvent = false;
    auto* c = new QComboBox(d.ParentWidget());
    UseComboStyle(c);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(8);
    ComboData* dp = &d;
    QObject::connect(c, &QComboBox::activated, c, [dp](int) {
        if (!Alive(dp) || dp->quiet) return;
        dp->edited = false;
        RaiseClick(dp);
    });
    d.st.width = 1215;
    d.st.height = 315;
    d.Attach(c);
    d.ApplyStyle();
}

int ComboBox::Style() const { return CB(*this).style; }

void ComboBox::SetStyle(int style)
{
    if (style < vbComboDropdown || style > vbComboDropdownList)
        Fail(380, "Invalid property value: ComboBox.Style " + std::to_string(style));
    auto& d = CB(*this);
    d.style = style;
    d.ApplyStyle();
}

void ComboBox::AddItem(const std::string& item, int index)
{
    auto& d = CB(*this);
    QComboBox* c = d.Combo();
    const int n = c->count();
    if (index < -1 || index > n) Fail(5, "Invalid procedure call: " + d.name + ".AddItem at " + std::to_string(index));
    Quiet q(d);
    const int chosen = c->currentIndex();
    const QString text = c->currentText();
    const int at = index < 0 ? n : index;
    c->insertItem(at, Q(item));
    // Qt chooses the first item added to an empty box; VB leaves the choice alone.
    if (chosen < 0) {
        c->setCurrentIndex(-1);
        if (d.Editable()) c->setEditText(text);
    }
    d.newIndex = at;
}

void ComboBox::RemoveItem(int index)
{
    auto& d = CB(*this);
    QComboBox* c = d.Combo();
    CheckIndex(index, c->count(), d.name + ".RemoveItem", 5);
    Quiet q(d);
    const bool wasChosen = c->currentIndex() == index;
    const QString text = c->currentText();
    c->removeItem(index);
    if (wasChosen) {
        c->setCurrentIndex(-1);
        if (d.Editable()) c->setEditText(text);
    }
    d.newIndex = -1;
}

void ComboBox::Clear()
{
    auto& d = CB(*this);
    Quiet q(d);
    d.Combo()->clear();
    d.Combo()->clearEditText();
    d.newIndex = -1;
    d.edited = false;
}

std::string ComboBox::List(int index) const
{
    QComboBox* c = CB(*this).Combo();
    return index >= 0 && index < c->count() ? U(c->itemText(index)) : std::string();
}

void ComboBox::SetList(int index, const std::string& item)
{
    auto& d = CB(*this);
    CheckIndex(index, d.Combo()->count(), d.name + ".List");
    Quiet q(d);
    d.Combo()->setItemText(index, Q(item));
}

int ComboBox::ListCount() const { return CB(*this).Combo()->count(); }

int ComboBox::ListIndex() const
{
    auto& d = CB(*this);
    return d.edited ? -1 : d.Combo()->currentIndex();
}

void ComboBox::SetListIndex(int index)
{
    auto& d = CB(*this);
    QComboBox* c = d.Combo();
    if (index < -1 || index >= c->count())
        Fail(380, "Invalid property value: " + d.name + ".ListIndex " + std::to_string(index));
    if (index == ListIndex()) return;
    {
        Quiet q(d);
        c->setCurrentIndex(index);
        if (d.Editable()) c->setEditText(index < 0 ? QString() : c->itemText(index));
        d.edited = false;
    }
    Click.Raise();
}

long ComboBox::ItemData(int index) const
{
    auto& d = CB(*this);
    CheckIndex(index, d.Combo()->count(), d.name + ".ItemData");
    return static_cast<long>(d.Combo()->itemData(index).toLongLong());
}

void ComboBox::SetItemData(int index, long value)
{
    auto& d = CB(*this);
    CheckIndex(index, d.Combo()->count(), d.name + ".ItemData");
    d.Combo()->setItemData(index, QVariant::fromValue<qlonglong>(value));
}

int ComboBox::NewIndex() const { return CB(*this).newIndex; }

std::string ComboBox::Text() const
{
    auto& d = CB(*this);
    QComboBox* c = d.Combo();
    if (d.Editable()) return U(c->currentText());
    return c->currentIndex() < 0 ? std::string() : U(c->currentText());
}

void ComboBox::SetText(const std::string& text)
{
    auto& d = CB(*this);
    QComboBox* c = d.Combo();
    const QString t = Q(text);
    const int found = c->findText(t, Qt::MatchFixedString);  // letter case ignored
    if (!d.Editable()) {
        if (found < 0) Fail(383, "'Text' property is read-only: no item \"" + text + "\" in " + d.name);
        SetListIndex(found);
        return;
    }
    if (t == c->currentText()) return;
    {
        Quiet q(d);
        if (found >= 0) c->setCurrentIndex(found);
        c->setEditText(t);
        d.edited = found < 0;
    }
    Change.Raise();
}

int ComboBox::SelStart() const
{
    QLineEdit* le = CB(*this).Combo()->lineEdit();
    if (!le) return 0;
    return le->hasSelectedText() ? le->selectionStart() : le->cursorPosition();
}

void ComboBox::SetSelStart(int v)
{
    if (QLineEdit* le = CB(*this).Combo()->lineEdit()) le->setCursorPosition(std::max(0, v));
}

int ComboBox::SelLength() const
{
    QLineEdit* le = CB(*this).Combo()->lineEdit();
    return le ? static_cast<int>(le->selectedText().size()) : 0;
}

void ComboBox::SetSelLength(int v)
{
    QLineEdit* le = CB(*this).Combo()->lineEdit();
    if (!le) return;
    const int start = SelStart();
    le->setSelection(start, std::clamp(v, 0, static_cast<int>(le->text().size()) - start));
}

double ComboBox::DropDownWidth() const
{
    auto& d = CB(*this);
    return d.dropWidth > 0 ? d.dropWidth : d.st.width;
}

void ComboBox::SetDropDownWidth(double twips)
{
    auto& d = CB(*this);
    d.dropWidth = twips;
    d.Combo()->view()->setMinimumWidth(Px(twips));
}

bool ComboBox::Locked() const { return CB(*this).locked; }

void ComboBox::SetLocked(bool v)
{
    auto& d = CB(*this);
    d.locked = v;
    if (QLineEdit* le = d.Combo()->lineEdit()) le->setReadOnly(v);
}

// ---------------------------------------------------------------- DriveListBox

namespace {

struct DriveData : ControlData {
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget.data()); }
    void Fill()
    {
        QComboBox* c = Combo();
        const QString current = c->currentText();
        QStringList roots{QStringLiteral("/")};
        for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
            if (!s.isValid() || !s.isReady()) continue;
            const QString p = s.rootPath();
            if (p == "/" || p.startsWith("/proc") || p.startsWith("/sys") || p.startsWith("/dev") ||
                p.startsWith("/run") || p.startsWith("/snap"))
                continue;
            if (!roots.contains(p)) roots << p;
        }
        std::sort(roots.begin() + 1, roots.end());
        Quiet q(*this);
        c->clear();
        c->addItems(roots);
        const int keep = c->findText(current);
        c->setCurrentIndex(keep >= 0 ? keep : 0);
    }
};

DriveData& DD(const DriveListBox& d) { return static_cast<DriveData&>(d.Impl()); }

}  // namespace

DriveListBox::DriveListBox(Init init) : Control(std::move(init), std::make_unique<DriveData>())
{
    auto& d = DD(*this);
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    d.dblClickEvent = false;
    auto* c = new QComboBox(d.ParentWidget());
    UseComboStyle(c);
    DriveData* dp = &d;
    QObject::connect(c, &QComboBox::currentIndexChanged, c, [dp](int) {
        if (Alive(dp)) RaiseFromQt(dp, dp->self->Change);
    });
    d.st.width = 1935;
    d.st.height = 315;
    d.Attach(c);
    d.Fill();
}

std::string DriveListBox::Drive() const { return U(DD(*this).Combo()->currentText()); }

void DriveListBox::SetDrive(const std::string& drive)
{
    auto& d = DD(*this);
    QComboBox* c = d.Combo();
    const QString path = QDir::cleanPath(QFileInfo(Q(drive)).absoluteFilePath());
    int best = -1;
    qsizetype bestLen = -1;
    for (int i = 0; i < c->count(); ++i) {
        const QString root = c->itemText(i);
        const bool holds = root == "/" || path == root || path.startsWith(root + "/");
        if (holds && root.size() > bestLen) {
            best = i;
            bestLen = root.size();
        }
    }
    if (best < 0) Fail(68, "Device unavailable: " + drive);
    SetListIndex(best);
}

int DriveListBox::ListCount() const { return DD(*this).Combo()->count(); }
std::string DriveListBox::List(int index) const { return U(DD(*this).Combo()->itemText(index)); }
int DriveListBox::ListIndex() const { return DD(*this).Combo()->currentIndex(); }

void DriveListBox::SetListIndex(int index)
{
    auto& d = DD(*this);
    QComboBox* c = d.Combo();
    CheckIndex(index, c->count(), d.name + ".ListIndex", 380);
    if (index == c->currentIndex()) return;
    {
        Quiet q(d);
        c->setCurrentIndex(index);
    }
    Change.Raise();
}

void DriveListBox::Refresh()
{
    DD(*this).Fill();
    Control::Refresh();
}

// ---------------------------------------------------------------- DirListBox

namespace {

struct DirData : ControlData {
    QString path;
    QStringList entries;  // full paths: the folders from the root to path, then path's subfolders
    int ancestors = 0;    // rows up to and including path
    ListWidget* List() const { return static_cast<ListWidget*>(widget.data()); }
    void Build()
    {
        ListWidget* l = List();
        Quiet q(*this);
        l->clear();
        entries.clear();
        QStringList chain;
        for (QDir dir(path);;) {
            chain.prepend(dir.absolutePath());
            if (dir.isRoot() || !dir.cdUp()) break;
        }
        const QIcon open = l->style()->standardIcon(QStyle::SP_DirOpenIcon);
        const QIcon closed = l->style()->standardIcon(QStyle::SP_DirClosedIcon);
        int depth = 0;
        for (const QString& p : chain) {
            const QString label = p == "/" ? QStringLiteral("/") : QFileInfo(p).fileName();
            l->addItem(new QListWidgetItem(open, QString(depth * 2, QChar(' ')) + label));
            entries << p;
            ++depth;
        }
        ancestors = static_cast<int>(chain.size());
        const QStringList subs = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QString& s : subs) {
            l->addItem(new QListWidgetItem(closed, QString(depth * 2, QChar(' ')) + s));
            entries << QDir(path).filePath(s);
        }
        l->setCurrentRow(ancestors - 1);
    }
};

DirData& DI(const DirListBox& d) { return static_cast<DirData&>(d.Impl()); }

}  // namespace

DirListBox::DirListBox(Init init) : Control(std::move(init), std::make_unique<DirData>())
{
    auto& d = DI(*this);
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    auto* l = new ListWidget(d.ParentWidget());
    l->d = &d;
    QObject::connect(l, &QListWidget::itemSelectionChanged, l, [l] { l->SelectionChanged(); });
    DirData* dp = &d;
    l->onActivate = [this, dp](int row) {
        if (row >= 0 && row < dp->entries.size()) SetPath(U(dp->entries[row]));
    };
    d.st.width = 1935;
    d.st.height = 1500;
    d.Attach(l);
    d.AddMouseSource(l->viewport());
    d.path = QDir::currentPath();
    d.Build();
}

std::string DirListBox::Path() const { return U(DI(*this).path); }

void DirListBox::SetPath(const std::string& path)
{
    auto& d = DI(*this);
    const QFileInfo fi(Q(path));
    if (path.empty() || !fi.isDir()) Fail(76, "Path not found: " + path);
    const QString p = QDir::cleanPath(fi.absoluteFilePath());
    if (p == d.path) return;
    d.path = p;
    d.Build();
    Change.Raise();
}

int DirListBox::ListCount() const
{
    auto& d = DI(*this);
    return static_cast<int>(d.entries.size()) - d.ancestors;
}

std::string DirListBox::List(int index) const
{
    auto& d = DI(*this);
    const int row = index + d.ancestors;
    return row >= 0 && row < d.entries.size() ? U(d.entries[row]) : std::string();
}

int DirListBox::ListIndex() const
{
    auto& d = DI(*this);
    const int row = d.List()->currentRow();
    return row < 0 ? -1 : row - d.ancestors;
}

void DirListBox::SetListIndex(int index)
{
    auto& d = DI(*this);
    const int row = index + d.ancestors;
    if (row < 0 || row >= d.entries.size())
        Fail(380, "Invalid property value: " + d.name + ".ListIndex " + std::to_string(index));
    if (row == d.List()->currentRow()) return;
    {
        Quiet q(d);
        d.List()->setCurrentRow(row);
    }
    Click.Raise();
}

void DirListBox::Refresh()
{
    DI(*this).Build();
    Control::Refresh();
}

}  // namespace forms
