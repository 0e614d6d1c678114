#include "WindowGeometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect fitToScreen(const QRect& saved, const QRect& available, const QSize& minimum)
{
    if (available.isEmpty())
        return saved;
    // The minimum gives way to the screen: a window is never larger than it.
    const int width = std::min(std::max(saved.width(), minimum.width()), available.width());
    const int height = std::min(std::max(saved.height(), minimum.height()), available.height());
    QRect fitted(0, 0, width, height);
    if (saved.x() < 0 || saved.y() < 0) {
        fitted.moveCenter(available.center());
        return fitted;
    }
    const int x = std::clamp(saved.x(), available.left(), available.left() + available.width() - width);
    const int y = std::clamp(saved.y(), available.top(), available.top() + available.height() - height);
    fitted.moveTopLeft(QPoint(x, y));
    return fitted;
}

void WindowGeometry::restore(QWindow* window, int x, int y, int width, int height) const
{
    if (!window)
        return;
    QScreen* screen = x >= 0 && y >= 0 ? QGuiApplication::screenAt(QPoint(x + width / 2, y + height / 2)) : nullptr;
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    // The area is that of the window's frame; the geometry is its inside.
    const QMargins frame = window->frameMargins();
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    const QRect saved(x < 0 || y < 0 ? -1 : x, x < 0 || y < 0 ? -1 : y, width, height);
    const QRect fitted = fitToScreen(saved, area, window->minimumSize());
    window->setGeometry(fitted);
}
