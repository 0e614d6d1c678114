#pragma once

#include <QObject>
#include <QString>

// One sensor of the development-kit board: whether it is acquired, whether it
// may raise alerts, whether its own alert is armed, and the thresholds of that
// alert when it has any. The module keeps the acquisition and the alert
// enables in two sets of its own; so does the sensor.
class Sensor : public QObject {
    Q_OBJECT

public:
    // A sensor without a threshold title has no thresholds: its values read "NA".
    Sensor(QObject* parent, const QString& name, bool enable, bool alert, bool hasAlertCmd,
        const QString& thresholdTitle, const QString& thresholdValues);

    QString name() const { return m_name; }
    bool enable() const { return m_enable; }
    // The sensor's flag in the module's set of alert enables.
    bool alertEnable() const { return m_alertEnable; }
    // The flag of the sensor's own alert command, with its thresholds.
    bool alert() const { return m_alert; }
    bool hasAlertCmd() const { return m_hasAlertCmd; }
    QString thresholdTitle() const { return m_thresholdTitle; }
    QString thresholdValues() const { return m_thresholdValues; }

    // Plain stores: the model around the sensors signals the views.
    void setEnable(bool enable) { m_enable = enable; }
    void setAlertEnable(bool enable) { m_alertEnable = enable; }
    void setAlert(bool alert) { m_alert = alert; }
    void setThresholdValues(const QString& values) { m_thresholdValues = values; }

    static const QString NO_THRESHOLD_STR;

private:
    QString m_name;
    bool m_enable;
    // Off until read: a module fresh from the factory raises no alert.
    bool m_alertEnable = false;
    bool m_alert;
    bool m_hasAlertCmd;
    QString m_thresholdTitle;
    QString m_thresholdValues;
};
