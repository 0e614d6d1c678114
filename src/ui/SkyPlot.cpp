#include "SkyPlot.h"

#include "orbit/PassPredictor.h"
#include "orbit/PrepassModel.h"
#include "tx/PrepassProfile.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

SkyPlot::SkyPlot(QQuickItem* parent)
    : PassView(parent)
{
    connect(this, &SkyPlot::colorsChanged, this, [this]() { update(); });
}

void SkyPlot::setPasses(PrepassModel* passes)
{
    takePasses(passes);
}

void SkyPlot::setProfile(PrepassProfile* profile)
{
    if (m_profile == profile)
        return;
    if (m_profile)
        disconnect(m_profile, nullptr, this, nullptr);
    m_profile = profile;
    if (m_profile) {
        connect(m_profile, &PrepassProfile::positionChanged, this, &SkyPlot::refresh);
        connect(m_profile, &PrepassProfile::configChanged, this, &SkyPlot::refresh);
        connect(m_profile->satelliteAopModel(), &SatelliteAopModel::dataChanged, this, &SkyPlot::refresh);
    }
    refresh();
}

void SkyPlot::setRow(int row)
{
    if (m_row != row) {
        m_row = row;
        refresh();
    }
}

void SkyPlot::refresh()
{
    m_points.clear();
    m_highest = 0;
    m_computed = false;
    if (m_passes && m_row >= 0 && m_row < m_passes->rowCount()) {
        const Prepass pass = m_passes->at(m_row);
        const SatelliteAop* record = nullptr;
        const SatelliteAopModel* orbits = m_profile ? m_profile->satelliteAopModel() : nullptr;
        for (int i = 0; orbits && i < orbits->rowCount() && !record; ++i) {
            if (PassPredictor::displayName(*orbits->getSatelliteItem(quint8(i))) == pass.satellite())
                record = orbits->getSatelliteItem(quint8(i));
        }
        if (record && CircularOrbit(*record).isValid()) {
            const Position site = m_profile->position();
            for (const SkyPoint& point : PassPredictor::track(
                     CircularOrbit(*record), site.latitude, site.longitude, pass.start(), pass.end(), 5.0))
                m_points.append(QPointF(point.azimuth, std::max(0.0, point.elevation)));
            m_computed = true;
        }
        // Data from elsewhere, or orbit data that do not match the pass:
        // the three points the list gives.
        double top = 0;
        for (const QPointF& p : std::as_const(m_points))
            top = std::max(top, p.y());
        if (m_points.isEmpty() || std::abs(top - pass.elevation()) > 3) {
            const double mask = m_profile ? m_profile->config().minElevation : 0;
            m_points = {QPointF(pass.startAzimuth(), mask), QPointF(pass.middleAzimuth(), pass.elevation()),
                QPointF(pass.endAzimuth(), mask)};
            m_computed = false;
        }
        for (int i = 1; i < m_points.size(); ++i) {
            if (m_points.at(i).y() > m_points.at(m_highest).y())
                m_highest = i;
        }
    }
    emit passChanged();
    update();
}

QPointF SkyPlot::toPlot(double azimuth, double elevation) const
{
    const double radius = std::min(width(), height()) / 2 - 14;
    const double r = radius * (90.0 - std::clamp(elevation, 0.0, 90.0)) / 90.0;
    const double a = azimuth * M_PI / 180.0;
    return QPointF(width() / 2 + r * std::sin(a), height() / 2 - r * std::cos(a));
}

void SkyPlot::paint(QPainter* painter)
{
    const QPointF centre(width() / 2, height() / 2);
    const double radius = std::min(width(), height()) / 2 - 14;
    if (radius <= 0)
        return;
    QColor faint = m_textColor;
    faint.setAlphaF(0.25);
    QFont font = painter->font();
    font.setPixelSize(11);
    painter->setFont(font);

    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(faint, 1));
    for (const double elevation : {0.0, 30.0, 60.0})
        painter->drawEllipse(centre, radius * (90 - elevation) / 90, radius * (90 - elevation) / 90);
    painter->drawLine(toPlot(0, 0), toPlot(180, 0));
    painter->drawLine(toPlot(90, 0), toPlot(270, 0));
    painter->setPen(m_textColor);
    const char* names[] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        const double a = i * M_PI / 2;
        const QPointF at(centre.x() + (radius + 8) * std::sin(a), centre.y() - (radius + 8) * std::cos(a));
        painter->drawText(QRectF(at.x() - 8, at.y() - 8, 16, 16), Qt::AlignCenter, QLatin1String(names[i]));
    }

    if (m_profile) {
        const double mask = m_profile->config().minElevation;
        const double r = radius * (90 - std::clamp(mask, 0.0, 90.0)) / 90;
        painter->setPen(QPen(QColor(0xef, 0x6c, 0x00), 1.5, Qt::DashLine));
        painter->drawEllipse(centre, r, r);
    }
    if (m_points.isEmpty())
        return;

    QPainterPath path(toPlot(m_points.first().x(), m_points.first().y()));
    for (const QPointF& p : std::as_const(m_points))
        path.lineTo(toPlot(p.x(), p.y()));
    painter->setPen(QPen(m_accentColor, 2.5, m_computed ? Qt::SolidLine : Qt::DotLine));
    painter->drawPath(path);

    const auto mark = [&](const QPointF& p, const QColor& colour, const QString& text) {
        const QPointF at = toPlot(p.x(), p.y());
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        painter->drawEllipse(at, 5, 5);
        painter->setPen(m_textColor);
        painter->drawText(QRectF(at.x() + 6, at.y() - 14, 40, 14), Qt::AlignLeft | Qt::AlignBottom, text);
    };
    mark(m_points.first(), QColor(0x2e, 0x7d, 0x32), QStringLiteral("AOS"));
    mark(m_points.at(m_highest), m_accentColor, QStringLiteral("max"));
    mark(m_points.last(), QColor(0xc6, 0x28, 0x28), QStringLiteral("LOS"));
}
