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

#include "ui/error_display.h"

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

// Runs the tests of a widget test program with a QApplication on the
// offscreen platform (also when CTest lists them at build time).
inline int RunWidgetTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace plu::testing
