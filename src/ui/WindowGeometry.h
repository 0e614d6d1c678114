#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QWindow>
#include <QtQml/qqmlregistration.h>

// Where a window saved on one screen opens on the screen it is shown on now:
// never larger than the screen's available area, never placed off it. A
// position of -1 (never saved) centres the window.
QRect fitToScreen(const QRect& saved, const QRect& available, const QSize& minimum);

// The same for QML, as the singleton "WindowGeometry".
class WindowGeometry : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    Q_INVOKABLE QRect fitted(const QRect& saved, const QRect& available, const QSize& minimum) const
    {
        return fitToScreen(saved, available, minimum);
    }

    // Gives the window the saved geometry, fitted to the available area of
    // the screen it lands on (the one under the saved position, else the
    // window's own), its frame included.
    Q_INVOKABLE void restore(QWindow* window, int x, int y, int width, int height) const;
};
