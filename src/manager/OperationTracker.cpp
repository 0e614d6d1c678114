#include "OperationTracker.h"

OperationTracker::Scope::Scope(OperationTracker& tracker, const QString& name)
    : m_tracker(tracker)
    , m_name(name)
{
    m_tracker.m_open.append(this);
}

OperationTracker::Scope::~Scope()
{
    m_tracker.m_open.removeOne(this);
    if (!m_deferred)
        m_tracker.report(m_name, m_result);
}

void OperationTracker::Scope::succeed(const QString& text)
{
    m_result.status = OperationResult::DONE;
    m_result.text = text;
}

void OperationTracker::Scope::fail(const QString& text, const QStringList& failures)
{
    m_result.status = OperationResult::FAILED;
    m_result.text = text;
    m_result.failures = failures;
}

void OperationTracker::Scope::cancel(const QString& text)
{
    m_result.status = OperationResult::CANCELLED;
    m_result.text = text;
}

void OperationTracker::Scope::deviceLost(const QString& text)
{
    m_result.status = OperationResult::DEVICE_LOST;
    m_result.text = text;
}

void OperationTracker::noteRequest(const RequestResult& result, const QString& request)
{
    // The window closing cancels without a word: that is no failure to name.
    if (result.ok() || result.text.isEmpty())
        return;
    for (Scope* scope : std::as_const(m_open)) {
        if (scope->m_result.cause.isEmpty())
            scope->m_result.cause = result.text;
        scope->m_failedRequests << request;
    }
}

void OperationTracker::noteFailure(const QString& text)
{
    for (Scope* scope : std::as_const(m_open)) {
        if (scope->m_result.cause.isEmpty())
            scope->m_result.cause = text;
    }
}

void OperationTracker::report(const QString& name, const OperationResult& result)
{
    m_last = result;
    emit finished(name, result);
}
