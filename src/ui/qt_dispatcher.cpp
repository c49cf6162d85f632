#include "ui/qt_dispatcher.h"

#include <QMetaObject>

namespace plu {

QtDispatcher::QtDispatcher() : context_(new QObject) {}

QtDispatcher::~QtDispatcher() { delete context_; }

void QtDispatcher::post(std::function<void()> task) {
    // invokeMethod with a functor and a queued connection is thread-safe and
    // keeps the order of posting for one receiver.
    QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
}

}  // namespace plu
