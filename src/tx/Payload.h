#pragma once

#include <QList>
#include <QObject>
#include <QString>

// One hexadecimal message that a Tx sequence sends `redundancy` times a round.
class Payload : public QObject {
    Q_OBJECT

public:
    enum Status { NONE, ERROR, PENDING, ACTIVE, COMPLETE };
    Q_ENUM(Status)

    // Ack and mail (downlink) each take two bytes of the frame.
    struct Options {
        bool ack = false;
        bool mail = false;
        bool important = false;
    };

    static constexpr quint8 TAV_PAYLOAD_DEFAULT_REDUNDANCY = 4;
    static constexpr quint8 TAV_PAYLOAD_IMPORTANT_REDUNDANCY = 10;

    Payload(QObject* parent, const QString& message, quint8 redundancy);
    Payload(QObject* parent, const QString& message, quint8 redundancy, Options options);

    QString message() const { return m_message; }
    quint8 redundancy() const { return m_redundancy; }
    Options options() const { return m_options; }
    quint8 txCount() const { return m_txCount; }
    Status status() const { return m_status; }
    // Transmissions of the sequence that the module sent, and that failed.
    int sentCount() const { return m_sentCount; }
    int failedCount() const { return m_failedCount; }

    void setMessage(const QString& message) { m_message = message; }
    void setRedundancy(quint8 redundancy) { m_redundancy = redundancy; }
    void setOptions(Options options) { m_options = options; }
    void setTxCount(quint8 txCount) { m_txCount = txCount; }
    void setStatus(Status status) { m_status = status; }
    void addResult(bool sent) { ++(sent ? m_sentCount : m_failedCount); }
    void clearResults() { m_sentCount = m_failedCount = 0; }

private:
    QString m_message;
    quint8 m_redundancy;
    Options m_options;
    quint8 m_txCount = 0;
    Status m_status = NONE;
    int m_sentCount = 0;
    int m_failedCount = 0;
};

// The rules a message must follow before it may be written to the module.
namespace PayloadRules {

// Only hexadecimal digits: anything else (blanks, CR, LF, other control
// characters) would end up verbatim in the AT frame.
bool isHexText(const QString& message);

// The size rule: an empty list allows any size; otherwise an even number of
// digits whose byte count, plus 2 when ack or mail is set, is in the list.
bool fitsAllowedSize(const QString& message, bool options, const QList<uint>& allowedSizes);

// Why the module cannot carry `message`, in words ("odd number of hex digits
// (3)"); empty when it can. `modulation` names the sizes' modulation.
QString refusal(const QString& message, bool options, const QList<uint>& allowedSizes, const QString& modulation);

} // namespace PayloadRules
