#include "Constellation.h"

#include "ArgReader.h"

#include <QTimeZone>

Constellation Constellation::factory(const QDateTime& utcNow)
{
    const QDateTime day(utcNow.toUTC().date().addDays(-1), QTime(0, 0), QTimeZone::utc());
    Constellation c;
    // id, bulletin, a, i, node longitude, node drift, period, a drift, downlink, uplink
    c.m_satellites = {
        {"A", day.addSecs(22 * 3600 + 1 * 60 + 30), 7195.607, 98.5164, 326.1743, -25.3413, 101.3615, -0.21, 0,
            3},
        {"B", day.addSecs(21 * 3600 + 48 * 60 + 4), 7195.621, 98.7052, 310.8542, -25.3414, 101.3604, -0.09, 3,
            0},
        {"C", day.addSecs(23 * 3600 + 11 * 60 + 52), 7195.587, 98.6958, 335.3671, -25.3410, 101.3609, -0.05,
            3, 0},
        {"D", day.addSecs(20 * 3600 + 33 * 60 + 17), 7160.246, 98.5401, 12.6638, -25.2587, 100.5372, -0.11, 1,
            2},
        {"5", day.addSecs(19 * 3600 + 2 * 60 + 45), 7180.112, 98.5773, 45.0921, -25.3060, 101.0514, -0.31, 0,
            0},
        {"8", day.addSecs(22 * 3600 + 40 * 60 + 9), 7225.894, 99.1913, 274.4177, -25.5812, 102.1207, -0.17, 0,
            0},
        {"9", day.addSecs(18 * 3600 + 27 * 60 + 36), 7226.733, 99.1962, 251.9032, -25.5830, 102.1412, -0.14,
            2, 0},
    };
    return c;
}

void Constellation::upsert(const Satellite& orbit)
{
    for (Satellite& s : m_satellites) {
        if (s.id == orbit.id) {
            const int downlink = s.downlink;
            const int uplink = s.uplink;
            s = orbit;
            s.downlink = downlink;
            s.uplink = uplink;
            return;
        }
    }
    m_satellites.append(orbit);
}

bool Constellation::setStatus(const QString& id, int downlink, int uplink)
{
    for (Satellite& s : m_satellites) {
        if (s.id == id) {
            s.downlink = downlink;
            s.uplink = uplink;
            if (m_predicted && m_predicted->satellite == id && uplink == OUT_OF_SERVICE)
                m_predicted.reset();
            return true;
        }
    }
    return false;
}

QStringList Constellation::aopLines(bool withStatus) const
{
    QStringList lines;
    for (const Satellite& s : m_satellites) {
        QString line = "+AOP=" + s.id + ',' + SimFormat::date(s.bulletin) + ','
            + SimFormat::real(s.semiMajorAxis, 3) + ',' + SimFormat::real(s.inclination, 4) + ','
            + SimFormat::real(s.nodeLongitude, 4) + ',' + SimFormat::real(s.nodeDrift, 4) + ','
            + SimFormat::real(s.period, 4) + ',' + SimFormat::real(s.semiMajorAxisDrift, 2);
        if (withStatus && s.uplink == OUT_OF_SERVICE)
            line += QStringLiteral(",blacklisted");
        lines << line;
    }
    lines << QStringLiteral("+AOP=end");
    return lines;
}

QStringList Constellation::satLines() const
{
    QStringList lines;
    for (const Satellite& s : m_satellites) {
        QString line = "+SAT=" + s.id + ',' + QString::number(s.downlink) + ',' + QString::number(s.uplink);
        if (s.uplink == OUT_OF_SERVICE)
            line += QStringLiteral(",blacklisted");
        lines << line;
    }
    lines << QStringLiteral("+SAT=end");
    return lines;
}

std::optional<Constellation::Pass> Constellation::nextPass(
    const QDateTime& now, bool needDownlink, double inS, double durationS)
{
    if (m_predicted && m_predicted->end > now && (m_predictedForDownlink || !needDownlink))
        return m_predicted;

    auto qualifies = [needDownlink](const Satellite& s) {
        const bool downlinkOn = s.downlink == 1 || s.downlink == 3;
        return s.uplink != OUT_OF_SERVICE && (!needDownlink || downlinkOn);
    };
    for (int tried = 0; tried < m_satellites.size(); ++tried) {
        const Satellite& s = m_satellites.at((m_turn + tried) % m_satellites.size());
        if (!qualifies(s))
            continue;
        m_turn = (m_turn + tried + 1) % m_satellites.size();
        Pass p;
        p.satellite = s.id;
        p.start = now.addMSecs(qint64(inS * 1000));
        p.durationS = durationS;
        p.end = p.start.addMSecs(qint64(durationS * 1000));
        // Low and high passes alternate as the orbits precess.
        p.maxElevation = 20 + qAbs(int(s.nodeLongitude) + m_turn * 37) % 65;
        m_predicted = p;
        m_predictedForDownlink = needDownlink;
        return p;
    }
    return std::nullopt;
}
