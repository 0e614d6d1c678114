#pragma once

#include "PassPredictor.h"

#include <QFutureWatcher>
#include <QObject>

// Runs a pass prediction on a worker thread, so that the window keeps
// drawing, and reports it on the owner's thread. One runs at a time; the
// destructor waits for the one under way, which the predictor's time budget
// keeps short.
class PredictionTask : public QObject {
    Q_OBJECT

public:
    explicit PredictionTask(QObject* parent = nullptr);
    ~PredictionTask() override;

    bool busy() const { return m_busy; }
    // Starts nothing, and says false, while a prediction is under way.
    bool start(const PassQuery& query, const QList<OrbitRecord>& records);

signals:
    void finished(const PassPrediction& prediction);

private:
    QFutureWatcher<PassPrediction> m_watcher;
    bool m_busy = false;
};
