#pragma once

#include "AtCmdHandler.h"
#include "ModuleType.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class Answer;

// Sets of module variants, one bit each.
namespace VariantSet {
enum Bit : quint8 { NONE = 0, TAV1 = 1, TAV2 = 2, RIX = 4, TREKON = 8 };
constexpr quint8 SECOND_GEN = TAV2 | RIX;
constexpr quint8 ORBIT = TAV2 | RIX | TREKON;
constexpr quint8 ALL = TAV1 | ORBIT;
quint8 of(ModuleType::Module module);
} // namespace VariantSet

// The protocol, one row per command word. What an answer changes is the
// manager's (its response dispatch), which sensor a command serves the board's.
struct CommandRow {
    struct Pattern {
        quint8 variants;
        QString regex;
    };

    AtCmdHandler::CmdId id;
    // The variants whose firmware knows the command.
    quint8 variants;
    // The pattern of the answer's data, by variant; a variant without one
    // answers the command with OK or ERROR only.
    QList<Pattern> patterns;
    // Names of the fields that follow the whole-answer field, in order.
    QStringList fields;
    quint16 timeoutMs;
    // Answered by one line per entry, then "end".
    bool listAnswer;
};

namespace CommandTable {

constexpr quint16 SHORT_TIMEOUT_MS = 1000;
constexpr quint16 MEDIUM_TIMEOUT_MS = 5000;
constexpr quint16 LARGE_TIMEOUT_MS = 15000;

// The row of `id`; every command word has one.
const CommandRow& row(AtCmdHandler::CmdId id);
const QList<CommandRow>& rows();

bool knows(ModuleType::Module module, AtCmdHandler::CmdId id);
// True when the variant's grammar holds a pattern for the answer to `id`.
bool hasPattern(ModuleType::Module module, AtCmdHandler::CmdId id);
// The pattern of `module`'s answer to `id`; empty when it has none.
QString answerPattern(ModuleType::Module module, AtCmdHandler::CmdId id);
// The response grammar the codec of `module` is built from.
QMap<AtCmdHandler::CmdId, QString> grammar(ModuleType::Module module);
quint16 timeoutOf(AtCmdHandler::CmdId id);
bool isListAnswer(AtCmdHandler::CmdId id);
// Position in the codec's data of the named field of `id`'s answer.
int fieldIndex(AtCmdHandler::CmdId id, const char* field);

} // namespace CommandTable

// One parsed answer read through its row: fields by name.
class Answer {
public:
    Answer(const AtCmdHandler& codec, const CommandRow& row, const QString& line)
        : m_codec(codec)
        , m_row(row)
        , m_line(line)
    {
    }

    AtCmdHandler::CmdId id() const { return m_row.id; }
    const CommandRow& row() const { return m_row; }
    const AtCmdHandler& codec() const { return m_codec; }
    // The line as received, for the answers some grammars do not cut.
    const QString& line() const { return m_line; }

    // The whole answer when `field` is null, else the named field.
    QString text(const char* field = nullptr) const { return m_codec.getData<QString>(index(field)); }
    uint number(const char* field = nullptr) const { return m_codec.getData<uint>(index(field)); }
    double real(const char* field) const { return m_codec.getData<double>(index(field)); }
    QChar letter(const char* field) const { return m_codec.getData<QChar>(index(field)); }
    bool isEnd() const { return text() == QLatin1String("end"); }

private:
    quint8 index(const char* field) const;

    const AtCmdHandler& m_codec;
    const CommandRow& m_row;
    const QString& m_line;
};
