#pragma once

#include <QObject>
#include <QString>

// The LoRaWAN settings of a development-kit board. Identifiers are kept as
// plain upper-case hexadecimal text; formatEui gives the comma-separated byte
// list the module's LORA_* commands take.
class LoRaConnectivity : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString devEui READ devEui WRITE setDevEui NOTIFY devEuiChanged)
    Q_PROPERTY(QString appEui READ appEui WRITE setAppEui NOTIFY appEuiChanged)
    Q_PROPERTY(QString appKey READ appKey WRITE setAppKey NOTIFY appKeyChanged)
    Q_PROPERTY(quint8 redundancy READ redundancy WRITE setRedundancy NOTIFY redundancyChanged)
    Q_PROPERTY(bool ackEnabled READ ackEnabled WRITE setAckEnabled NOTIFY ackEnabledChanged)

public:
    static constexpr int EUI_SIZE = 8;
    static constexpr int KEY_SIZE = 16;
    static constexpr quint8 DEFAULT_REDUNDANCY = 1;

    explicit LoRaConnectivity(QObject* parent = nullptr);

    QString devEui() const { return m_devEui; }
    QString appEui() const { return m_appEui; }
    QString appKey() const { return m_appKey; }
    quint8 redundancy() const { return m_redundancy; }
    bool ackEnabled() const { return m_ackEnabled; }

    // Plain upper-case hexadecimal of `text` when it holds exactly `bytes`
    // bytes (blanks, ",", ":" and "-" between digits allowed); else empty.
    static QString normalizeHex(const QString& text, int bytes);
    Q_INVOKABLE static bool isValidEui(const QString& text);
    Q_INVOKABLE static bool isValidKey(const QString& text);
    // "70B3D57ED0010203" -> "70,B3,D5,7E,D0,01,02,03".
    Q_INVOKABLE static QString formatEui(const QString& hex);

public slots:
    // The three setters refuse a value of the wrong length and return false;
    // the previous value stays.
    bool setDevEui(const QString& devEui);
    bool setAppEui(const QString& appEui);
    bool setAppKey(const QString& appKey);
    void setRedundancy(quint8 redundancy);
    void setAckEnabled(bool enabled);
    void reset();

signals:
    void devEuiChanged();
    void appEuiChanged();
    void appKeyChanged();
    void redundancyChanged();
    void ackEnabledChanged();

private:
    QString m_devEui;
    QString m_appEui;
    QString m_appKey;
    quint8 m_redundancy = DEFAULT_REDUNDANCY;
    bool m_ackEnabled = false;
};
