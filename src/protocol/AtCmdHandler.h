#pragma once

#include <QChar>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Turns a command identifier plus parameters into one AT request line, and one
// received line back into a command identifier plus its captured data fields.
class AtCmdHandler : public QObject {
    Q_OBJECT

public:
    // The enumerator names are the command words on the wire.
    enum CmdId {
        OK,
        ERROR,
        PING,
        ID,
        ADDR,
        FW,
        TX,
        SN,
        ATXFRQ,
        PWR,
        AFMT,
        SAVE_CFG,
        CW,
        PREPASS_EN,
        PREPASS_CFG,
        POS,
        AOP,
        SAT,
        UDATE,
        NEXTPASS,
        TXDATA,
        TXFIFO,
        ATXRP,
        ATXSTART,
        RX,
        BC,
        ASSERT,
        SATDET,
        RCONF,
        PACQ,
        PACQ_SENS,
        ALRT_SENS,
        ALRT_LIGHT,
        ALRT_ACC,
        ALRT_DRYC,
        ALRT_PB,
        RST,
        TAV_TX,
        TAV_REDUN,
        LORA_EN,
        LORA_REDUN,
        LORA_ACK,
        LORA_DEUI,
        LORA_AEUI,
        LORA_AKEY
    };
    Q_ENUM(CmdId)

    // Code of a +ERROR=<code> answer; codes without a name are still valid.
    enum Error : uint {
        ERR_NONE = 0,
        ERR_PARAM_FORMAT = 2,
        ERR_PARAM_MISSING = 3,
        ERR_PARAM_TOO_MANY = 4,
        ERR_PARAM_INCOMPATIBLE = 5,
        ERR_CMD_UNKNOWN = 6,
        ERR_CMD_ID_INVALID = 7,
        ERR_CMD_ID_UNKNOWN = 8,
        ERR_MSG_DATA_LENGTH = 20,
        ERR_MSG_QUEUE_FULL = 21,
        ERR_MSG_QUEUE_EMPTY = 22,
        ERR_TRX_DRIVER = 40,
        ERR_TRX_AUTO_RANGING = 41,
        ERR_TRX_PLL = 42,
        ERR_TRX_CRYSTAL_TIMEOUT = 43,
        ERR_TRX_RESET = 44
    };
    Q_ENUM(Error)

    // Pattern fragments shared by every board's response grammar.
    static const QString BOOL_REGEX;
    static const QString FLOAT_REGEX;
    static const QString DECIMAL_REGEX;
    static const QString HEXA_REGEX;
    static const QString ISO_DATE_REGEX;
    static const QString OK_REGEX;
    static const QString ERROR_REGEX;
    static const QString ID_REGEX;
    static const QString ADDR_REGEX;
    static const QString PREPASS_EN_REGEX;
    static const QString PREPASS_CFG_REGEX;
    static const QString POS_REGEX;
    static const QString AOP_REGEX;
    static const QString SAT_REGEX;
    static const QString UDATE_REGEX;
    static const QString NEXTPASS_REGEX;
    static const QString RCONF_REGEX;

    static const QString RESPONSE_FRAME_REGEX;
    static const QString REQUEST_FRAME_REGEX;

    // (P),(P),...,(P): n copies of `pattern`, each in parentheses, joined by ",".
    static QString repeatRegex(quint8 n, const QString& pattern);

    // True when a parameter holds CR, LF or another control character, which
    // would end the request early and put a second command on the wire.
    static bool hasControlCharacter(const QString& text);
    static bool hasControlCharacter(const QList<QString>& params);

    AtCmdHandler(QObject* parent, QMap<CmdId, QString> responseRegexMap);

    // "AT+" + word + "=" + ("?" | params joined by ",") + CR LF, in Latin-1.
    QByteArray build(CmdId id, const QList<QString>& params = {}) const;

    // Parses one line: a module response, or an "AT+..." request when
    // `isRequest` is true. True when the frame, the word and the data matched.
    bool parse(const QString& line, bool isRequest = false);

    CmdId getId() const { return m_id; }
    QString getIdAsStr() const;

    template<typename T> T getData(quint8 index) const;

    quint8 getDataLength() const { return static_cast<quint8>(m_data.size()); }
    QString getErrorAsStr() const;
    static QString errorToStr(uint code);

private:
    struct ResponsePattern {
        QRegularExpression regex;
        int wordGroup; // the group named after the command word, or -1
    };
    const ResponsePattern& responsePattern(CmdId id) const;

    QMap<CmdId, QString> m_responseRegexMap;
    QHash<int, ResponsePattern> m_compiledPatterns;
    ResponsePattern m_emptyPattern;
    CmdId m_id;
    QList<QString> m_data;
    uint m_error;
    QRegularExpression m_responseFrameRegex;
    QRegularExpression m_requestFrameRegex;
};

template<> QString AtCmdHandler::getData<QString>(quint8 index) const;
template<> QChar AtCmdHandler::getData<QChar>(quint8 index) const;
template<> uint AtCmdHandler::getData<uint>(quint8 index) const;
template<> double AtCmdHandler::getData<double>(quint8 index) const;
template<> AtCmdHandler::Error AtCmdHandler::getData<AtCmdHandler::Error>(quint8 index) const;
