#include "CommandHistory.h"

#include <QSettings>

namespace {

const QString GROUP = QStringLiteral("CommandHistory");
const QString SENT_KEY = QStringLiteral("sent");
const QString FAVOURITES_KEY = QStringLiteral("favourites");

// The commands read back from the store, blank and repeated ones left out.
QStringList cleaned(const QStringList& list, int limit)
{
    QStringList out;
    for (const QString& item : list) {
        const QString c = item.trimmed();
        if (!c.isEmpty() && !out.contains(c))
            out << c;
    }
    return out.mid(qMax(0, int(out.size()) - limit));
}

} // namespace

CommandHistory::CommandHistory(QObject* parent)
    : QObject(parent)
{
    QSettings settings;
    settings.beginGroup(GROUP);
    m_entries = cleaned(settings.value(SENT_KEY).toStringList(), MAX_ENTRIES);
    m_favourites = cleaned(settings.value(FAVOURITES_KEY).toStringList(), MAX_FAVOURITES);
}

void CommandHistory::save() const
{
    QSettings settings;
    settings.beginGroup(GROUP);
    settings.setValue(SENT_KEY, m_entries);
    settings.setValue(FAVOURITES_KEY, m_favourites);
}

void CommandHistory::setWords(const QStringList& words)
{
    if (words == m_words)
        return;
    m_words = words;
    emit wordsChanged();
}

void CommandHistory::add(const QString& command)
{
    const QString c = command.trimmed();
    m_walk = -1;
    if (c.isEmpty())
        return;
    m_entries.removeAll(c);
    m_entries << c;
    if (m_entries.size() > MAX_ENTRIES)
        m_entries.remove(0, m_entries.size() - MAX_ENTRIES);
    save();
    emit entriesChanged();
}

QString CommandHistory::older(const QString& typed)
{
    if (m_entries.isEmpty())
        return typed;
    if (m_walk < 0) {
        m_typed = typed;
        m_walk = int(m_entries.size());
    }
    m_walk = qMax(0, m_walk - 1);
    return m_entries.at(m_walk);
}

QString CommandHistory::newer()
{
    if (m_walk < 0)
        return m_typed;
    if (++m_walk >= m_entries.size()) {
        m_walk = -1;
        return m_typed;
    }
    return m_entries.at(m_walk);
}

bool CommandHistory::isFavourite(const QString& command) const
{
    return m_favourites.contains(command.trimmed());
}

void CommandHistory::toggleFavourite(const QString& command)
{
    const QString c = command.trimmed();
    if (c.isEmpty())
        return;
    if (!m_favourites.removeOne(c)) {
        if (m_favourites.size() >= MAX_FAVOURITES)
            m_favourites.removeFirst();
        m_favourites << c;
    }
    save();
    emit favouritesChanged();
}

QStringList CommandHistory::candidates(const QString& text) const
{
    QString word = text.trimmed().toUpper();
    if (word.contains('='))
        return {};
    if (!word.startsWith(QLatin1String("AT+")))
        word = "AT+" + word;
    QStringList out;
    for (const QString& w : m_words) {
        if (w.startsWith(word))
            out << w;
    }
    return out;
}

QString CommandHistory::complete(const QString& text) const
{
    const QStringList found = candidates(text);
    if (found.isEmpty())
        return text;
    // As far as every candidate agrees.
    QString common = found.constFirst();
    for (const QString& w : found) {
        int n = 0;
        while (n < common.size() && n < w.size() && common.at(n) == w.at(n))
            ++n;
        common.truncate(n);
    }
    return common.size() >= text.trimmed().size() ? common : text;
}
