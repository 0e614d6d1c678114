#pragma once

#include "board/TavBoard.h"
#include "serial/PortListModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class QProcess;

// Simulated modules for trying the tool without hardware: one module
// simulator process per variant asked for, each on a pseudo-terminal linked
// into a folder of its own, listed under a readable name. The TREKON kit
// starts asleep and its simulated user presses the button a moment after the
// port is opened. The simulators stop with this object, or with the process
// that started them.
class DemoModules : public QObject {
    Q_OBJECT

public:
    explicit DemoModules(QObject* parent = nullptr);
    ~DemoModules() override;

    // "Demo TREKON (simulated)".
    static QString portName(TavBoard::Module module);
    // The simulator beside this executable (installed, or in the build
    // tree), else on PATH; "" when there is none.
    static QString simulatorPath();

    // Starts one simulator per module and waits for their devices; false
    // with the reason when one does not come up (those started are stopped).
    bool start(const QList<TavBoard::Module>& modules, int wakeUpMs, QString* error);
    void stop();

    // The ports, named, in the order of the modules.
    QList<PortEntry> ports() const { return m_ports; }

private:
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QList<PortEntry> m_ports;
};
