#include "formulas/data_grid_formulas.h"

#include <algorithm>

#include "grid/cell.h"
#include "base/events.h"
#include "grid/cell_store.h"

namespace plu {
namespace {

TKtCellData DataOf(const TKtCell& cell) {
    switch (cell.Kind()) {
        case TKtValueKind::vkFloat: return TKtCellData::FromFloat(cell.GetAsFloat());
        case TKtValueKind::vkInteger: return TKtCellData::FromInteger(cell.GetAsInteger());
        case TKtValueKind::vkString: return TKtCellData::FromString(cell.GetAsString());
        case TKtValueKind::vkFormula:
            if (auto* ours = dynamic_cast<TKtCellFormula*>(cell.Formula()))
                return TKtCellData::FromFormula(&ours->Item());
            // A formula object of some other engine: its result as a plain value.
            switch (cell.Formula()->ResultKind()) {
                case TKtFormulaResultKind::Number: return TKtCellData::FromFloat(cell.Formula()->ResultNumber());
                case TKtFormulaResultKind::Boolean:
                    return TKtCellData::FromInteger(cell.Formula()->ResultBoolean() ? 1 : 0);
                default: return TKtCellData::FromString(cell.Formula()->ResultText());
            }
        default: return TKtCellData{};
    }
}

}  // namespace

TKtDataGridFormulas::TKtDataGridFormulas(TKtCustomGrid& grid) : grid_(grid) {
    grid_.Dependents().Share(&calc_.Dependencies());
}

TKtDataGridFormulas::~TKtDataGridFormulas() = default;

TKtGridCalcExpress* TKtDataGridFormulas::CalcExpress() const { return &calc_; }

TKtCustomGrid* TKtDataGridFormulas::SheetGrid(int index) const {
    if (index == -1 || (index >= 0 && index == grid_.SheetIndex())) return &grid_;
    return nullptr;
}

WideString TKtDataGridFormulas::SheetCaption(int) const { return WideString(); }

WideString TKtDataGridFormulas::SheetName(int index) const { return SheetCaption(index); }

bool TKtDataGridFormulas::ReadCell(int sheet, int col, int row, TKtCellData& out) {
    TKtCustomGrid* grid = SheetGrid(sheet);
    if (!grid) return false;
    const TKtCell* cell = grid->FindCell(col + grid->FixedColCount(), row + grid->FixedRowCount());
    out = cell ? DataOf(*cell) : TKtCellData{};
    return true;
}

bool TKtDataGridFormulas::ForEachCell(int sheet, const TKtCellRect& rect,
                                      const std::function<void(int, int, const TKtCellData&)>& visit) {
    TKtCustomGrid* grid = SheetGrid(sheet);
    if (!grid) return false;
    const int fc = grid->FixedColCount(), fr = grid->FixedRowCount();
    const TCells& cells = grid->Cells();
    const int lastRow = std::min<int64_t>(static_cast<int64_t>(rect.Bottom) + fr, cells.Length() - 1);
    const int lastCol = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(rect.Right) + fc, kMaxGridCols - 1));
    // The cells are read first and visited after, so a formula calculated on
    // the way cannot disturb the walk over the store.
    std::vector<std::pair<TKtCellData, std::pair<int, int>>> found;
    for (int r = rect.Top + fr; r <= lastRow; ++r) {
        const TKwGridRow* list = cells.Get(r);
        if (!list) continue;
        list->ForAllInRange(rect.Left + fc, lastCol, [&](int c, TKtSparseList::Item item) {
            found.push_back({DataOf(*reinterpret_cast<const TKtCell*>(item)), {c - fc, r - fr}});
            return 0;
        });
    }
    for (const auto& [data, at] : found) visit(at.first, at.second, data);
    return true;
}

TKtFormulaRef TKtDataGridFormulas::ToGridRef(const TKtFormulaReference& ref) const {
    const TKtCustomGrid* grid = SheetGrid(ref.Sheet);
    if (!grid) grid = &grid_;
    const int fc = grid->FixedColCount(), fr = grid->FixedRowCount();
    TKtFormulaRef out;
    out.Col1 = ref.Rect.Left + fc;
    out.Row1 = ref.Rect.Top + fr;
    out.Col2 = std::min(ref.Rect.Right + fc, kMaxGridCols - 1);
    out.Row2 = std::min(ref.Rect.Bottom + fr, kMaxGridRows - 1);
    out.SheetIndex = ref.Sheet;
    out.Grid = SheetGrid(ref.Sheet);
    return out;
}

std::unique_ptr<IKtFormula> TKtDataGridFormulas::CreateFormula(TKtValue&, WideStringView text,
                                                               const IKtFormula* old) {
    // A worksheet takes its sheet control's context once attached; its
    // formulas then follow the other sheets' cells.
    if (TKtGridCalcExpress* engine = CalcExpress()) {
        TKtDependencies& shared = engine->Dependencies();
        if (&grid_.Dependents().Registry() != &shared) grid_.Dependents().Share(&shared);
    }
    auto formula = std::make_unique<TKtCellFormula>(*this);
    // A copy takes the source's compiled form when it is ours and unchanged;
    // anything else is compiled from its text.
    auto* source = dynamic_cast<const TKtCellFormula*>(old);
    if (source && source->Item().Owner() && source->Item().Owner()->CalcExpress() == CalcExpress() &&
        source->SourceText() == text)
        formula->Item().CopyFrom(source->Item());
    else
        Compile(text, formula->Item());
    return formula;
}

void TKtDataGridFormulas::Calculate() {
    ScopeExit repaint([this] { grid_.InvalidateGrid(); });
    RecalculateAll();
}

// ----- TKtCellFormula -----

TKtCellFormula::TKtCellFormula(TKtDataGridFormulas& service) : item_(service) {}

TKtFormulaResultKind TKtCellFormula::ResultKind() const {
    if (Failed()) return TKtFormulaResultKind::String;
    try {
        switch (item_.ResultKind()) {
            case TKtFormulaValueKind::Number: return TKtFormulaResultKind::Number;
            case TKtFormulaValueKind::Boolean: return TKtFormulaResultKind::Boolean;
            default: return TKtFormulaResultKind::String;
        }
    } catch (const Exception&) {
        return TKtFormulaResultKind::String;
    }
}

WideString TKtCellFormula::ResultText() const {
    if (Failed()) return WideString(ErrorName(TKtErrorCode::Value));
    try {
        return item_.DisplayText();
    } catch (const Exception&) {
        return WideString(ErrorName(TKtErrorCode::Value));
    }
}

std::optional<TKtErrorCode> TKtCellFormula::ResultError() const {
    if (Failed()) return TKtErrorCode::Value;
    try {
        if (item_.ResultKind() != TKtFormulaValueKind::Error) return std::nullopt;
        return item_.Result().Error;
    } catch (const EKtFormulaError& e) {
        return e.Code();
    } catch (const Exception&) {
        return TKtErrorCode::Value;
    }
}

double TKtCellFormula::ResultNumber() const { return item_.AsNumber(); }

bool TKtCellFormula::ResultBoolean() const { return item_.AsBoolean(); }

void TKtCellFormula::Recalculate() {
    if (reportNextFailure_) {
        reportNextFailure_ = false;
        item_.Calculate();
        return;
    }
    try {
        item_.Calculate();
    } catch (const Exception&) {
        // Remembered by the item; the cell shows "#VALUE!".
    }
}

bool TKtCellFormula::MoveReferences(const TKtCustomGrid& grid, const TKtAxisEdit& edit) {
    auto* service = dynamic_cast<TKtDataGridFormulas*>(item_.Owner());
    if (!service) return false;
    const TKtAxisEdit data = edit.ToData();
    if (data.IsIdentity()) return false;
    return item_.MoveReferences([&](int sheet) { return service->NamesGrid(sheet, grid); }, data);
}

std::vector<TKtFormulaRef> TKtCellFormula::References() const {
    std::vector<TKtFormulaRef> refs;
    auto* service = dynamic_cast<TKtDataGridFormulas*>(item_.Owner());
    if (!service) return refs;
    for (const TKtFormulaReference& r : item_.References()) refs.push_back(service->ToGridRef(r));
    return refs;
}

}  // namespace plu
