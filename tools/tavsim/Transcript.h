#pragma once

#include <QFile>
#include <QString>

// A time-stamped record of the line: "12:00:00.123 < AT+PING=?" for a request
// received, "12:00:00.125 > +OK" for a line sent, "12:00:00.130 ! ..." for an
// injected fault or event. Written and flushed line by line so that a test can
// read it while the simulator runs.
class Transcript {
public:
    bool open(const QString& path, QString* error);
    bool isOpen() const { return m_file.isOpen(); }

    void received(const QString& line) { write('<', line); }
    void sent(const QString& line) { write('>', line); }
    void event(const QString& text) { write('!', text); }

private:
    void write(char direction, const QString& text);

    QFile m_file;
};
