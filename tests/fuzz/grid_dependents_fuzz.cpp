// Random sequences of edits on a two-sheet workbook of grids with formulas:
// typing numbers and formulas (cells, ranges, absolute and cross-sheet
// references), clearing, copying, inserting, deleting, moving, exchanging
// and sorting rows and columns, merging, shrinking, bulk updates, and
// sheets moved, removed and added. Nothing may crash, and whenever no bulk
// update is open every formula must show what a calculation from scratch
// gives: the dependents recalculated everything a change reached.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../formulas/formula_grids.h"
#include "base/regional_settings.h"

using namespace plu;
using namespace plu::testing;

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool Done() const { return at >= size; }
    int Next(int n) { return at < size ? data[at++] % n : 0; }
};

std::string Ref(Input& in, bool absolute) {
    std::string r;
    if (absolute) r += '$';
    r += static_cast<char>('A' + in.Next(5));
    if (absolute) r += '$';
    r += std::to_string(1 + in.Next(8));
    return r;
}

std::string Formula(Input& in) {
    std::string operand;
    switch (in.Next(5)) {
        case 0:
            operand = Ref(in, false);
            break;
        case 1:
            operand = Ref(in, true);
            break;
        case 2:
            operand = "SUM(" + Ref(in, false) + ":" + Ref(in, false) + ")";
            break;
        case 3:
            operand = "Sheet" + std::to_string(1 + in.Next(2)) + "!" + Ref(in, false);
            break;
        default:
            operand = "SUM(Sheet" + std::to_string(1 + in.Next(2)) + "!" + Ref(in, false) + ":" + Ref(in, false) + ")";
            break;
    }
    return "=" + operand + (in.Next(2) ? "+" + Ref(in, false) : "*2");
}

// Every formula of the book as shown now, then after all of them were
// marked uncalculated and worked out afresh.
void CheckAgainstAFreshCalculation(Book& book) {
    std::vector<std::pair<TKtCell*, std::string>> shown;
    for (auto& sheet : book.sheets)
        for (int r = 0; r < sheet->RowCount(); ++r)
            for (int c = 0; c < sheet->ColCount(); ++c)
                if (TKtCell* cell = sheet->FindCell(c, r); cell && cell->Formula())
                    shown.emplace_back(cell, WideToUtf8(cell->GetText()));
    for (auto& sheet : book.sheets)
        for (TKtGridFormulaItem* item : sheet->formulas.Items()) item->Invalidate();
    for (auto& [cell, before] : shown) {
        const std::string now = WideToUtf8(cell->GetText());
        // A circle shows "#VALUE!" in an order-dependent way on either side.
        if (now == before || now == "#VALUE!" || before == "#VALUE!") continue;
        std::fprintf(stderr, "formula %s at (%d, %d) shows %s, afresh %s\n", WideToUtf8(cell->GetFormula()).c_str(),
                     cell->Col(), cell->Row(), before.c_str(), now.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedRegionalSettings en(RegionalSettings::Defaults());
    Input in{data, size};
    Book book;
    for (const char* caption : {"Sheet1", "Sheet2"}) {
        BookSheet& sheet = book.Add(caption);
        sheet.SetColCount(6);
        sheet.SetRowCount(10);
    }
    int updates = 0;
    BookSheet* bracket = nullptr;
    int steps = 0;
    while (!in.Done() && ++steps < 200) {
        BookSheet& s = book[in.Next(static_cast<int>(book.sheets.size()))];
        const int fr = s.FixedRowCount(), fc = s.FixedColCount();
        auto row = [&] { return fr + in.Next(std::max(1, s.RowCount() - fr)); };
        auto col = [&] { return fc + in.Next(std::max(1, s.ColCount() - fc)); };
        try {
            switch (in.Next(18)) {
                case 0:
                case 1:
                    s.GetCell(col(), row()).SetText(IntToWide(in.Next(20)));
                    break;
                case 2:
                case 3:
                case 4:
                    s.GetCell(col(), row()).SetText(Utf8ToWide(Formula(in)));
                    break;
                case 5:
                    s.GetCell(col(), row()).SetText(u"");
                    break;
                case 6: {
                    TKtCell& from = s.GetCell(col(), row());
                    s.GetCell(col(), row()).CopyFrom(from, kCopyAll, false);
                    break;
                }
                case 7:
                    if (s.RowCount() < 16) s.InsertRows(row(), 1 + in.Next(2));
                    break;
                case 8:
                    if (s.RowCount() > 4) s.DeleteRows(row(), 1 + in.Next(2));
                    break;
                case 9:
                    if (s.ColCount() < 9) s.InsertCols(col(), 1);
                    break;
                case 10:
                    if (s.ColCount() > 3) s.DeleteCols(col(), 1);
                    break;
                case 11:
                    s.MoveRow(row(), row());
                    break;
                case 12:
                    if (in.Next(2))
                        s.MoveCol(col(), col());
                    else
                        s.ExchangeRows(row(), row());
                    break;
                case 13:
                    s.SortRowsRange({col()}, in.Next(2) == 0, row(), row());
                    break;
                case 14:
                    if (in.Next(2)) {
                        const int c = col(), r = row();
                        s.MergeCells(c, r, c + in.Next(2), r + in.Next(2));
                    } else {
                        s.SetRowCount(fr + 3 + in.Next(10));
                    }
                    break;
                case 15:
                    // Bulk updates bracket the first sheet (kept while open).
                    if (in.Next(2) && updates < 3) {
                        bracket = &book[0];
                        bracket->BeginUpdate();
                        ++updates;
                    } else if (updates > 0) {
                        bracket->EndUpdate();
                        --updates;
                    }
                    break;
                case 16:
                    if (updates > 0) break;
                    if (book.sheets.size() > 1 && in.Next(2)) {
                        book.Remove(in.Next(static_cast<int>(book.sheets.size())));
                    } else if (book.sheets.size() < 3) {
                        BookSheet& added = book.Add(book.sheets.size() == 1 ? "Sheet2" : "Sheet3");
                        added.SetColCount(6);
                        added.SetRowCount(10);
                    } else {
                        book.Move(in.Next(3), in.Next(3));
                    }
                    break;
                default:
                    if (updates == 0) CheckAgainstAFreshCalculation(book);
                    break;
            }
        } catch (const Exception&) {
            // Compile errors, refused sorts over merged cells, failing
            // first calculations: the engine's own failures.
        }
    }
    while (updates-- > 0) bracket->EndUpdate();
    CheckAgainstAFreshCalculation(book);
    return 0;
}
