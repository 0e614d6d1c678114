#pragma once

#include <QObject>
#include <QtQml/qqml.h>

#include <functional>

#include "board/SensorModel.h"
#include "board/TavBoard.h"
#include "log/CommandHistory.h"
#include "log/Logger.h"
#include "log/LogModel.h"
#include "log/LogSearch.h"
#include "log/LogViewModel.h"
#include "manager/TavManager.h"
#include "orbit/PrepassModel.h"
#include "orbit/SatelliteAopModel.h"
#include "provisioning/ConfigCheck.h"
#include "serial/PortListModel.h"
#include "serial/SerialPortManager.h"
#include "tx/LoRaConnectivity.h"
#include "tx/ModulationModel.h"
#include "tx/Payload.h"
#include "tx/PayloadModel.h"
#include "tx/PeriodicProfile.h"
#include "tx/PrepassProfile.h"
#include "tx/PrepassTypes.h"
#include "tx/TxRecordModel.h"
#include "tx/TxManager.h"

class QJSEngine;
class QQmlEngine;

// The core's classes as the module "com.norvane.qml" declares them. The core
// is linked by tavcli without Qt Quick, so its headers stay free of QML; the
// declarations live here instead.

// The enumerations alone, as uncreatable namespaces: Module.TAV1,
// Status.SENT, Profile.PERIODIC, Id.GNSS.
namespace ModuleEnum {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(ModuleType)
QML_NAMED_ELEMENT(Module)
} // namespace ModuleEnum

namespace StatusEnum {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(Payload)
QML_NAMED_ELEMENT(Status)
} // namespace StatusEnum

namespace ProfileEnum {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(TxTypes)
QML_NAMED_ELEMENT(Profile)
} // namespace ProfileEnum

namespace IdEnum {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(SensorModel)
QML_NAMED_ELEMENT(Id)
} // namespace IdEnum

struct ConfigCheckType {
    Q_GADGET
    QML_FOREIGN(ConfigCheck)
    QML_NAMED_ELEMENT(ConfigCheck)
};

struct LogViewModelType {
    Q_GADGET
    QML_FOREIGN(LogViewModel)
    QML_NAMED_ELEMENT(LogViewModel)
};

struct CommandHistoryType {
    Q_GADGET
    QML_FOREIGN(CommandHistory)
    QML_NAMED_ELEMENT(CommandHistory)
};

struct LogModelType {
    Q_GADGET
    QML_FOREIGN(LogModel)
    QML_NAMED_ELEMENT(LogModel)
    QML_UNCREATABLE("the logger's history")
};

struct TxRecordModelType {
    Q_GADGET
    QML_FOREIGN(TxRecordModel)
    QML_NAMED_ELEMENT(TxRecordModel)
    QML_UNCREATABLE("the Tx engine's records")
};

struct LogSearchType {
    Q_GADGET
    QML_FOREIGN(LogSearch)
    QML_NAMED_ELEMENT(LogSearch)
    QML_UNCREATABLE("a view model's search")
};

// The objects QML reaches through the manager's properties, declared without
// a name: QML never creates them, and the tools learn their properties,
// signals and methods from these declarations.
struct TavBoardType {
    Q_GADGET
    QML_FOREIGN(TavBoard)
    QML_ANONYMOUS
};

struct SerialPortManagerType {
    Q_GADGET
    QML_FOREIGN(SerialPortManager)
    QML_ANONYMOUS
};

struct PortListModelType {
    Q_GADGET
    QML_FOREIGN(PortListModel)
    QML_ANONYMOUS
};

struct LoggerType {
    Q_GADGET
    QML_FOREIGN(Logger)
    QML_ANONYMOUS
};

struct TxManagerType {
    Q_GADGET
    QML_FOREIGN(TxManager)
    QML_ANONYMOUS
};

struct PeriodicProfileType {
    Q_GADGET
    QML_FOREIGN(PeriodicProfile)
    QML_ANONYMOUS
};

struct PrepassProfileType {
    Q_GADGET
    QML_FOREIGN(PrepassProfile)
    QML_ANONYMOUS
};

struct LoRaConnectivityType {
    Q_GADGET
    QML_FOREIGN(LoRaConnectivity)
    QML_ANONYMOUS
};

struct PrepassModelType {
    Q_GADGET
    QML_FOREIGN(PrepassModel)
    QML_ANONYMOUS
};

struct SatelliteAopModelType {
    Q_GADGET
    QML_FOREIGN(SatelliteAopModel)
    QML_ANONYMOUS
};

struct PayloadModelType {
    Q_GADGET
    QML_FOREIGN(PayloadModel)
    QML_ANONYMOUS
};

struct ModulationModelType {
    Q_GADGET
    QML_FOREIGN(ModulationModel)
    QML_ANONYMOUS
};

struct TxRecordFilterType {
    Q_GADGET
    QML_FOREIGN(TxRecordFilter)
    QML_ANONYMOUS
};

struct PositionType {
    Q_GADGET
    QML_FOREIGN(Position)
    QML_ANONYMOUS
};

struct PrepassConfigType {
    Q_GADGET
    QML_FOREIGN(PrepassConfig)
    QML_ANONYMOUS
};

// The one manager: it comes into being when QML first touches it and lives
// as long as the engine.
struct TavManagerType {
    Q_GADGET
    QML_FOREIGN(TavManager)
    QML_NAMED_ELEMENT(TavManager)
    QML_SINGLETON

public:
    static TavManager* create(QQmlEngine*, QJSEngine*);
    // Sees each manager as it is created, before QML does.
    static void setOnCreated(std::function<void(TavManager*)> onCreated);
};
