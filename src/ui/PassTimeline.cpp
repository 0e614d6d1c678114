#include "PassTimeline.h"

#include "orbit/PrepassModel.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor sentColor(0x2e, 0x7d, 0x32);
const QColor noAnswerColor(0xef, 0x6c, 0x00);
const QColor notSentColor(0xc6, 0x28, 0x28);

} // namespace

PassTimeline::PassTimeline(QQuickItem* parent)
    : PassView(parent)
{
    connect(this, &PassTimeline::viewChanged, this, [this]() { update(); });
    connect(this, &PassTimeline::selectedRowChanged, this, [this]() { update(); });
}

void PassTimeline::setPasses(PrepassModel* passes)
{
    if (takePasses(passes) && m_passes)
        connect(m_passes, &PrepassModel::dataChanged, this, [this]() { update(); });
}

void PassTimeline::refreshLanes()
{
    m_lanes.clear();
    if (m_passes) {
        for (const Prepass& pass : m_passes->passes()) {
            if (!m_lanes.contains(pass.satellite()))
                m_lanes.append(pass.satellite());
        }
    }
    m_lanes.sort();
    emit passesChanged();
    update();
}

void PassTimeline::setNowMs(qint64 ms)
{
    if (m_nowMs != ms) {
        m_nowMs = ms;
        emit viewChanged();
    }
}

void PassTimeline::setViewStartMs(qint64 ms)
{
    if (m_viewStartMs != ms) {
        m_viewStartMs = ms;
        emit viewChanged();
    }
}

void PassTimeline::setSpanMs(qint64 ms)
{
    // At least a minute, so that a bar always has a width to scale by.
    ms = std::max<qint64>(ms, 60 * 1000);
    if (m_spanMs != ms) {
        m_spanMs = ms;
        emit viewChanged();
    }
}

void PassTimeline::setTxMarks(const QVariantList& marks)
{
    m_txMarks = marks;
    emit viewChanged();
}

void PassTimeline::setNextTxMs(qint64 ms)
{
    if (m_nextTxMs != ms) {
        m_nextTxMs = ms;
        emit viewChanged();
    }
}

void PassTimeline::setSelectedRow(int row)
{
    if (m_selectedRow != row) {
        m_selectedRow = row;
        emit selectedRowChanged();
    }
}

qreal PassTimeline::xOf(qint64 ms) const
{
    const qreal plotWidth = std::max<qreal>(1, width() - LABEL_WIDTH);
    return LABEL_WIDTH + plotWidth * qreal(ms - m_viewStartMs) / qreal(m_spanMs);
}

qreal PassTimeline::laneHeight() const
{
    const qreal available = height() - AXIS_HEIGHT;
    return m_lanes.isEmpty() ? available : std::min<qreal>(28, available / m_lanes.size());
}

int PassTimeline::rowAt(qreal x, qreal y) const
{
    if (!m_passes || x < LABEL_WIDTH || y < AXIS_HEIGHT)
        return -1;
    const int lane = int((y - AXIS_HEIGHT) / laneHeight());
    if (lane < 0 || lane >= m_lanes.size())
        return -1;
    int nearest = -1;
    qreal distance = 4; // pixels of slack around a thin bar
    for (int row = 0; row < m_passes->rowCount(); ++row) {
        const Prepass& pass = m_passes->at(row);
        if (pass.satellite() != m_lanes.at(lane))
            continue;
        const qreal left = xOf(pass.start().toMSecsSinceEpoch());
        const qreal right = xOf(pass.end().toMSecsSinceEpoch());
        const qreal d = x < left ? left - x : (x > right ? x - right : 0);
        if (d <= distance) {
            distance = d;
            nearest = row;
        }
    }
    return nearest;
}

qint64 PassTimeline::listStartMs() const
{
    return m_passes && m_passes->rowCount() > 0 ? m_passes->at(0).start().toMSecsSinceEpoch() : 0;
}

qint64 PassTimeline::listEndMs() const
{
    qint64 end = 0;
    if (m_passes) {
        for (const Prepass& pass : m_passes->passes())
            end = std::max(end, pass.end().toMSecsSinceEpoch());
    }
    return end;
}

void PassTimeline::paint(QPainter* painter)
{
    QColor faint = m_textColor;
    faint.setAlphaF(0.15);
    QFont font = painter->font();
    font.setPixelSize(11);
    painter->setFont(font);
    paintHours(painter, faint);
    paintLanes(painter, faint);

    painter->save();
    painter->setClipRect(QRectF(LABEL_WIDTH, 0, width() - LABEL_WIDTH, height()));
    paintPasses(painter);
    paintTxMarks(painter);
    painter->restore();
}

void PassTimeline::paintHours(QPainter* painter, const QColor& faint)
{
    const qreal w = width();
    // Hour grid, labelled at a step that keeps the labels apart.
    static const qint64 steps[] = {3600, 3 * 3600, 6 * 3600, 12 * 3600, 86400, 2 * 86400, 7 * 86400};
    qint64 step = steps[0] * 1000;
    for (const qint64 s : steps) {
        step = s * 1000;
        if ((w - LABEL_WIDTH) * step / m_spanMs >= 60)
            break;
    }
    const QString format = step >= 86400 * 1000 ? QStringLiteral("MM-dd") : QStringLiteral("hh:mm");
    for (qint64 t = (m_viewStartMs / step + 1) * step; t < m_viewStartMs + m_spanMs; t += step) {
        const qreal x = xOf(t);
        painter->setPen(faint);
        painter->drawLine(QPointF(x, AXIS_HEIGHT), QPointF(x, height()));
        painter->setPen(m_textColor);
        painter->drawText(QRectF(x - 30, 0, 60, AXIS_HEIGHT), Qt::AlignCenter,
            QDateTime::fromMSecsSinceEpoch(t, Qt::UTC).toString(format));
    }
}

void PassTimeline::paintLanes(QPainter* painter, const QColor& faint)
{
    const qreal w = width();
    const qreal lane = laneHeight();
    for (int i = 0; i < m_lanes.size(); ++i) {
        const qreal y = AXIS_HEIGHT + i * lane;
        painter->setPen(faint);
        painter->drawLine(QPointF(LABEL_WIDTH, y + lane), QPointF(w, y + lane));
        painter->setPen(m_textColor);
        painter->drawText(QRectF(2, y, LABEL_WIDTH - 6, lane), Qt::AlignVCenter | Qt::AlignLeft,
            painter->fontMetrics().elidedText(m_lanes.at(i), Qt::ElideRight, LABEL_WIDTH - 6));
    }
}

void PassTimeline::paintPasses(QPainter* painter)
{
    const qreal w = width();
    const qreal lane = laneHeight();
    if (m_passes) {
        for (int row = 0; row < m_passes->rowCount(); ++row) {
            const Prepass& pass = m_passes->at(row);
            const qreal left = xOf(pass.start().toMSecsSinceEpoch());
            const qreal right = xOf(pass.end().toMSecsSinceEpoch());
            if (right < LABEL_WIDTH || left > w)
                continue;
            const qreal y = AXIS_HEIGHT + m_lanes.indexOf(pass.satellite()) * lane;
            QColor fill = m_accentColor;
            // Higher passes are darker: they are the ones that usually get through.
            fill.setAlphaF(0.35 + 0.65 * std::clamp(pass.elevation() / 90.0, 0.0, 1.0));
            const QRectF bar(left, y + lane * 0.2, std::max<qreal>(2, right - left), lane * 0.6);
            painter->setPen(row == m_selectedRow ? QPen(m_textColor, 2) : Qt::NoPen);
            painter->setBrush(fill);
            painter->drawRect(bar);
        }
    }
}

void PassTimeline::paintTxMarks(QPainter* painter)
{
    const qreal markY = AXIS_HEIGHT + 2;
    for (const QVariant& mark : std::as_const(m_txMarks)) {
        const QVariantMap m = mark.toMap();
        const qreal x = xOf(m.value(QStringLiteral("timeMs")).toLongLong());
        if (m.value(QStringLiteral("sent")).toBool()) {
            QPainterPath triangle;
            triangle.moveTo(x, markY + 8);
            triangle.lineTo(x - 4, markY);
            triangle.lineTo(x + 4, markY);
            triangle.closeSubpath();
            painter->fillPath(triangle, sentColor);
        } else {
            // Refused by the module: red; no answer at all: amber.
            const bool unanswered = m.value(QStringLiteral("result")).toInt() == 2;
            painter->setPen(QPen(unanswered ? noAnswerColor : notSentColor, 2));
            painter->drawLine(QPointF(x - 3, markY), QPointF(x + 3, markY + 6));
            painter->drawLine(QPointF(x + 3, markY), QPointF(x - 3, markY + 6));
        }
    }
    if (m_nextTxMs > 0) {
        const qreal x = xOf(m_nextTxMs);
        painter->setPen(QPen(sentColor, 1.5));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QPointF(x, markY + 4), 4, 4);
    }
    if (m_nowMs > 0) {
        const qreal x = xOf(m_nowMs);
        painter->setPen(QPen(notSentColor, 1.5));
        painter->drawLine(QPointF(x, AXIS_HEIGHT), QPointF(x, height()));
    }
}
