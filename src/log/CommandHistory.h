#pragma once

#include <QObject>
#include <QStringList>

// The commands typed in the custom command field: the last MAX_ENTRIES sent
// (walked with Up and Down), the favourites, both kept between runs in the
// settings store, and the completion of the command words the connected
// variant knows.
class CommandHistory : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList entries READ entries NOTIFY entriesChanged)
    Q_PROPERTY(QStringList favourites READ favourites NOTIFY favouritesChanged)
    // Request prefixes such as "AT+PING=" that Tab completes.
    Q_PROPERTY(QStringList words READ words WRITE setWords NOTIFY wordsChanged)

public:
    static constexpr int MAX_ENTRIES = 100;
    static constexpr int MAX_FAVOURITES = 50;

    explicit CommandHistory(QObject* parent = nullptr);

    QStringList entries() const { return m_entries; }
    QStringList favourites() const { return m_favourites; }
    QStringList words() const { return m_words; }
    void setWords(const QStringList& words);

    // A command was sent: it becomes the newest entry (once), the walk restarts.
    Q_INVOKABLE void add(const QString& command);
    // One step back (Up) or forward (Down) in the history from what the walk
    // showed last; `typed` is what the field holds, given back past the
    // newest entry.
    Q_INVOKABLE QString older(const QString& typed);
    Q_INVOKABLE QString newer();
    Q_INVOKABLE void restartWalk() { m_walk = -1; }

    Q_INVOKABLE bool isFavourite(const QString& command) const;
    // Adds the command to the favourites, or removes it when it is one.
    Q_INVOKABLE void toggleFavourite(const QString& command);

    // The field's text with its command word completed as far as the words
    // allow (any case typed, "AT+" may be left out); unchanged otherwise.
    Q_INVOKABLE QString complete(const QString& text) const;
    // The words that the text's command word may still become.
    Q_INVOKABLE QStringList candidates(const QString& text) const;

signals:
    void entriesChanged();
    void favouritesChanged();
    void wordsChanged();

private:
    void save() const;

    QStringList m_entries; // oldest first
    QStringList m_favourites;
    QStringList m_words;
    QString m_typed;
    int m_walk = -1; // index in m_entries, -1 when not walking
};
