#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

// How one request to the module ended. `text` is what the log says of it.
struct RequestResult {
    enum Status { DONE, MODULE_ERROR, TIMEOUT, REFUSED, NOT_CONNECTED, DEVICE_LOST, CANCELLED };

    Status status = DONE;
    // The code of a +ERROR=<code> answer, 0 otherwise.
    uint errorCode = 0;
    QString text;

    bool ok() const { return status == DONE; }
    // The module answered an error, or nothing in time.
    bool moduleFailed() const { return status == MODULE_ERROR || status == TIMEOUT; }

    static RequestResult done() { return {}; }
    static RequestResult failed(Status status, const QString& text, uint errorCode = 0)
    {
        return {status, errorCode, text};
    }
};

// How an operation of several requests (or a file, or a download) ended:
// `text` sums it up as the window shows it, `cause` is the first failure
// that led there (the text of the first request that failed, or what went
// wrong outside the module), `failures` the items that failed along the way.
struct OperationResult {
    enum Status { DONE, FAILED, CANCELLED, DEVICE_LOST };

    Status status = DONE;
    QString text;
    QString cause;
    QStringList failures;

    bool ok() const { return status == DONE; }
    // The cause when one is known, else the summary.
    QString reason() const { return cause.isEmpty() ? text : cause; }

    static OperationResult done(const QString& text) { return {DONE, text, {}, {}}; }
    static OperationResult failed(
        const QString& text, const QString& cause = QString(), const QStringList& failures = {})
    {
        return {FAILED, text, cause, failures};
    }
};

Q_DECLARE_METATYPE(RequestResult)
Q_DECLARE_METATYPE(OperationResult)
