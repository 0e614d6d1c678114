#pragma once

#include "PassView.h"

#include <QVariantList>
#include <QtQml/qqmlregistration.h>

// The pass list as a timeline: one lane per satellite, passes as bars, the
// current time as a line, and the sequence's transmissions as marks (filled
// when sent, crossed when not, hollow for the next one scheduled).
class PassTimeline : public PassView {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(PrepassModel* passes READ passes WRITE setPasses NOTIFY passesChanged)
    Q_PROPERTY(qint64 nowMs MEMBER m_nowMs WRITE setNowMs NOTIFY viewChanged)
    Q_PROPERTY(qint64 viewStartMs MEMBER m_viewStartMs WRITE setViewStartMs NOTIFY viewChanged)
    Q_PROPERTY(qint64 spanMs MEMBER m_spanMs WRITE setSpanMs NOTIFY viewChanged)
    // [{timeMs, sent, result}] of the transmissions done (result: 0 sent,
    // 1 failed, 2 no answer).
    Q_PROPERTY(QVariantList txMarks MEMBER m_txMarks WRITE setTxMarks NOTIFY viewChanged)
    // The next transmission scheduled, 0 for none.
    Q_PROPERTY(qint64 nextTxMs MEMBER m_nextTxMs WRITE setNextTxMs NOTIFY viewChanged)
    Q_PROPERTY(int selectedRow MEMBER m_selectedRow WRITE setSelectedRow NOTIFY selectedRowChanged)
    Q_PROPERTY(QColor textColor MEMBER m_textColor NOTIFY viewChanged)
    Q_PROPERTY(QColor accentColor MEMBER m_accentColor NOTIFY viewChanged)
    Q_PROPERTY(int laneCount READ laneCount NOTIFY passesChanged)
    Q_PROPERTY(int labelWidth READ labelWidth CONSTANT)

public:
    static constexpr int LABEL_WIDTH = 70;
    static constexpr int AXIS_HEIGHT = 18;

    explicit PassTimeline(QQuickItem* parent = nullptr);

    void setPasses(PrepassModel* passes);
    void setNowMs(qint64 ms);
    void setViewStartMs(qint64 ms);
    void setSpanMs(qint64 ms);
    void setTxMarks(const QVariantList& marks);
    void setNextTxMs(qint64 ms);
    void setSelectedRow(int row);
    int laneCount() const { return static_cast<int>(m_lanes.size()); }
    int labelWidth() const { return LABEL_WIDTH; }

    // The row of the pass under a point, -1 for none.
    Q_INVOKABLE int rowAt(qreal x, qreal y) const;
    // First start and last end of the list; 0 when it is empty.
    Q_INVOKABLE qint64 listStartMs() const;
    Q_INVOKABLE qint64 listEndMs() const;

    void paint(QPainter* painter) override;

signals:
    void passesChanged();
    void viewChanged();
    void selectedRowChanged();

private:
    void refreshPasses() override { refreshLanes(); }
    void refreshLanes();
    qreal xOf(qint64 ms) const;
    qreal laneHeight() const;
    // The parts of paint(), back to front.
    void paintHours(QPainter* painter, const QColor& faint);
    void paintLanes(QPainter* painter, const QColor& faint);
    void paintPasses(QPainter* painter);
    void paintTxMarks(QPainter* painter);

    QStringList m_lanes;
    qint64 m_nowMs = 0;
    qint64 m_viewStartMs = 0;
    qint64 m_spanMs = 24 * 3600 * 1000LL;
    QVariantList m_txMarks;
    qint64 m_nextTxMs = 0;
    int m_selectedRow = -1;
};
