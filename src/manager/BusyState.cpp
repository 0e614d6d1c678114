#include "BusyState.h"

BusyState::Scope::Scope(BusyState& state, const QString& text)
    : m_state(state)
    , m_level(state.m_texts.size())
{
    m_state.m_texts.append(text);
    if (m_level == 0) {
        emit m_state.busyChanged();
        emit m_state.textChanged();
    }
}

BusyState::Scope::~Scope()
{
    m_state.m_texts.resize(m_level);
    if (m_level == 0) {
        emit m_state.busyChanged();
        emit m_state.textChanged();
    }
}

void BusyState::Scope::setText(const QString& text)
{
    if (m_state.m_texts.at(m_level) == text)
        return;
    m_state.m_texts[m_level] = text;
    if (m_level == 0)
        emit m_state.textChanged();
}
