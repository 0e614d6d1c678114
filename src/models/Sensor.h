#pragma once

#include <QObject>
#include <QString>

// One sensor of the development-kit board: whether it is acquired, whether its
// alert is armed, and the thresholds of that alert when it has any.
class Sensor : public QObject {
    Q_OBJECT

public:
    // A sensor without a threshold title has no thresholds: its values read "NA".
    Sensor(QObject* parent, const QString& name, bool enable, bool alert, bool hasAlertCmd,
        const QString& thresholdTitle, const QString& thresholdValues);

    QString name() const { return m_name; }
    bool enable() const { return m_enable; }
    bool alert() const { return m_alert; }
    bool hasAlertCmd() const { return m_hasAlertCmd; }
    QString thresholdTitle() const { return m_thresholdTitle; }
    QString thresholdValues() const { return m_thresholdValues; }

    // Plain stores: the model around the sensors signals the views.
    void setEnable(bool enable) { m_enable = enable; }
    void setAlert(bool alert) { m_alert = alert; }
    void setThresholdValues(const QString& values) { m_thresholdValues = values; }

    static const QString NO_THRESHOLD_STR;

private:
    QString m_name;
    bool m_enable;
    bool m_alert;
    bool m_hasAlertCmd;
    QString m_thresholdTitle;
    QString m_thresholdValues;
};
