#include "Sensor.h"

const QString Sensor::NO_THRESHOLD_STR = QStringLiteral("NA");

Sensor::Sensor(QObject* parent, const QString& name, bool enable, bool alert, bool hasAlertCmd,
    const QString& thresholdTitle, const QString& thresholdValues)
    : QObject(parent)
    , m_name(name)
    , m_enable(enable)
    , m_alert(alert)
    , m_hasAlertCmd(hasAlertCmd)
    , m_thresholdTitle(thresholdTitle)
    , m_thresholdValues(thresholdTitle.isEmpty() ? NO_THRESHOLD_STR : thresholdValues)
{
}
