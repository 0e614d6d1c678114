#pragma once

#include <QChar>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

// One satellite's orbit parameters (AOP) and broadcast status.
class SatelliteAop : public QObject {
    Q_OBJECT

public:
    enum DownlinkStatus { DNLK_OFF, DNLK_ARGOS_4_ON, DNLK_SPARE_NA, DNLK_ARGOS_3_ON, DNLK_NA };
    Q_ENUM(DownlinkStatus)
    enum UplinkStatus {
        UPLK_ARGOS_3_ON,
        UPLK_ARGOS_NEO_ANGELS_ON,
        UPLK_ARGOS_4_ON,
        UPLK_OUT_OF_SERVICE,
        UPLK_NA
    };
    Q_ENUM(UplinkStatus)

    static const QString TEXT_ON;
    static const QString TEXT_OFF;

    // The texts of the orbit-data service; empty for the not-available values.
    static QString downlinkStatusText(DownlinkStatus status);
    static QString uplinkStatusText(UplinkStatus status);
    // The status whose text is exactly `text`; value 0 when none matches.
    static DownlinkStatus downlinkStatusFromText(const QString& text);
    static UplinkStatus uplinkStatusFromText(const QString& text);
    // The status a module reports as a number; the not-available value for a
    // number no status has.
    static DownlinkStatus downlinkStatusFromCode(uint code);
    static UplinkStatus uplinkStatusFromCode(uint code);

    SatelliteAop(QObject* parent, const QString& satelliteName, QChar allcastId,
        DownlinkStatus downlinkStatus = DNLK_NA, UplinkStatus uplinkStatus = UPLK_NA);

    QString satelliteName() const { return m_satelliteName; }
    QChar allcastId() const { return m_allcastId; }
    QDateTime bulletinEpoch() const { return m_bulletinEpoch; }
    DownlinkStatus downlinkStatusValue() const { return m_downlinkStatus; }
    UplinkStatus uplinkStatusValue() const { return m_uplinkStatus; }
    double semiMajorAxis() const { return m_semiMajorAxis; }
    double inclination() const { return m_inclination; }
    double ascNodeLongitude() const { return m_ascNodeLongitude; }
    double ascNodeDrift() const { return m_ascNodeDrift; }
    double orbitalPeriod() const { return m_orbitalPeriod; }
    double semiMajorAxisDrift() const { return m_semiMajorAxisDrift; }

    void setSatelliteName(const QString& name) { m_satelliteName = name; }
    void setBcastStatus(DownlinkStatus downlink, UplinkStatus uplink);
    void setAopParams(const QDateTime& epoch, double semiMajorAxis, double inclination,
        double ascNodeLongitude, double ascNodeDrift, double orbitalPeriod, double semiMajorAxisDrift);

    // Display texts: "OFF" when not transmitting / out of service, otherwise
    // the active payload generation; empty when not available.
    QString downlinkStatus() const;
    QString uplinkStatus() const;
    // Identifier, ISO epoch and the six parameters, as uploaded to the module.
    QStringList getAopParams() const;
    // Identifier, downlink and uplink status values, as uploaded to the module.
    QStringList getSatelliteParams() const;
    // Rich text of the parameters for the satellite view.
    QString aopData() const;

private:
    QString m_satelliteName;
    QChar m_allcastId;
    DownlinkStatus m_downlinkStatus;
    UplinkStatus m_uplinkStatus;
    QDateTime m_bulletinEpoch;
    double m_semiMajorAxis = 0;
    double m_inclination = 0;
    double m_ascNodeLongitude = 0;
    double m_ascNodeDrift = 0;
    double m_orbitalPeriod = 0;
    double m_semiMajorAxisDrift = 0;
};
