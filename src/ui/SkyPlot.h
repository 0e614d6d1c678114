#pragma once

#include "PassView.h"
#include "tx/PrepassProfile.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// One pass of the list on a polar plot of the sky: north up, east right,
// the horizon on the rim, the zenith in the middle; the track from start to
// end with the highest point marked, and the minimum-elevation circle. The
// track is computed from the profile's orbit data of the pass's satellite;
// without them only the three given points are joined.
class SkyPlot : public PassView {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(PrepassModel* passes READ passes WRITE setPasses NOTIFY passChanged)
    Q_PROPERTY(PrepassProfile* profile READ profile WRITE setProfile NOTIFY passChanged)
    Q_PROPERTY(int row READ row WRITE setRow NOTIFY passChanged)
    Q_PROPERTY(bool hasPass READ hasPass NOTIFY passChanged)
    // True when the track comes from orbit data, not only the three points.
    Q_PROPERTY(bool computed READ computed NOTIFY passChanged)
    Q_PROPERTY(QColor textColor MEMBER m_textColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor accentColor MEMBER m_accentColor NOTIFY colorsChanged)

public:
    explicit SkyPlot(QQuickItem* parent = nullptr);

    PrepassProfile* profile() const { return m_profile; }
    int row() const { return m_row; }
    bool hasPass() const { return !m_points.isEmpty(); }
    bool computed() const { return m_computed; }
    void setPasses(PrepassModel* passes);
    void setProfile(PrepassProfile* profile);
    void setRow(int row);

    void paint(QPainter* painter) override;

signals:
    void passChanged();
    void colorsChanged();

private:
    void refreshPasses() override { refresh(); }
    void refresh();
    QPointF toPlot(double azimuth, double elevation) const;

    QPointer<PrepassProfile> m_profile;
    int m_row = -1;
    // (azimuth, elevation) from start to end.
    QList<QPointF> m_points;
    int m_highest = 0;
    bool m_computed = false;
};
