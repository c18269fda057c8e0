// FlexGrid over a QTableWidget whose first rows and columns are drawn as
// headers; VB's Row/Col/RowSel/ColSel drive Qt's current cell and selection.

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

#include "platform/forms/FlexGrid.h"
#include "platform/forms/Private.h"

namespace forms::detail {

namespace {

constexpr int kBackRole = Qt::UserRole + 1;  // a colour set by code (VB number)
constexpr int kForeRole = Qt::UserRole + 2;

Qt::Alignment QtAlignment(int a)
{
    Qt::Alignment h = a >= flexAlignRightTop && a <= flexAlignRightBottom     ? Qt::AlignRight
                      : a >= flexAlignCenterTop && a <= flexAlignCenterBottom ? Qt::AlignHCenter
                                                                              : Qt::AlignLeft;
    Qt::Alignment v = (a % 3 == 0 && a != flexAlignGeneral) ? Qt::AlignTop
                      : (a % 3 == 2)                        ? Qt::AlignBottom
                                                            : Qt::AlignVCenter;
    return h | v;
}

}  // namespace

struct GridData : ControlData {
    FlexGrid* grid = nullptr;
    int fixedRows = 1, fixedCols = 1;
    int row = 1, col = 1, rowSel = 1, colSel = 1;
    std::string format;
    std::vector<int> alignment;  // per column, flexAlign...
    QTableWidget* Table() const { return static_cast<QTableWidget*>(widget.data()); }

    bool Fixed(int r, int c) const { return r < fixedRows || c < fixedCols; }

    QTableWidgetItem* Cell(int r, int c)
    {
        QTableWidget* t = Table();
        QTableWidgetItem* it = t->item(r, c);
        if (!it) {
            Quiet q(*this);
            it = new QTableWidgetItem;
            t->setItem(r, c, it);
            Style(it, r, c);
        }
        return it;
    }

    void Style(QTableWidgetItem* it, int r, int c)
    {
        const bool fixed = Fixed(r, c);
        it->setFlags(fixed ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        const QVariant back = it->data(kBackRole);
        it->setBackground(back.isValid() ? ToQColor(static_cast<long>(back.toLongLong()))
                                         : ToQColor(fixed ? vbButtonFace : vbWindowBackground));
        const QVariant fore = it->data(kForeRole);
        it->setForeground(
            ToQColor(fore.isValid() ? static_cast<long>(fore.toLongLong()) : (fixed ? vbButtonText : vbWindowText)));
        const int a =
            c < static_cast<int>(alignment.size()) ? alignment[static_cast<std::size_t>(c)] : flexAlignGeneral;
        it->setTextAlignment(QtAlignment(a));
    }

    void Restyle()
    {
        QTableWidget* t = Table();
        Quiet q(*this);
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c) Style(Cell(r, c), r, c);
    }

    // Qt's current cell and selection from Row/Col/RowSel/ColSel.
    void ShowSelection()
    {
        QTableWidget* t = Table();
        Quiet q(*this);
        t->clearSelection();
        if (row < 0 || col < 0 || row >= t->rowCount() || col >= t->columnCount()) return;
        t->setCurrentCell(row, col, QItemSelectionModel::NoUpdate);
        t->setRangeSelected(QTableWidgetSelectionRange(std::min(row, rowSel), std::min(col, colSel),
                                                       std::max(row, rowSel), std::max(col, colSel)),
                            true);
    }

    void CheckCell(int r, int c) const
    {
        QTableWidget* t = Table();
        if (r < 0 || r >= t->rowCount() || c < 0 || c >= t->columnCount())
            Fail(381, "Invalid property array index: cell (" + std::to_string(r) + ", " + std::to_string(c) + ") of " +
                          name);
    }

    void ClampCurrent()
    {
        QTableWidget* t = Table();
        const int lastRow = t->rowCount() - 1, lastCol = t->columnCount() - 1;
        row = std::clamp(row, std::min(fixedRows, lastRow), std::max(0, lastRow));
        col = std::clamp(col, std::min(fixedCols, lastCol), std::max(0, lastCol));
        rowSel = std::clamp(rowSel, 0, std::max(0, lastRow));
        colSel = std::clamp(colSel, 0, std::max(0, lastCol));
        ShowSelection();
    }
};

}  // namespace forms::detail

namespace forms {

using namespace detail;

namespace {

GridData& GD(const FlexGrid& g) { return static_cast<GridData&>(g.Impl()); }

}  // namespace

FlexGrid::FlexGrid(Init init) : Control(std::move(init), std::make_unique<GridData>())
{
    auto& d = GD(*this);
    d.grid = this;
    d.defaultBack = vbWindowBackground;
    d.defaultFore = vbWindowText;
    d.clickOnRelease = true;
    auto* t = new QTableWidget(2, 2, d.ParentWidget());
    t->horizontalHeader()->hide();
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::ContiguousSelection);
    t->horizontalHeader()->setMinimumSectionSize(1);
    t->verticalHeader()->setMinimumSectionSize(1);
    t->horizontalHeader()->setDefaultSectionSize(64);
    t->verticalHeader()->setDefaultSectionSize(16);
    GridData* dp = &d;
    QObject::connect(t, &QTableWidget::currentCellChanged, t, [this, dp](int r, int c, int, int) {
        if (!Alive(dp) || dp->quiet || r < 0 || c < 0) return;
        dp->row = dp->rowSel = r;
        dp->col = dp->colSel = c;
        RaiseFromQt(dp, RowColChange);
    });
    QObject::connect(t, &QTableWidget::itemSelectionChanged, t, [this, dp, t] {
        if (!Alive(dp) || dp->quiet) return;
        for (const QTableWidgetSelectionRange& r : t->selectedRanges())
            if (r.topRow() <= dp->row && dp->row <= r.bottomRow() && r.leftColumn() <= dp->col &&
                dp->col <= r.rightColumn()) {
                dp->rowSel = dp->row == r.topRow() ? r.bottomRow() : r.topRow();
                dp->colSel = dp->col == r.leftColumn() ? r.rightColumn() : r.leftColumn();
            }
        RaiseFromQt(dp, SelChange);
    });
    d.st.width = 2415;
    d.st.height = 1215;
    d.Attach(t);
    d.AddMouseSource(t->viewport());
    d.Restyle();
    d.ShowSelection();
}

FlexGrid::~FlexGrid() { DropWidget(*d_); }

int FlexGrid::Rows() const { return GD(*this).Table()->rowCount(); }

void FlexGrid::SetRows(int n)
{
    if (n < 0) Fail(380, "Invalid property value: Rows " + std::to_string(n));
    auto& d = GD(*this);
    {
        Quiet q(d);
        d.Table()->setRowCount(n);
    }
    d.Restyle();
    d.ClampCurrent();
}

int FlexGrid::Cols() const { return GD(*this).Table()->columnCount(); }

void FlexGrid::SetCols(int n)
{
    if (n < 0) Fail(380, "Invalid property value: Cols " + std::to_string(n));
    auto& d = GD(*this);
    {
        Quiet q(d);
        d.Table()->setColumnCount(n);
    }
    d.Restyle();
    d.ClampCurrent();
}

int FlexGrid::FixedRows() const { return GD(*this).fixedRows; }

void FlexGrid::SetFixedRows(int n)
{
    auto& d = GD(*this);
    if (n < 0 || n > Rows()) Fail(380, "Invalid property value: FixedRows " + std::to_string(n));
    d.fixedRows = n;
    d.Restyle();
    d.ClampCurrent();
}

int FlexGrid::FixedCols() const { return GD(*this).fixedCols; }

void FlexGrid::SetFixedCols(int n)
{
    auto& d = GD(*this);
    if (n < 0 || n > Cols()) Fail(380, "Invalid property value: FixedCols " + std::to_string(n));
    d.fixedCols = n;
    d.Restyle();
    d.ClampCurrent();
}

std::string FlexGrid::TextMatrix(int row, int col) const
{
    auto& d = GD(*this);
    d.CheckCell(row, col);
    QTableWidgetItem* it = d.Table()->item(row, col);
    return it ? U(it->text()) : std::string();
}

void FlexGrid::SetTextMatrix(int row, int col, const std::string& text)
{
    auto& d = GD(*this);
    d.CheckCell(row, col);
    Quiet q(d);
    d.Cell(row, col)->setText(Q(text));
}

std::string FlexGrid::Text() const { return TextMatrix(Row(), Col()); }
void FlexGrid::SetText(const std::string& text) { SetTextMatrix(Row(), Col(), text); }

int FlexGrid::Row() const { return GD(*this).row; }
int FlexGrid::Col() const { return GD(*this).col; }
int FlexGrid::RowSel() const { return GD(*this).rowSel; }
int FlexGrid::ColSel() const { return GD(*this).colSel; }

void FlexGrid::SetRow(int row)
{
    auto& d = GD(*this);
    d.CheckCell(row, std::max(0, std::min(d.col, Cols() - 1)));
    const bool moved = row != d.row, selMoved = moved || d.rowSel != row || d.colSel != d.col;
    d.row = d.rowSel = row;
    d.colSel = d.col;
    d.ShowSelection();
    if (moved) RowColChange.Raise();
    if (selMoved) SelChange.Raise();
}

void FlexGrid::SetCol(int col)
{
    auto& d = GD(*this);
    d.CheckCell(std::max(0, std::min(d.row, Rows() - 1)), col);
    const bool moved = col != d.col, selMoved = moved || d.colSel != col || d.rowSel != d.row;
    d.col = d.colSel = col;
    d.rowSel = d.row;
    d.ShowSelection();
    if (moved) RowColChange.Raise();
    if (selMoved) SelChange.Raise();
}

void FlexGrid::SetRowSel(int row)
{
    auto& d = GD(*this);
    d.CheckCell(row, d.col);
    if (row == d.rowSel) return;
    d.rowSel = row;
    d.ShowSelection();
    SelChange.Raise();
}

void FlexGrid::SetColSel(int col)
{
    auto& d = GD(*this);
    d.CheckCell(d.row, col);
    if (col == d.colSel) return;
    d.colSel = col;
    d.ShowSelection();
    SelChange.Raise();
}

double FlexGrid::ColWidth(int col) const
{
    auto& d = GD(*this);
    d.CheckCell(0, col);
    return Tw(d.Table()->columnWidth(col));
}

void FlexGrid::SetColWidth(int col, double twips)
{
    auto& d = GD(*this);
    d.CheckCell(0, col);
    d.Table()->setColumnWidth(col, std::max(0, Px(twips)));
}

double FlexGrid::RowHeight(int row) const
{
    auto& d = GD(*this);
    d.CheckCell(row, 0);
    return Tw(d.Table()->rowHeight(row));
}

void FlexGrid::SetRowHeight(int row, double twips)
{
    auto& d = GD(*this);
    d.CheckCell(row, 0);
    d.Table()->setRowHeight(row, std::max(0, Px(twips)));
}

int FlexGrid::ColAlignment(int col) const
{
    auto& d = GD(*this);
    d.CheckCell(0, col);
    return col < static_cast<int>(d.alignment.size()) ? d.alignment[static_cast<std::size_t>(col)] : flexAlignGeneral;
}

void FlexGrid::SetColAlignment(int col, int alignment)
{
    auto& d = GD(*this);
    d.CheckCell(0, col);
    if (static_cast<int>(d.alignment.size()) <= col)
        d.alignment.resize(static_cast<std::size_t>(col) + 1, flexAlignGeneral);
    d.alignment[static_cast<std::size_t>(col)] = alignment;
    d.Restyle();
}

long FlexGrid::CellBackColor() const
{
    auto& d = GD(*this);
    d.CheckCell(d.row, d.col);
    QTableWidgetItem* it = d.Table()->item(d.row, d.col);
    const QVariant v = it ? it->data(kBackRole) : QVariant();
    return v.isValid() ? static_cast<long>(v.toLongLong()) : 0;  // 0: the grid's own colour
}

void FlexGrid::SetCellBackColor(long color)
{
    auto& d = GD(*this);
    d.CheckCell(d.row, d.col);
    Quiet q(d);
    QTableWidgetItem* it = d.Cell(d.row, d.col);
    it->setData(kBackRole, QVariant::fromValue<qlonglong>(color));
    d.Style(it, d.row, d.col);
}

long FlexGrid::CellForeColor() const
{
    auto& d = GD(*this);
    d.CheckCell(d.row, d.col);
    QTableWidgetItem* it = d.Table()->item(d.row, d.col);
    const QVariant v = it ? it->data(kForeRole) : QVariant();
    return v.isValid() ? static_cast<long>(v.toLongLong()) : 0;
}

void FlexGrid::SetCellForeColor(long color)
{
    auto& d = GD(*this);
    d.CheckCell(d.row, d.col);
    Quiet q(d);
    QTableWidgetItem* it = d.Cell(d.row, d.col);
    it->setData(kForeRole, QVariant::fromValue<qlonglong>(color));
    d.Style(it, d.row, d.col);
}

std::string FlexGrid::FormatString() const { return GD(*this).format; }

void FlexGrid::SetFormatString(const std::string& format)
{
    auto& d = GD(*this);
    d.format = format;
    const QString f = Q(format);
    const qsizetype semi = f.indexOf(QChar(';'));
    const QStringList cols = (semi < 0 ? f : f.left(semi)).split(QChar('|'));
    const QStringList rows = semi < 0 ? QStringList() : f.mid(semi + 1).split(QChar('|'));
    if (!cols.isEmpty() && !(cols.size() == 1 && cols[0].isEmpty())) {
        SetCols(static_cast<int>(cols.size()));
        const QFontMetrics fm(d.Table()->font());
        for (int c = 0; c < cols.size(); ++c) {
            QString text = cols[c];
            int align = flexAlignGeneral;
            if (text.startsWith('<')) align = flexAlignLeftCenter;
            if (text.startsWith('^')) align = flexAlignCenterCenter;
            if (text.startsWith('>')) align = flexAlignRightCenter;
            if (align != flexAlignGeneral) text.remove(0, 1);
            SetColAlignment(c, align);
            if (d.fixedRows > 0) SetTextMatrix(0, c, U(text));
            if (!text.isEmpty()) d.Table()->setColumnWidth(c, fm.horizontalAdvance(text) + 8);
        }
    }
    if (rows.size() > 1 && d.fixedCols > 0) {
        if (Rows() < rows.size()) SetRows(static_cast<int>(rows.size()));
        for (int r = 1; r < rows.size(); ++r) SetTextMatrix(r, 0, U(rows[r]));
    }
}

void FlexGrid::AddItem(const std::string& item, int index)
{
    auto& d = GD(*this);
    QTableWidget* t = d.Table();
    const int n = t->rowCount();
    if (index < -1 || index > n) Fail(5, "Invalid procedure call: " + d.name + ".AddItem at " + std::to_string(index));
    const int at = index < 0 ? n : index;
    {
        Quiet q(d);
        t->insertRow(at);
    }
    d.Restyle();
    const QStringList parts = Q(item).split(QChar('\t'));
    for (int c = 0; c < parts.size() && c < t->columnCount(); ++c) {
        Quiet q(d);
        d.Cell(at, c)->setText(parts[c]);
    }
    d.ClampCurrent();
}

void FlexGrid::RemoveItem(int index)
{
    auto& d = GD(*this);
    QTableWidget* t = d.Table();
    if (index < 0 || index >= t->rowCount() || t->rowCount() <= d.fixedRows + 1)
        Fail(5, "Invalid procedure call: " + d.name + ".RemoveItem " + std::to_string(index));
    {
        Quiet q(d);
        t->removeRow(index);
    }
    d.ClampCurrent();
}

void FlexGrid::Clear()
{
    auto& d = GD(*this);
    QTableWidget* t = d.Table();
    Quiet q(d);
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < t->columnCount(); ++c)
            if (QTableWidgetItem* it = t->item(r, c)) {
                it->setText(QString());
                it->setData(kBackRole, QVariant());
                it->setData(kForeRole, QVariant());
                d.Style(it, r, c);
            }
}

bool FlexGrid::Redraw() const { return GD(*this).Table()->updatesEnabled(); }
void FlexGrid::SetRedraw(bool v) { GD(*this).Table()->setUpdatesEnabled(v); }

}  // namespace forms
