// The built-in virtual scale for demonstrations: started as a child process
// from beside the executable, stopped with the window.
#pragma once

#include <QProcess>
#include <QString>

namespace plu {

class VirtualScaleChild {
public:
    VirtualScaleChild() = default;
    ~VirtualScaleChild() { Stop(); }
    VirtualScaleChild(const VirtualScaleChild&) = delete;
    VirtualScaleChild& operator=(const VirtualScaleChild&) = delete;

    // Starts `program` (virtual-scale) and waits up to 5 s for the device it
    // prints. False with a reason when it cannot.
    bool Start(const QString& program, QString& error);
    // Stops the child (SIGTERM, then SIGKILL after 2 s). Harmless when stopped.
    void Stop();

    const QString& Device() const { return device_; }
    bool Running() const { return process_.state() != QProcess::NotRunning; }

    // virtual-scale beside the running executable.
    static QString ProgramBesideExecutable();

private:
    QProcess process_;
    QString device_;
};

}  // namespace plu
