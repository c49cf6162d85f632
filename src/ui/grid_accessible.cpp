#include "ui/grid_accessible.h"

#include <QWidget>
#include <QWindow>

#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"

namespace plu {

namespace {

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("plu::GridView") && object && object->isWidgetType())
        return new GridAccessible(static_cast<GridView*>(object));
    return nullptr;
}

quint64 Key(int col, int row, int kind) {
    return (static_cast<quint64>(static_cast<quint32>(row)) << 24) ^
           (static_cast<quint64>(static_cast<quint32>(col)) << 2) ^ static_cast<quint64>(kind);
}

}  // namespace

void InstallGridAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

QString ShownCellText(const TKtCustomGrid& grid, int col, int row) {
    if (const TKtCell* cell = grid.FindCell(col, row)) {
        const WideString text = cell->GetText(true);
        if (!text.empty() || grid.IsBodyCell(col, row)) return ToQt(text);
    }
    if (!grid.IsBodyCell(col, row)) return ToQt(grid.HeaderText(col, row));
    return {};
}

// ---- The table --------------------------------------------------------------------------------

GridAccessible::GridAccessible(GridView* view) : QAccessibleWidget(view, QAccessible::Table) {
    view->OnStructureChanged = [this] { Reset(); };
    view->OnDestroying = [this] { viewGone_ = true; };
}

GridAccessible::~GridAccessible() {
    // Freed with the view (Qt does that when the widget's destroyed() is
    // emitted, after the view's own members are gone) or before it; only in
    // the second case are the view's hooks still ours to take back.
    if (GridView* v = View()) {
        v->OnStructureChanged = nullptr;
        v->OnDestroying = nullptr;
    }
    Reset();
}

GridView* GridAccessible::View() const {
    return viewGone_ ? nullptr : static_cast<GridView*>(widget());
}

TKtCustomGrid* GridAccessible::Grid() const { return View() ? View()->Grid() : nullptr; }

void GridAccessible::Reset() {
    const auto ids = cells_.values();
    cells_.clear();
    for (QAccessible::Id id : ids) QAccessible::deleteAccessibleInterface(id);
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

int GridAccessible::GridCol(int column) const { return Grid()->FixedColCount() + column; }
int GridAccessible::GridRow(int row) const { return Grid()->FixedRowCount() + row; }

int GridAccessible::columnCount() const {
    const TKtCustomGrid* g = Grid();
    return g ? g->ColCount() - g->FixedColCount() : 0;
}

int GridAccessible::rowCount() const {
    const TKtCustomGrid* g = Grid();
    return g ? g->RowCount() - g->FixedRowCount() : 0;
}

int GridAccessible::childCount() const { return rowCount() * columnCount(); }

QAccessibleInterface* GridAccessible::CellInterface(int col, int row) const {
    TKtCustomGrid* g = Grid();
    if (!g || col < 0 || row < 0 || col >= g->ColCount() || row >= g->RowCount()) return nullptr;
    GridAccessibleCell::Kind kind = GridAccessibleCell::Kind::Body;
    if (row < g->FixedRowCount()) kind = GridAccessibleCell::Kind::ColumnHeader;
    else if (col < g->FixedColCount()) kind = GridAccessibleCell::Kind::RowHeader;
    const quint64 key = Key(col, row, static_cast<int>(kind));
    if (auto it = cells_.find(key); it != cells_.end()) return QAccessible::accessibleInterface(*it);
    auto* cell = new GridAccessibleCell(const_cast<GridAccessible*>(this), col, row, kind);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    return CellInterface(GridCol(column), GridRow(row));
}

QAccessibleInterface* GridAccessible::child(int index) const {
    const int cols = columnCount();
    if (index < 0 || cols == 0 || index >= childCount()) return nullptr;
    return cellAt(index / cols, index % cols);
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || child->parent() != this) return -1;
    const auto* cell = dynamic_cast<const GridAccessibleCell*>(child);
    if (!cell) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface* GridAccessible::focusChild() const {
    const TKtCustomGrid* g = Grid();
    if (!g) return nullptr;
    return CellInterface(g->CurrentCol(), g->CurrentRow());
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const {
    const TKtCustomGrid* g = Grid();
    if (!g) return nullptr;
    const QPoint p = View()->viewport()->mapFromGlobal(QPoint(x, y));
    // Visible cells only: from the scroll position to the client edge.
    for (int row = g->TopRow(); row < g->RowCount(); ++row) {
        if (g->RowTop(row) > p.y()) break;
        for (int col = g->LeftCol(); col < g->ColCount(); ++col) {
            if (g->ColumnLeft(col) > p.x()) break;
            if (g->CellRect(col, row).Contains(p.x(), p.y()) && g->IsBodyCell(col, row))
                return CellInterface(col, row);
        }
    }
    return nullptr;
}

QString GridAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name) {
        const QString name = View() ? View()->accessibleName() : QString();
        return name.isEmpty() ? QStringLiteral("Sheet") : name;
    }
    return QAccessibleWidget::text(t);
}

QString GridAccessible::columnDescription(int column) const {
    const TKtCustomGrid* g = Grid();
    if (!g || g->FixedRowCount() == 0) return {};
    return ShownCellText(*g, GridCol(column), g->FixedRowCount() - 1);
}

QString GridAccessible::rowDescription(int row) const {
    const TKtCustomGrid* g = Grid();
    if (!g || g->FixedColCount() == 0) return {};
    return ShownCellText(*g, g->FixedColCount() - 1, GridRow(row));
}

int GridAccessible::selectedCellCount() const {
    const TKtCustomGrid* g = Grid();
    if (!g) return 0;
    const TRect r = g->Selection().Rect();
    return r.Width() * r.Height();
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    const TKtCustomGrid* g = Grid();
    if (!g) return cells;
    const TRect r = g->Selection().Rect();
    // A whole-sheet selection is not listed cell by cell.
    if (static_cast<int64_t>(r.Width()) * r.Height() > 10000) return cells;
    for (int row = r.Top; row < r.Bottom; ++row)
        for (int col = r.Left; col < r.Right; ++col) cells << CellInterface(col, row);
    return cells;
}

bool GridAccessible::isColumnSelected(int column) const {
    const TKtCustomGrid* g = Grid();
    if (!g) return false;
    const TRect r = g->Selection().Rect();
    const int col = GridCol(column);
    return col >= r.Left && col < r.Right && r.Top <= g->FixedRowCount() && r.Bottom >= g->RowCount();
}

bool GridAccessible::isRowSelected(int row) const {
    const TKtCustomGrid* g = Grid();
    if (!g) return false;
    const TRect r = g->Selection().Rect();
    const int grow = GridRow(row);
    return grow >= r.Top && grow < r.Bottom && r.Left <= g->FixedColCount() && r.Right >= g->ColCount();
}

QList<int> GridAccessible::selectedColumns() const {
    QList<int> list;
    for (int c = 0; c < columnCount(); ++c)
        if (isColumnSelected(c)) list << c;
    return list;
}

QList<int> GridAccessible::selectedRows() const {
    QList<int> list;
    const TKtCustomGrid* g = Grid();
    if (!g) return list;
    const TRect r = g->Selection().Rect();
    for (int row = std::max(r.Top, g->FixedRowCount()); row < r.Bottom; ++row)
        if (isRowSelected(row - g->FixedRowCount())) list << row - g->FixedRowCount();
    return list;
}

int GridAccessible::selectedColumnCount() const { return static_cast<int>(selectedColumns().size()); }
int GridAccessible::selectedRowCount() const { return static_cast<int>(selectedRows().size()); }

bool GridAccessible::selectRow(int row) {
    TKtCustomGrid* g = Grid();
    if (!g || row < 0 || row >= rowCount()) return false;
    g->Selection().SelectRows(GridRow(row), GridRow(row));
    return true;
}

bool GridAccessible::selectColumn(int column) {
    TKtCustomGrid* g = Grid();
    if (!g || column < 0 || column >= columnCount()) return false;
    g->Selection().SelectColumns(GridCol(column), GridCol(column));
    return true;
}

bool GridAccessible::unselectRow(int) { return false; }
bool GridAccessible::unselectColumn(int) { return false; }

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent*) { Reset(); }

// ---- A cell -------------------------------------------------------------------------------------

GridAccessibleCell::GridAccessibleCell(GridAccessible* table, int col, int row, Kind kind)
    : table_(table), col_(col), row_(row), kind_(kind) {}

bool GridAccessibleCell::isValid() const {
    const TKtCustomGrid* g = table_->Grid();
    return g && col_ < g->ColCount() && row_ < g->RowCount();
}

QWindow* GridAccessibleCell::window() const { return table_->window(); }

QString GridAccessibleCell::text(QAccessible::Text t) const {
    const TKtCustomGrid* g = table_->Grid();
    if (!g) return {};
    if (t == QAccessible::Name || t == QAccessible::Value) return ShownCellText(*g, col_, row_);
    if (t == QAccessible::Description && kind_ == Kind::Body) return ToQt(g->CellReference(col_, row_));
    return {};
}

void GridAccessibleCell::setText(QAccessible::Text t, const QString& text) {
    TKtCustomGrid* g = table_->Grid();
    if (!g || t != QAccessible::Value || kind_ != Kind::Body) return;
    g->GetCell(col_, row_).SetTextIfEditable(FromQt(text));
}

QRect GridAccessibleCell::rect() const {
    const TKtCustomGrid* g = table_->Grid();
    if (!g) return {};
    const QRect r = ToQRect(g->CellRect(col_, row_));
    QWidget* viewport = table_->View()->viewport();
    return QRect(viewport->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role GridAccessibleCell::role() const {
    switch (kind_) {
        case Kind::ColumnHeader: return QAccessible::ColumnHeader;
        case Kind::RowHeader: return QAccessible::RowHeader;
        case Kind::Body: break;
    }
    return QAccessible::Cell;
}

QAccessible::State GridAccessibleCell::state() const {
    QAccessible::State s;
    const TKtCustomGrid* g = table_->Grid();
    if (!g || kind_ != Kind::Body) return s;
    s.focusable = true;
    s.selectable = true;
    s.editable = true;
    s.selected = isSelected();
    s.focused = g->CurrentCol() == col_ && g->CurrentRow() == row_;
    const TRect pixels = g->CellRect(col_, row_);
    s.invisible = pixels.Right <= 0 || pixels.Bottom <= 0 || pixels.Left >= g->ClientWidth() ||
                  pixels.Top >= g->ClientHeight();
    s.offscreen = s.invisible;
    return s;
}

void* GridAccessibleCell::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool GridAccessibleCell::isSelected() const {
    const TKtCustomGrid* g = table_->Grid();
    return g && g->Selection().Rect().Contains(col_, row_);
}

QList<QAccessibleInterface*> GridAccessibleCell::columnHeaderCells() const {
    const TKtCustomGrid* g = table_->Grid();
    if (!g || kind_ != Kind::Body || g->FixedRowCount() == 0) return {};
    return {table_->CellInterface(col_, g->FixedRowCount() - 1)};
}

QList<QAccessibleInterface*> GridAccessibleCell::rowHeaderCells() const {
    const TKtCustomGrid* g = table_->Grid();
    if (!g || kind_ != Kind::Body || g->FixedColCount() == 0) return {};
    return {table_->CellInterface(g->FixedColCount() - 1, row_)};
}

int GridAccessibleCell::columnIndex() const {
    const TKtCustomGrid* g = table_->Grid();
    return g ? col_ - g->FixedColCount() : -1;
}

int GridAccessibleCell::rowIndex() const {
    const TKtCustomGrid* g = table_->Grid();
    return g ? row_ - g->FixedRowCount() : -1;
}

int GridAccessibleCell::columnExtent() const {
    const TKtCustomGrid* g = table_->Grid();
    return g ? g->CellSpanRect(col_, row_).Width() : 1;
}

int GridAccessibleCell::rowExtent() const {
    const TKtCustomGrid* g = table_->Grid();
    return g ? g->CellSpanRect(col_, row_).Height() : 1;
}

}  // namespace plu
