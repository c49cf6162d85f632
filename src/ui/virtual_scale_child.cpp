#include "ui/virtual_scale_child.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>

namespace plu {

QString VirtualScaleChild::ProgramBesideExecutable() {
    // In the build tree it sits beside the program; installed, it is a
    // private helper under lib/plu-editor.
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("virtual-scale"));
    const QString installed = here.filePath(QStringLiteral("../lib/plu-editor/virtual-scale"));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed)) return QDir::cleanPath(installed);
    return beside;
}

bool VirtualScaleChild::Start(const QString& program, QString& error) {
    process_.setProgram(program);
    process_.setArguments({QStringLiteral("--exit-with-parent")});
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QIODevice::ReadOnly);
    if (!process_.waitForStarted(5000)) {
        error = QStringLiteral("Cannot start the virtual scale %1: %2").arg(program, process_.errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!process_.canReadLine() && clock.elapsed() < 5000) {
        if (!process_.waitForReadyRead(static_cast<int>(5000 - clock.elapsed()))) break;
    }
    if (!process_.canReadLine()) {
        error = QStringLiteral("The virtual scale %1 did not report its device.").arg(program);
        Stop();
        return false;
    }
    device_ = QString::fromUtf8(process_.readLine()).trimmed();
    return !device_.isEmpty();
}

void VirtualScaleChild::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

}  // namespace plu
