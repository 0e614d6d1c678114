#include "PredictionTask.h"

#include <QPromise>
#include <QThreadPool>

#include <memory>

PredictionTask::PredictionTask(QObject* parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcherBase::finished, this, [this]() {
        m_busy = false;
        const QFuture<PassPrediction> future = m_watcher.future();
        emit finished(future.resultCount() > 0 ? future.result() : PassPrediction {});
    });
}

PredictionTask::~PredictionTask()
{
    m_watcher.waitForFinished();
}

bool PredictionTask::start(const PassQuery& query, const QList<OrbitRecord>& records)
{
    if (m_busy)
        return false;
    m_busy = true;
    auto promise = std::make_shared<QPromise<PassPrediction>>();
    m_watcher.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, query, records]() {
        promise->addResult(PassPredictor(query).predict(records));
        promise->finish();
    });
    return true;
}
