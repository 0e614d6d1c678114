#include "AtCmdHandler.h"

#include "log/Helper.h"

#include <QDebug>
#include <QMetaEnum>

#include <optional>

// Defined in this order: each fragment is built from the ones above it.
const QString AtCmdHandler::BOOL_REGEX = QStringLiteral("[0|1]");
const QString AtCmdHandler::FLOAT_REGEX = QStringLiteral("[-0-9.]+");
const QString AtCmdHandler::DECIMAL_REGEX = QStringLiteral("[-0-9]+");
const QString AtCmdHandler::HEXA_REGEX = QStringLiteral("[0-9a-fA-F]");
const QString AtCmdHandler::ISO_DATE_REGEX
    = DECIMAL_REGEX + "-[0-9]{1,2}-[0-9]{1,2}T[0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2}Z";
const QString AtCmdHandler::OK_REGEX = QStringLiteral("$^");
const QString AtCmdHandler::ERROR_REGEX = QStringLiteral("^(?<ERROR>[0-9]+)$");
const QString AtCmdHandler::ID_REGEX = "^(?<ID>" + HEXA_REGEX + "+)$";
const QString AtCmdHandler::ADDR_REGEX = "^(?<ADDR>" + HEXA_REGEX + "+)$";
const QString AtCmdHandler::PREPASS_EN_REGEX = QStringLiteral("^(?<PREPASS_EN>[0-2]{1})$");
const QString AtCmdHandler::PREPASS_CFG_REGEX = "^(?<PREPASS_CFG>(" + FLOAT_REGEX + "),(" + FLOAT_REGEX
    + "),(" + ISO_DATE_REGEX + "),(" + ISO_DATE_REGEX + "),(" + FLOAT_REGEX + "),(" + FLOAT_REGEX + "),("
    + FLOAT_REGEX + "),(" + DECIMAL_REGEX + "),(" + FLOAT_REGEX + "),(" + DECIMAL_REGEX + "))$";
const QString AtCmdHandler::POS_REGEX = "^(?<POS>(" + FLOAT_REGEX + "),(" + FLOAT_REGEX + "))$";
const QString AtCmdHandler::AOP_REGEX = "^(?<AOP>(" + HEXA_REGEX + "+),(" + ISO_DATE_REGEX + "),("
    + FLOAT_REGEX + "),(" + FLOAT_REGEX + "),(" + FLOAT_REGEX + "),(" + FLOAT_REGEX + "),(" + FLOAT_REGEX
    + "),(" + FLOAT_REGEX + ")(,blacklisted)?|end)$";
const QString AtCmdHandler::SAT_REGEX
    = "^(?<SAT>(" + HEXA_REGEX + "+),(" + DECIMAL_REGEX + "),(" + DECIMAL_REGEX + ")(,blacklisted)?|end)$";
const QString AtCmdHandler::UDATE_REGEX = "^(?<UDATE>" + ISO_DATE_REGEX + ")$";
const QString AtCmdHandler::NEXTPASS_REGEX = "^(?<NEXTPASS>(" + HEXA_REGEX + "+),(" + ISO_DATE_REGEX + "),("
    + ISO_DATE_REGEX + "),(" + FLOAT_REGEX + "),(" + DECIMAL_REGEX + "))$";
const QString AtCmdHandler::RCONF_REGEX
    = "^(?<RCONF>(" + DECIMAL_REGEX + "+),(" + DECIMAL_REGEX + "),(" + DECIMAL_REGEX + "),(.*))$";

const QString AtCmdHandler::RESPONSE_FRAME_REGEX = QStringLiteral(R"(^\+(?<CMD>[A-Z_]+)(=|:)?(?<DATA>.+)?$)");
const QString AtCmdHandler::REQUEST_FRAME_REGEX = QStringLiteral(R"(^AT\+(?<CMD>[A-Z_]+)=(?<DATA>.+)?$)");

namespace {

// Same answer as Helper::strToEnum<CmdId>, without a walk over the
// meta-enumeration and a local 8-bit conversion on every received line.
int commandIdOf(QStringView word)
{
    static const QHash<QString, int> ids = [] {
        QHash<QString, int> table;
        const QMetaEnum meta = QMetaEnum::fromType<AtCmdHandler::CmdId>();
        for (int i = 0; i < meta.keyCount(); ++i)
            table.insert(QString::fromLatin1(meta.key(i)), meta.value(i));
        return table;
    }();
    // A view for the look-up, without copying the word.
    return ids.value(QString::fromRawData(word.data(), word.size()), -1);
}

bool isPrintableAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

// The frame grammars read by hand, for printable ASCII lines only: there
// "." matches every character, so the greedy grammar has exactly one
// reading. Any other line goes through the regular expressions.
bool splitPlainFrame(QStringView line, bool isRequest, QStringView* word, QStringView* data)
{
    const QStringView prefix = isRequest ? QStringView(u"AT+") : QStringView(u"+");
    if (!line.startsWith(prefix))
        return false;
    const qsizetype start = prefix.size();
    qsizetype i = start;
    while (i < line.size() && ((line[i] >= u'A' && line[i] <= u'Z') || line[i] == u'_'))
        ++i;
    if (i == start)
        return false;
    *word = line.sliced(start, i - start);
    if (isRequest) {
        if (i == line.size() || line[i] != u'=')
            return false;
        ++i;
    } else if (i < line.size() && (line[i] == u'=' || line[i] == u':')) {
        ++i;
    }
    // No data reads as the grammar's missing group: a null text.
    *data = i < line.size() ? line.sliced(i) : QStringView();
    return true;
}

} // namespace

QString AtCmdHandler::repeatRegex(quint8 n, const QString& pattern)
{
    QStringList parts;
    for (quint8 i = 0; i < n; ++i)
        parts << "(" + pattern + ")";
    return parts.join(',');
}

bool AtCmdHandler::hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

bool AtCmdHandler::hasControlCharacter(const QList<QString>& params)
{
    for (const QString& p : params) {
        if (hasControlCharacter(p))
            return true;
    }
    return false;
}

AtCmdHandler::AtCmdHandler(QObject* parent, QMap<CmdId, QString> responseRegexMap)
    : QObject(parent)
    , m_responseRegexMap(std::move(responseRegexMap))
    , m_emptyPattern {QRegularExpression(QString()), -1}
    , m_id(static_cast<CmdId>(0))
    , m_data({QString()})
    , m_error(0)
    , m_responseFrameRegex(RESPONSE_FRAME_REGEX)
    , m_requestFrameRegex(REQUEST_FRAME_REGEX)
{
    // Compiled once per board instead of on every parsed line, with the
    // index of the group named after the command word looked up once too.
    for (auto it = m_responseRegexMap.cbegin(); it != m_responseRegexMap.cend(); ++it) {
        QRegularExpression re(it.value());
        re.optimize();
        const int wordGroup = int(re.namedCaptureGroups().indexOf(Helper::enumToStr(it.key())));
        m_compiledPatterns.insert(it.key(), {re, wordGroup});
    }
    m_responseFrameRegex.optimize();
    m_requestFrameRegex.optimize();
}

QByteArray AtCmdHandler::build(CmdId id, const QList<QString>& params) const
{
    QString frame = "AT+" + Helper::enumToStr(id) + "=";
    frame += params.isEmpty() ? QStringLiteral("?") : params.join(',');
    QByteArray bytes = frame.toLatin1();
    bytes.append("\r\n");
    return bytes;
}

const AtCmdHandler::ResponsePattern& AtCmdHandler::responsePattern(CmdId id) const
{
    const auto it = m_compiledPatterns.constFind(id);
    return it == m_compiledPatterns.cend() ? m_emptyPattern : it.value();
}

bool AtCmdHandler::parse(const QString& line, bool isRequest)
{
    m_data.clear();

    QStringView word;
    QStringView data;
    // Built only when needed: even an empty match costs an allocation.
    std::optional<QRegularExpressionMatch> frame;
    if (!isPrintableAscii(line) || !splitPlainFrame(line, isRequest, &word, &data)) {
        frame = (isRequest ? m_requestFrameRegex : m_responseFrameRegex).match(line);
        if (!frame->hasMatch()) {
            qCritical().noquote() << "Unable to extract command response id";
            return false;
        }
        // Groups: CMD first, then the separator (responses only), then DATA.
        word = frame->capturedView(1);
        data = frame->capturedView(isRequest ? 2 : 3);
    }

    const int id = commandIdOf(word);
    if (id < 0) {
        // No identifier holds -1: an unknown word leaves the codec as new.
        m_id = OK;
        qCritical().noquote() << "Invalid AT command id:" << word;
        return false;
    }
    m_id = static_cast<CmdId>(id);

    const ResponsePattern& pattern = responsePattern(m_id);
    const QRegularExpressionMatch match = pattern.regex.match(data);
    if (!match.hasMatch()) {
        m_data.append(QStringLiteral("NA"));
        qCritical().noquote() << "Unable to extract" << word << "data";
        return false;
    }

    m_data.append(pattern.wordGroup > 0 ? match.captured(pattern.wordGroup) : QString());
    for (int group = 2; group <= match.lastCapturedIndex(); ++group)
        m_data.append(match.captured(group));

    m_error = (m_id == ERROR) ? m_data.constFirst().toUInt() : 0;
    return true;
}

QString AtCmdHandler::getIdAsStr() const
{
    return Helper::enumToStr(m_id);
}

template<> QString AtCmdHandler::getData<QString>(quint8 index) const
{
    return index < m_data.size() ? m_data.at(index) : QString();
}

template<> QChar AtCmdHandler::getData<QChar>(quint8 index) const
{
    const QString field = getData<QString>(index);
    return field.isEmpty() ? QChar() : field.at(0);
}

template<> uint AtCmdHandler::getData<uint>(quint8 index) const
{
    bool ok = false;
    const uint value = getData<QString>(index).toUInt(&ok, 10);
    return ok ? value : 0;
}

template<> double AtCmdHandler::getData<double>(quint8 index) const
{
    bool ok = false;
    const double value = getData<QString>(index).toDouble(&ok);
    return ok ? value : 0.0;
}

template<> AtCmdHandler::Error AtCmdHandler::getData<AtCmdHandler::Error>(quint8 index) const
{
    return static_cast<Error>(getData<uint>(index));
}

QString AtCmdHandler::getErrorAsStr() const
{
    return errorToStr(m_error);
}

QString AtCmdHandler::errorToStr(uint code)
{
    switch (code) {
    case ERR_PARAM_FORMAT: return QStringLiteral("Format of parameter is incorrect");
    case ERR_PARAM_MISSING: return QStringLiteral("Parameters are missing");
    case ERR_PARAM_TOO_MANY: return QStringLiteral("Too many parameters");
    case ERR_PARAM_INCOMPATIBLE: return QStringLiteral("The value of the parameter is incompatible");
    case ERR_CMD_UNKNOWN: return QStringLiteral("The AT command is unknown");
    case ERR_CMD_ID_INVALID: return QStringLiteral("The AT command ID is invalid");
    case ERR_CMD_ID_UNKNOWN: return QStringLiteral("The AT command ID is unknown");
    case ERR_MSG_DATA_LENGTH: return QStringLiteral("Invalid message data length");
    case ERR_MSG_QUEUE_FULL: return QStringLiteral("The message queue is already full");
    case ERR_MSG_QUEUE_EMPTY: return QStringLiteral("The message queue is empty");
    case ERR_TRX_DRIVER: return QStringLiteral("Transceiver error (driver)");
    case ERR_TRX_AUTO_RANGING: return QStringLiteral("Transceiver error (auto ranging)");
    case ERR_TRX_PLL: return QStringLiteral("Transceiver error (PLL)");
    case ERR_TRX_CRYSTAL_TIMEOUT: return QStringLiteral("Transceiver error (crystal timeout)");
    case ERR_TRX_RESET: return QStringLiteral("Transceiver error (reset)");
    default: return QStringLiteral("Unknown error");
    }
}
