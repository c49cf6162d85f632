// Cell kinds on a grid view, driven with real Qt mouse and key events: what
// depends on the view's wiring (its timer for a held spin button, errors of
// the cells reaching the error display, the second press of a double click).
#include <gtest/gtest.h>

#include "grid/grid_selection.h"
#include "sheets/grid_sheet.h"
#include "sheets/spin_cells.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui_test_support.h"

namespace plu {
namespace {

using testing::RecordedErrors;
using testing::WaitFor;

constexpr int kSpin = 2;

class CellKindsViewTest : public ::testing::Test, protected testing::ShownSheet {
  protected:
    CellKindsViewTest()
        : ShownSheet(20, 6, 500, 300, [](TVexaGridSheet& s) {
              s.GetColumn(kSpin).SetCellType(TKtCellType::cellNumberSpin);
              s.SetColWidth(kSpin, 90);
          }) {
        sheet->SelectRange(kSpin, 2, kSpin, 2);
        spin = &static_cast<TKtNumberSpinCell&>(sheet->GetCell(kSpin, 2));
    }
    QPoint UpHalf() const {
        const TRect b = spin->ButtonRect();
        return {b.Left + b.Width() / 2, b.Top + 2};
    }
    std::string Text() const { return WideToUtf8(spin->GetText()); }

    TKtNumberSpinCell* spin = nullptr;
};

TEST_F(CellKindsViewTest, HoldingTheSpinButtonKeepsSteppingUntilReleased) {
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, UpHalf());
    EXPECT_TRUE(WaitFor([&] { return spin->GetAsFloat() >= 3; }, 3000));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, UpHalf());
    const std::string released = Text();
    QTest::qWait(300);
    EXPECT_EQ(Text(), released);
}

TEST_F(CellKindsViewTest, AFailingSpinStepReachesTheErrorDisplayAndTheProgramGoesOn) {
    RecordedErrors errors;
    spin->SetText(u"abc");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, UpHalf());
    EXPECT_EQ(errors.shown.size(), 1);
    // Held, it fails once and lets the button go.
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, UpHalf());
    QTest::qWait(TKtBaseSpinCell::kSpinRepeatDelay + 300);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, UpHalf());
    EXPECT_EQ(errors.shown.size(), 2);
    EXPECT_EQ(Text(), "abc");
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_EQ(sheet->Selection().Current(), (TPoint{kSpin, 3}));
}

TEST_F(CellKindsViewTest, ADoubleClickOnTheSpinButtonStepsAndOpensNoEditor) {
    // The events of a real double click: press, release, double-click press, release.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, UpHalf());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, UpHalf());
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, UpHalf());
    EXPECT_EQ(spin->GetAsFloat(), 2);  // one step for each press
    EXPECT_FALSE(view->Editor()->IsOpen());
}

}  // namespace
}  // namespace plu
