#include "ModuleDetector.h"

#include "BusyState.h"
#include "RequestEngine.h"
#include "ResponseDispatch.h"
#include "board/Tav2.h"
#include "log/Helper.h"
#include "protocol/CommandTable.h"
#include "protocol/VariantCapabilities.h"
#include "serial/SerialPortManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

const TavBoard::Module kVariants[] = {TavBoard::TAV1, TavBoard::TAV2, TavBoard::RIX, TavBoard::TREKON};

QString baudList(const QList<int>& rates)
{
    QStringList names;
    for (const int rate : rates)
        names << QString::number(rate);
    return names.size() < 2 ? names.join(QString()) : names.mid(0, names.size() - 1).join(", ") + " or " + names.constLast();
}

} // namespace

ModuleDetector::ModuleDetector(
    SerialPortManager& serialPort, RequestEngine& requests, ResponseDispatch& dispatch, BusyState& busy)
    : m_serialPort(serialPort)
    , m_requests(requests)
    , m_dispatch(dispatch)
    , m_busy(busy)
{
}

TavBoard::Module ModuleDetector::Result::module() const
{
    const QList<TavBoard::Module> modules = identity.modules();
    return answered && modules.size() == 1 ? modules.constFirst() : TavBoard::NA;
}

QString ModuleDetector::Result::baudChoice() const
{
    for (const TavBoard::Module module : identity.modules()) {
        if (VariantCapabilities::of(module).defaultBaudRate != baudRate)
            return QString::number(baudRate);
    }
    return QStringLiteral("Default");
}

QString ModuleDetector::Result::text() const
{
    if (!answered)
        return "no answer at " + baudList(baudRatesTried) + " baud on " + port;
    const QString what = identity.id().isEmpty() && identity.firmware().isEmpty()
        ? QString()
        : ": ID " + (identity.id().isEmpty() ? QStringLiteral("unknown") : identity.id()) + ", firmware "
            + (identity.firmware().isEmpty() ? QStringLiteral("unknown") : identity.firmware());
    const QString where = " on " + port + " at " + QString::number(baudRate) + " baud";
    if (!found())
        return "A module answers" + where + ", but as " + IdentityCheck::names(0) + what;
    return IdentityCheck::names(identity.candidates()) + where + what;
}

QString ModuleDetector::Result::json() const
{
    QJsonArray variants;
    for (const TavBoard::Module module : identity.modules())
        variants.append(Helper::enumToStr(module));
    QJsonObject object {{"port", port}, {"answered", answered}};
    if (answered) {
        object.insert("variants", found() ? variants : QJsonArray());
        object.insert("variant", found() ? IdentityCheck::names(identity.candidates()) : QString());
        object.insert("baud", baudRate);
        object.insert("id", identity.id());
        object.insert("firmware", identity.firmware());
    }
    object.insert("text", text());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QList<int> ModuleDetector::baudRates(const QString& first)
{
    QList<int> rates;
    if (first == QLatin1String("9600") || first == QLatin1String("115200"))
        rates << first.toInt();
    for (const TavBoard::Module module : kVariants) {
        const int rate = VariantCapabilities::of(module).defaultBaudRate;
        if (!rates.contains(rate))
            rates << rate;
    }
    return rates;
}

void ModuleDetector::narrow(RequestEngine& requests, IdentityCheck& identity)
{
    // Each read is asked at most once, so this ends after a few.
    for (AtCmdHandler::CmdId id = identity.nextRead(); id != AtCmdHandler::ID; id = identity.nextRead()) {
        requests.sendBuiltin(id, {}, CommandTable::SHORT_TIMEOUT_MS);
        // Answered or refused, it is noted already; silence tells nothing.
        identity.unanswered(id);
        const RequestResult::Status status = requests.lastResult().status;
        if (status != RequestResult::DONE && status != RequestResult::MODULE_ERROR
            && status != RequestResult::TIMEOUT)
            return;
    }
}

ModuleDetector::Result ModuleDetector::detect(const QString& port, const QString& baudrate)
{
    Result result;
    result.port = port;
    BusyState::Scope busy(m_busy, "Detecting the module on " + port + "\u2026");
    for (const int rate : baudRates(baudrate)) {
        result.baudRatesTried << rate;
        // A board of its own, awake, whose grammar reads every answer of the reads sent.
        std::unique_ptr<TavBoard> probe(new Tav2(nullptr, static_cast<QSerialPort::BaudRate>(rate)));
        AtCmdHandler codec(nullptr, probe->getAtCmdRegexMap());
        probe->setPort(port);
        m_dispatch.setBoard(probe.get());
        m_requests.setLink(probe.get(), &codec);
        m_serialPort.configure(probe->getPortSettings());
        const bool opened = m_serialPort.open(port);
        IdentityCheck& identity = m_requests.identity();
        identity.reset();
        if (opened) {
            if (m_requests.sendBuiltin(AtCmdHandler::ID) || identity.heard()) {
                m_requests.sendBuiltin(AtCmdHandler::FW);
                narrow(m_requests, identity);
            }
            m_serialPort.close();
        }
        m_requests.setLink(nullptr, nullptr);
        m_dispatch.setBoard(nullptr);
        if (!opened) {
            result.openFailed = true;
            break;
        }
        if (identity.heard()) {
            result.answered = true;
            result.baudRate = rate;
            result.identity = identity;
            break;
        }
    }
    return result;
}
