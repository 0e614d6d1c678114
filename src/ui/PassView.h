#pragma once

#include <QColor>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

#include "orbit/PrepassModel.h"

// What the views of the pass list share: the list they draw, followed as it
// changes, and the colours they draw it in. Each view names its own
// properties and signals.
class PassView : public QQuickPaintedItem {
    Q_OBJECT
    QML_ANONYMOUS

public:
    explicit PassView(QQuickItem* parent = nullptr);

    PrepassModel* passes() const { return m_passes; }

protected:
    // Takes `passes` and calls refreshPasses() whenever rows come or go;
    // false when it was the list already.
    bool takePasses(PrepassModel* passes);
    // The list was replaced, reset, or gained or lost rows.
    virtual void refreshPasses() = 0;

    QPointer<PrepassModel> m_passes;
    QColor m_textColor = Qt::black;
    QColor m_accentColor = QColor(0x1e, 0x88, 0xe5);
};
