// Orbit parameters, constellation status, the module clock and its pass prediction.
#include "ArgReader.h"
#include "ModuleFirmware.h"

using F = ModuleFirmware;

namespace {

QString latLon(double latitude, double longitude)
{
    return SimFormat::real(latitude, 5) + ',' + SimFormat::real(longitude, 5);
}

} // namespace

F::Reply ModuleFirmware::getPrepassEnable()
{
    return line("PREPASS_EN", QString::number(m_state.prepassEnable));
}

F::Reply ModuleFirmware::setPrepassEnable(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const qint64 mode = a.integer(0, 0, 2);
        if (!a.failed())
            m_state.prepassEnable = int(mode);
    }
    return answer(a);
}

// Latitude, longitude, start and end dates, min and max elevation, min pass
// duration, max passes, time margin, computation step: the order of the get.
F::Reply ModuleFirmware::getPrepassConfig()
{
    const ModuleState::PrepassConfig& c = m_state.prepass;
    return line("PREPASS_CFG",
        latLon(c.latitude, c.longitude) + ',' + SimFormat::date(c.start) + ',' + SimFormat::date(c.end) + ','
            + SimFormat::real(c.minElevation, 2) + ',' + SimFormat::real(c.maxElevation, 2) + ','
            + SimFormat::real(c.minPassDuration, 2) + ',' + QString::number(c.maxPasses) + ','
            + SimFormat::real(c.timeMargin, 2) + ',' + QString::number(c.computationStep));
}

F::Reply ModuleFirmware::setPrepassConfig(const QStringList& args)
{
    ArgReader a(args);
    if (!a.count(10, 10))
        return answer(a);
    ModuleState::PrepassConfig c;
    c.latitude = a.real(0, -90, 90);
    c.longitude = a.real(1, -180, 360);
    c.start = a.date(2);
    c.end = a.date(3);
    c.minElevation = a.real(4, 0, 90);
    c.maxElevation = a.real(5, 0, 90);
    c.minPassDuration = a.real(6, 0, 1440);
    c.maxPasses = int(a.integer(7, 1, 65535));
    c.timeMargin = a.real(8, 0, 1440);
    c.computationStep = int(a.integer(9, 1, 3600));
    if (a.failed())
        return answer(a);
    if (c.end < c.start || c.minElevation > c.maxElevation)
        return error(ArgReader::INCOMPATIBLE);
    m_state.prepass = c;
    m_constellation.forgetPrediction();
    return ok();
}

F::Reply ModuleFirmware::getPosition()
{
    return line("POS", latLon(m_state.latitude, m_state.longitude));
}

F::Reply ModuleFirmware::setPosition(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(2, 2)) {
        const double latitude = a.real(0, -90, 90);
        const double longitude = a.real(1, -180, 360);
        if (!a.failed()) {
            m_state.latitude = latitude;
            m_state.longitude = longitude;
            m_constellation.forgetPrediction();
        }
    }
    return answer(a);
}

// One line per satellite, then "end". Only the Argos kits track which
// satellites are out of service.
F::Reply ModuleFirmware::getAop()
{
    return m_constellation.aopLines(m_variant != Variant::TREKON);
}

// Identifier, bulletin date, semi-major axis (km), inclination, ascending
// node longitude and drift (degrees), period (minutes), axis drift (m/day).
F::Reply ModuleFirmware::setAop(const QStringList& args)
{
    ArgReader a(args);
    if (!a.count(8, 8))
        return answer(a);
    Constellation::Satellite s;
    s.id = a.hex(0, 1, 2);
    s.bulletin = a.date(1);
    s.semiMajorAxis = a.real(2, 6500, 8500);
    s.inclination = a.real(3, 0, 180);
    s.nodeLongitude = a.real(4, -360, 360);
    s.nodeDrift = a.real(5, -360, 360);
    s.period = a.real(6, 80, 130);
    s.semiMajorAxisDrift = a.real(7, -1000, 1000);
    if (a.failed())
        return answer(a);
    m_constellation.upsert(s);
    return ok();
}

F::Reply ModuleFirmware::getSat()
{
    return m_constellation.satLines();
}

// Identifier, downlink status (0 to 3), uplink status (0 to 3) of a
// satellite whose orbit parameters the module already has.
F::Reply ModuleFirmware::setSat(const QStringList& args)
{
    ArgReader a(args);
    if (!a.count(3, 3))
        return answer(a);
    const QString id = a.hex(0, 1, 2);
    const int downlink = int(a.integer(1, 0, 3));
    const int uplink = int(a.integer(2, 0, 3));
    if (a.failed())
        return answer(a);
    return m_constellation.setStatus(id, downlink, uplink) ? ok() : error(ArgReader::INCOMPATIBLE);
}

F::Reply ModuleFirmware::getDate()
{
    return line("UDATE", SimFormat::date(clock()));
}

F::Reply ModuleFirmware::setDate(const QStringList& args)
{
    ArgReader a(args);
    if (a.count(1, 1)) {
        const QDateTime date = a.date(0);
        if (!a.failed() && (date.date().year() < 2000 || date.date().year() > 2099))
            return error(ArgReader::INCOMPATIBLE);
        if (!a.failed()) {
            m_clockOffsetMs = QDateTime::currentDateTimeUtc().msecsTo(date);
            m_constellation.forgetPrediction();
        }
    }
    return answer(a);
}

F::Reply ModuleFirmware::getNextPass()
{
    return nextPass(false);
}

// The host asks with two service levels when it needs the downlink (for an
// acknowledgement or a mail); then only satellites that transmit qualify.
F::Reply ModuleFirmware::setNextPass(const QStringList& args)
{
    ArgReader a(args);
    if (!a.count(2, 2))
        return answer(a);
    const qint64 downlinkLevel = a.integer(0, 0, 3);
    a.integer(1, 0, 3);
    if (a.failed())
        return answer(a);
    return nextPass(downlinkLevel != 0);
}

F::Reply ModuleFirmware::nextPass(bool needDownlink)
{
    const auto pass
        = m_constellation.nextPass(clock(), needDownlink, m_timing.passInS, m_timing.passDurationS);
    if (!pass)
        return error(ArgReader::INCOMPATIBLE);
    return line("NEXTPASS",
        pass->satellite + ',' + SimFormat::date(pass->start) + ',' + SimFormat::date(pass->end) + ','
            + SimFormat::real(pass->durationS, 1) + ',' + QString::number(pass->maxElevation));
}

qint64 ModuleFirmware::msUntilPredictedPass()
{
    auto pass = m_constellation.predictedPass();
    if (!pass && m_state.prepassEnable != 0)
        pass = m_constellation.nextPass(clock(), false, m_timing.passInS, m_timing.passDurationS);
    if (!pass || pass->end <= clock())
        return 0;
    return qMax<qint64>(0, clock().msecsTo(pass->start));
}
