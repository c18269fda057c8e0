#pragma once
// The flex grid: rows and columns of text cells, the first FixedRows rows and
// FixedCols columns drawn as headers. Rows and columns are numbered from 0,
// header rows and columns included.

#include <string>

#include "platform/forms/Control.h"

namespace forms {

class FlexGrid : public Control {
public:
    explicit FlexGrid(Init init);
    ~FlexGrid() override;

    int Rows() const;  // 2 at creation
    void SetRows(int n);
    int Cols() const;  // 2 at creation
    void SetCols(int n);
    int FixedRows() const;  // 1 at creation
    void SetFixedRows(int n);
    int FixedCols() const;  // 1 at creation
    void SetFixedCols(int n);

    std::string TextMatrix(int row, int col) const;  // Error 381 out of range
    void SetTextMatrix(int row, int col, const std::string& text);
    std::string Text() const;  // the current cell (Row, Col)
    void SetText(const std::string& text);

    // The current cell; setting it also collapses the selection onto it.
    int Row() const;
    void SetRow(int row);
    int Col() const;
    void SetCol(int col);
    // The other corner of the selection.
    int RowSel() const;
    void SetRowSel(int row);
    int ColSel() const;
    void SetColSel(int col);

    double ColWidth(int col) const;  // twips
    void SetColWidth(int col, double twips);
    double RowHeight(int row) const;
    void SetRowHeight(int row, double twips);
    int ColAlignment(int col) const;  // flexAlign...
    void SetColAlignment(int col, int alignment);

    // Colours of the current cell.
    long CellBackColor() const;
    void SetCellBackColor(long color);
    long CellForeColor() const;
    void SetCellForeColor(long color);

    // "|Tipo|Qtt": column headers of the first row separated by "|", each
    // optionally led by "<", "^" or ">" (left, centre, right); after ";" the
    // headers of the first column's rows. Sets Cols and fits the widths.
    std::string FormatString() const;
    void SetFormatString(const std::string& format);

    // Adds a row whose cells are the tab-separated parts of item.
    void AddItem(const std::string& item, int index = -1);
    void RemoveItem(int index);
    void Clear();  // empties every cell's text
    bool Redraw() const;
    void SetRedraw(bool v);

    // SelChange: the selection changed; RowColChange: the current cell moved.
    platform::Event<> SelChange;
    platform::Event<> RowColChange;
};

}  // namespace forms
