#pragma once

// A TxManager on virtual time, with a recording link standing in for the
// module manager.

#include "log/Logger.h"
#include "tx/TxClock.h"
#include "tx/TxLink.h"
#include "tx/TxManager.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

struct TxCall {
    qint64 atMs; // virtual time since the harness was built
    QString data;
    Payload::Options options;
    bool flush;
};

class TxHarness : private TxLink {
public:
    // The settings store of a test run, never the user's own.
    static void useTestSettings(const QString& application)
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("NorvaneTests"));
        QCoreApplication::setApplicationName(application);
        QSettings().clear();
    }

    static QDateTime origin() { return QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), Qt::UTC); }

    TxHarness()
        : clock(origin())
    {
        QObject::connect(&logger, &Logger::logCreated, [this](const QString& line) {
            // Drop "[hh:mm:ss:zzz] [APP] ".
            logs.append(line.mid(line.indexOf(QLatin1String("] ["), 0) + 8));
        });
        tx = std::make_unique<TxManager>(nullptr, logger, static_cast<TxLink&>(*this), &clock);
    }

    bool requestTx(QString data, Payload::Options options, bool flush) override
    {
        calls.append({clock.elapsed(), data, options, flush});
        if (!flush && responseDelayMs >= 0) {
            const QString answer = responseText.isNull() ? data : responseText;
            clock.singleShot(responseDelayMs, tx.get(), [this, answer]() { tx->handleTxResponse(answer); });
        }
        return acceptTx;
    }

    void getSatelliteNextPass(Payload::Options options) override
    {
        nextPassRequests.append(clock.elapsed());
        if (onNextPass)
            onNextPass(options);
    }

    QList<TxCall> sends() const
    {
        QList<TxCall> result;
        for (const TxCall& call : calls) {
            if (!call.flush)
                result.append(call);
        }
        return result;
    }

    QList<qint64> sendTimesSec() const
    {
        QList<qint64> times;
        for (const TxCall& call : sends())
            times.append(call.atMs / 1000);
        return times;
    }

    int flushCount() const { return static_cast<int>(calls.size() - sends().size()); }

    void advanceSec(qint64 seconds) { clock.advance(seconds * 1000); }

    VirtualTxClock clock;
    Logger logger;
    QList<TxCall> calls;
    QList<qint64> nextPassRequests;
    QStringList logs;
    std::function<void(Payload::Options)> onNextPass;
    bool acceptTx = true;
    // When >= 0 every Tx is answered after this delay, echoing the message
    // (or `responseText` when set).
    int responseDelayMs = 2000;
    QString responseText;
    std::unique_ptr<TxManager> tx;
};
