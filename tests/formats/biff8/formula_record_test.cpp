// FORMULA records with their cached results, BOOLERR cells and the
// EXTERNSHEET table, written by the workbook writer and read back; STRING
// records that other writers put after SHRFMLA or ARRAY.
#include <gtest/gtest.h>

#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_record.h"

namespace plu {
namespace {

using test::Bytes;

const std::vector<uint8_t> kOnePlusOne = {0x1E, 1, 0, 0x1E, 1, 0, 0x03};

std::unique_ptr<TWorkbook> ReadBack(TWorkbook& written, FixedTextMeasurer& measurer) {
    for (int i = 0; i < written.Sheets().Count(); ++i)
        written.Sheets().Item(i).Cells().Rows().Put(TRowRecord::Make(0, 0, 3, 255, 0x01C0, 0));
    const Bytes stream = written.SaveToBytes();
    auto read = std::make_unique<TWorkbook>(&measurer);
    read->LoadFromBytes(stream);
    return read;
}

TEST(FormulaRecords, CachedResultsOfEveryKindReadBack) {
    FixedTextMeasurer measurer;
    TWorkbook book(&measurer);
    TWorkSheet& sheet = book.AddSheet(u"S");
    TFormulaCachedResult number;
    number.number = 2;
    TFormulaCachedResult text;
    text.kind = TFormulaCachedResult::Kind::Text;
    text.text = WideString(5000, u'x');  // beyond one record: STRING + CONTINUE
    TFormulaCachedResult boolean;
    boolean.kind = TFormulaCachedResult::Kind::Boolean;
    boolean.boolean = true;
    TFormulaCachedResult error;
    error.kind = TFormulaCachedResult::Kind::Error;
    error.errorCode = 0x2A;
    sheet.PutCell(MakeFormula(0, 0, 15, kOnePlusOne, number));
    sheet.PutCell(MakeFormula(0, 1, 15, kOnePlusOne, text));
    sheet.PutCell(MakeFormula(0, 2, 15, kOnePlusOne, boolean));
    sheet.PutCell(MakeFormula(0, 3, 15, kOnePlusOne, error));

    auto read = ReadBack(book, measurer);
    const TXlsCells& cells = read->Sheets().Item(0).Cells();
    auto formula = [&](int col) -> const TFormulaRecord& {
        return static_cast<const TFormulaRecord&>(*cells.Get(0, col));
    };
    EXPECT_EQ(formula(0).AsFloat(), 2);
    EXPECT_EQ(formula(1).AsText(), text.text);
    EXPECT_EQ(formula(2).ValueKind(), TXlsValueKind::vkBoolean);
    EXPECT_EQ(formula(3).GetByte(6), 2);
    EXPECT_EQ(formula(3).GetByte(8), 0x2A);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(formula(c).OptionFlags() & kFormulaRecalc, kFormulaRecalc);
        EXPECT_EQ(WideToUtf8(read->FormulaText(formula(c))), "1+1");
    }
}

TEST(FormulaRecords, BoolErrCellsReadAsBooleanOrErrorText) {
    FixedTextMeasurer measurer;
    TWorkbook book(&measurer);
    TWorkSheet& sheet = book.AddSheet(u"S");
    sheet.PutCell(MakeBoolean(0, 0, 15, true));
    sheet.PutCell(MakeError(0, 1, 15, 0x07));
    sheet.PutCell(MakeError(0, 2, 15, 0x05));  // names no error
    auto read = ReadBack(book, measurer);
    const TXlsCells& cells = read->Sheets().Item(0).Cells();
    EXPECT_EQ(cells.Get(0, 0)->ValueKind(), TXlsValueKind::vkBoolean);
    EXPECT_EQ(cells.Get(0, 0)->AsFloat(), 1.0);
    EXPECT_EQ(cells.Get(0, 1)->AsText(), u"#DIV/0!");
    EXPECT_EQ(cells.Get(0, 2)->AsText(), u"#VALUE!");
}

TEST(FormulaRecords, ThreeDReferencesNameTheSheetThroughExternSheet) {
    FixedTextMeasurer measurer;
    TWorkbook book(&measurer);
    book.AddSheet(u"First");
    TWorkSheet& second = book.AddSheet(u"Second");
    const int ixti = book.Globals().ExternSheetIndexOf(0);
    EXPECT_EQ(book.Globals().ExternSheetIndexOf(0), ixti);  // one entry per sheet
    // ptgRef3d (value class) to First!B2, relative.
    const std::vector<uint8_t> tokens = {0x5A, static_cast<uint8_t>(ixti), 0, 1, 0, 1, 0xC0};
    second.PutCell(MakeFormula(0, 0, 15, tokens, {}));
    auto read = ReadBack(book, measurer);
    const auto& formula =
        static_cast<const TFormulaRecord&>(*read->Sheets().Item(1).Cells().Get(0, 0));
    EXPECT_EQ(WideToUtf8(read->FormulaText(formula)), "First!B2");
}

TEST(FormulaRecords, StringAfterSharedFormulaOrArrayReachesItsFormula) {
    for (const uint16_t between : {uint16_t{0x04BC}, uint16_t{0x0221}}) {
        Bytes formula;
        test::Put16(formula, 0);
        test::Put16(formula, 0);
        test::Put16(formula, 15);
        formula.insert(formula.end(), {0, 0, 0, 0, 0, 0, 0xFF, 0xFF});  // string result
        test::Put16(formula, 0);
        test::Put32(formula, 0);
        test::Put16(formula, 1);
        formula.push_back(0x16);  // ptgMissArg: anything will do
        Bytes shared(12, 0);
        const Bytes stream = test::StreamBuilder()
                                 .Globals({u"S"})
                                 .Bof(0x0010)
                                 .Record(0x0006, formula)
                                 .Record(between, shared)
                                 .Record(0x0207, test::Str16(u"cached", 2))
                                 .Eof()
                                 .Data();
        FixedTextMeasurer measurer;
        TWorkbook book(&measurer);
        book.LoadFromBytes(stream);
        EXPECT_EQ(book.Sheets().Item(0).Cells().Get(0, 0)->AsText(), u"cached");
    }
}

}  // namespace
}  // namespace plu
