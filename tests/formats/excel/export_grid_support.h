// Grid side of the export tests: a grid pinned to fixed text metrics and
// en-US settings, with a constant formula standing in for the formula
// engine, and exporting it into a stream that is read back as plain values.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "export_test_support.h"
#include "formats/biff8/byte_stream.h"
#include "formats/excel/excel_helper.h"
#include "grid/custom_grid.h"

namespace plu::exporttest {

// "=<number>" evaluates to that number.
class ConstantFormula : public IKtFormula {
public:
    explicit ConstantFormula(WideString text) : text_(std::move(text)) {}
    TKtFormulaResultKind ResultKind() const override { return TKtFormulaResultKind::Number; }
    double ResultNumber() const override { return 7; }
    WideString ResultText() const override { return u"7"; }
    bool ResultBoolean() const override { return true; }
    WideString SourceText() const override { return text_; }
    void Recalculate() override {}
    void Shift(int, int) override {}
    std::vector<TKtFormulaRef> References() const override { return {}; }

private:
    WideString text_;
};

class FormulaGrid : public TKtCustomGrid {
public:
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue&, WideStringView text, const IKtFormula*) override {
        return std::make_unique<ConstantFormula>(WideString(text));
    }
};

class ExportTest : public ::testing::Test {
protected:
    ExportTest() : settings_(RegionalSettings::Defaults()) {
        grid.SetMeasurer(&measurer);
        grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxSupportFormula));
    }

    // The workbook of one AddSheet of the grid, read back.
    SavedBook Export(bool gridLines = false, WideStringView name = u"sheet1") {
        TVexaGridExcelHelper helper(nullptr, &measurer);
        helper.AddSheet(name, grid, gridLines);
        return ReadBack(Stream(helper));
    }
    static Bytes Stream(TVexaGridExcelHelper& helper) {
        TXlsMemoryStream stream;
        helper.SaveToStream(stream);
        return stream.TakeBytes();
    }
    // The XF of the saved cell at sheet (row, col).
    static const SavedXF& XFOf(const SavedBook& book, int row, int col) {
        const SavedCell* cell = book.sheets.at(0).Cell(row, col);
        EXPECT_NE(cell, nullptr) << "no cell at " << row << "," << col;
        return book.xfs.at(static_cast<size_t>(cell ? cell->xf : 0));
    }

    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    FormulaGrid grid;
};

}  // namespace plu::exporttest
