#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Whether the manager is in the middle of a request or of an operation made
// of several, and what it is doing, for the window to show and to disable
// what would start another. Operations nest: the outermost one names what
// the user asked for ("Reading the configuration…"), the requests inside it
// do not replace that text.
class BusyState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool busy() const { return !m_texts.isEmpty(); }
    QString text() const { return m_texts.isEmpty() ? QString() : m_texts.constFirst(); }

    // Busy for the life of the scope.
    class Scope {
    public:
        Scope(BusyState& state, const QString& text);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        // Progress of the operation ("Uploading orbit data (3/8)…").
        void setText(const QString& text);

    private:
        BusyState& m_state;
        qsizetype m_level;
    };

signals:
    void busyChanged();
    void textChanged();

private:
    QStringList m_texts;
};
