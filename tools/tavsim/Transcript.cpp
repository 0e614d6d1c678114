#include "Transcript.h"

#include <QTime>

bool Transcript::open(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        *error = "cannot write the transcript " + path + ": " + m_file.errorString();
        return false;
    }
    return true;
}

void Transcript::write(char direction, const QString& text)
{
    if (!m_file.isOpen())
        return;
    // Control characters would break the one-entry-per-line layout.
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text)
        shown += (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QChar('.') : c;
    const QByteArray entry = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1() + ' '
        + direction + ' ' + shown.toUtf8() + '\n';
    m_file.write(entry);
    m_file.flush();
}
