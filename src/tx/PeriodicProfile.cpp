#include "PeriodicProfile.h"

PeriodicProfile::PeriodicProfile(QObject* parent)
    : QObject(parent)
{
}

void PeriodicProfile::setPeriod(quint8 period)
{
    m_period = period;
    emit periodChanged();
}

void PeriodicProfile::setRedundancy(quint8 redundancy)
{
    m_redundancy = redundancy;
    emit redundancyChanged();
}

void PeriodicProfile::setDelay(quint8 delay)
{
    m_delay = delay;
    emit delayChanged();
}
