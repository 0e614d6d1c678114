#include "PassView.h"

PassView::PassView(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

bool PassView::takePasses(PrepassModel* passes)
{
    if (m_passes == passes)
        return false;
    if (m_passes)
        disconnect(m_passes, nullptr, this, nullptr);
    m_passes = passes;
    if (m_passes) {
        connect(m_passes, &PrepassModel::modelReset, this, [this]() { refreshPasses(); });
        connect(m_passes, &PrepassModel::rowsInserted, this, [this]() { refreshPasses(); });
        connect(m_passes, &PrepassModel::rowsRemoved, this, [this]() { refreshPasses(); });
    }
    refreshPasses();
    return true;
}
