#pragma once

#include "orbit/Prepass.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class Logger;
class PrepassModel;

// The satellite passes the prepass profile transmits in, imported from a file
// or predicted from orbit data, and where the clock stands among them: the
// passes before `nextIndex` have started (`activeCount` of them still last),
// ended ones leave the list.
class PassSchedule : public QObject {
    Q_OBJECT

public:
    PassSchedule(PrepassModel* model, Logger& logger, QObject* parent);

    PrepassModel* model() const { return m_model; }
    int count() const;
    quint64 nextIndex() const { return m_nextIndex; }
    void setNextIndex(quint64 index);
    quint64 activeCount() const { return m_activeCount; }
    void setActiveCount(quint64 count) { m_activeCount = count; }
    // The next pass to start, null when none is left.
    const Prepass* next() const;
    // The pass started last, null when none lasts.
    const Prepass* current() const;

    // Where the passes came from: a file name, or the orbit data's date.
    QString source() const { return m_source; }
    QStringList warnings() const { return m_warnings; }
    // The file the passes were imported from, read again when the time changes.
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString& path) { m_filePath = path; }

    // Replaces the passes; `filePath` is empty for predicted ones.
    void setPasses(const QList<Prepass>& passes, const QString& source, const QStringList& warnings,
        const QString& filePath);
    void clear(bool forgetFile);
    // Marks the passes started by `now` and drops the ended ones.
    void advance(const QDateTime& now);

signals:
    void nextIndexChanged();
    void sourceChanged();

private:
    void setSource(const QString& source, const QStringList& warnings);
    void logAvailableSatellites();

    PrepassModel* m_model;
    Logger& m_logger;
    quint64 m_nextIndex = 0;
    quint64 m_activeCount = 0;
    QString m_source;
    QStringList m_warnings;
    QString m_filePath;
};
