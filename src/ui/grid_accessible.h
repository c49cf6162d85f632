// The grid view as assistive technology sees it: a table of the body cells
// (rows and columns after the fixed ones), each cell named by the text the
// painter draws, the fixed row's and column's texts as column and row
// headers, the current cell focused, the selected cells selected. Cells are
// numbered logically (row-major over the body); their interfaces are made
// when asked for and dropped when rows or columns change.
//
// Installed once with InstallGridAccessibility(); Qt then asks for the
// interface of every GridView.
#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace plu {

class GridView;
class TKtCustomGrid;

void InstallGridAccessibility();

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridAccessible(GridView* view);
    ~GridAccessible() override;

    GridView* View() const;
    TKtCustomGrid* Grid() const;
    // The body cell (col, row in grid coordinates) as a child; nullptr outside.
    QAccessibleInterface* CellInterface(int col, int row) const;
    // Forgets the cached cells (rows or columns moved).
    void Reset();

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::Role role() const override { return QAccessible::Table; }
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

  private:
    // Logical table coordinates -> grid coordinates.
    int GridCol(int column) const;
    int GridRow(int row) const;

    mutable QHash<quint64, QAccessible::Id> cells_;
    bool viewGone_ = false;  // the view's destructor has begun
};

// A body cell or a header cell of the grid.
class GridAccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    enum class Kind { Body, ColumnHeader, RowHeader };
    GridAccessibleCell(GridAccessible* table, int col, int row, Kind kind);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override { return table_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableCellInterface
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface* table() const override { return table_; }

  private:
    GridAccessible* table_;
    int col_;
    int row_;
    Kind kind_;
};

// The text a position shows, as the painter draws it ("" for a position
// without a cell object; header numbering for fixed cells without text).
QString ShownCellText(const TKtCustomGrid& grid, int col, int row);

}  // namespace plu
