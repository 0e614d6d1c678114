#include "PassSchedule.h"

#include "log/Logger.h"
#include "orbit/PrepassModel.h"

PassSchedule::PassSchedule(PrepassModel* model, Logger& logger, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_logger(logger)
{
}

int PassSchedule::count() const
{
    return m_model->rowCount();
}

void PassSchedule::setNextIndex(quint64 index)
{
    m_nextIndex = index;
    emit nextIndexChanged();
}

const Prepass* PassSchedule::next() const
{
    return m_nextIndex < static_cast<quint64>(count()) ? &m_model->at(static_cast<int>(m_nextIndex)) : nullptr;
}

const Prepass* PassSchedule::current() const
{
    return m_activeCount != 0 && m_nextIndex > 0 ? &m_model->at(static_cast<int>(m_nextIndex - 1)) : nullptr;
}

void PassSchedule::setPasses(
    const QList<Prepass>& passes, const QString& source, const QStringList& warnings, const QString& filePath)
{
    m_model->setPasses(passes);
    m_activeCount = 0;
    setNextIndex(0);
    m_filePath = filePath;
    setSource(source, warnings);
}

void PassSchedule::clear(bool forgetFile)
{
    m_model->clear();
    m_activeCount = 0;
    setNextIndex(0);
    setSource(QString(), {});
    if (forgetFile)
        m_filePath.clear();
}

void PassSchedule::advance(const QDateTime& now)
{
    const Prepass* upcoming = next();
    if (upcoming && now.msecsTo(upcoming->start()) < 0) {
        m_model->setActive(static_cast<int>(m_nextIndex), true);
        ++m_activeCount;
        setNextIndex(m_nextIndex + 1);
        logAvailableSatellites();
    }
    quint64 i = 0;
    while (i < m_activeCount && i < static_cast<quint64>(count())) {
        const Prepass& pass = m_model->at(static_cast<int>(i));
        if (pass.start().addMSecs(pass.durationMs()) < now) {
            // The next pass moves into this row: look at it again.
            m_model->remove(static_cast<int>(i));
            --m_activeCount;
            setNextIndex(m_nextIndex - 1);
            logAvailableSatellites();
        } else {
            ++i;
        }
    }
}

void PassSchedule::setSource(const QString& source, const QStringList& warnings)
{
    m_source = source;
    m_warnings = warnings;
    emit sourceChanged();
}

void PassSchedule::logAvailableSatellites()
{
    m_logger.log(Logger::APP, QString::number(m_activeCount) + QStringLiteral(" satellite(s) available"),
        Logger::SATELLITE_COUNT);
}
