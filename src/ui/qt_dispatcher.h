// The serial component's events reach the user-interface thread as queued
// invocations on a QObject living there. Tasks posted after the dispatcher
// is gone are dropped by Qt with their context object.
#pragma once

#include <QObject>

#include "serial/ui_dispatcher.h"

namespace plu {

class QtDispatcher : public IUiDispatcher {
public:
    QtDispatcher();
    ~QtDispatcher() override;
    void post(std::function<void()> task) override;

private:
    QObject* context_;  // owned; lives on the thread that created the dispatcher
};

}  // namespace plu
