// Shared pieces of the widget tests: the application object (made in each
// test program's main), waiting with the event loop running, and the error
// display recording what it was given instead of opening message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>

#include "sheets/grid_sheet.h"
#include "ui/error_display.h"
#include "ui/grid_view.h"

namespace plu::testing {

inline bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QTest::qWait(10);
    return done();
}

// Errors shown while it lives are kept in `shown`.
struct RecordedErrors {
    QStringList shown;
    RecordedErrors() {
        SetUiErrorDisplay([this](const QString& text) { shown << text; });
    }
    ~RecordedErrors() { SetUiErrorDisplay({}); }
};

// A lone worksheet of rows x cols shown in a grid view of width x height
// that has the keyboard focus; prepare runs before the view is made.
struct ShownSheet {
    std::unique_ptr<TVexaGridSheet> sheet = std::make_unique<TVexaGridSheet>();
    std::unique_ptr<GridView> view;

    ShownSheet(int rows, int cols, int width, int height,
               const std::function<void(TVexaGridSheet&)>& prepare = {}) {
        sheet->SetRowCount(rows);
        sheet->SetColCount(cols);
        if (prepare) prepare(*sheet);
        view = std::make_unique<GridView>(*sheet);
        view->resize(width, height);
        view->show();
        view->setFocus();
        QApplication::setActiveWindow(view.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    ~ShownSheet() {
        view.reset();
        sheet.reset();
        QApplication::processEvents();
    }
};

// Runs the tests of a widget test program with a QApplication on the
// offscreen platform (also when CTest lists them at build time).
inline int RunWidgetTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace plu::testing
