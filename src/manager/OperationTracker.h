#pragma once

#include "protocol/RequestResult.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Follows the operations of several requests while they run, nested or not,
// and keeps for each the first failure met on the way, so that callers learn
// how an operation ended from its result instead of from the log.
class OperationTracker : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // One operation, open for the life of the scope; it reports its outcome
    // when it ends. Without a verdict it ends done with an empty text.
    class Scope {
    public:
        Scope(OperationTracker& tracker, const QString& name);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        void succeed(const QString& text);
        void fail(const QString& text, const QStringList& failures = {});
        void cancel(const QString& text);
        void deviceLost(const QString& text);
        // The outcome comes later, through report(): the scope ends silently.
        void defer() { m_deferred = true; }
        // Whether a request or a noted failure went wrong so far.
        bool hasFailure() const { return !m_result.cause.isEmpty(); }
        // The requests that failed so far, as they were sent.
        QStringList failedRequests() const { return m_failedRequests; }

    private:
        friend class OperationTracker;
        OperationTracker& m_tracker;
        QString m_name;
        OperationResult m_result;
        QStringList m_failedRequests;
        bool m_deferred = false;
    };

    // A request ended inside whatever operations are open.
    void noteRequest(const RequestResult& result, const QString& request);
    // A failure that is no request's, in every open operation.
    void noteFailure(const QString& text);
    // An operation that ends outside of a scope (a Tx sequence).
    void report(const QString& name, const OperationResult& result);

    OperationResult last() const { return m_last; }

signals:
    void finished(const QString& operation, const OperationResult& result);

private:
    QList<Scope*> m_open;
    OperationResult m_last;
};
