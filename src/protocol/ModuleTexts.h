#pragma once

#include <QString>

// Texts of the module's side of the line: its date forms, the "NA" of a value
// it has not given, and the status lines a TREKON kit prints ("TREKON --
// SLEEP").
namespace ModuleTexts {

inline const QString UI_DATE_FORMAT = QStringLiteral("ddd MMM d, hh:mm:ss");
inline const QString ISO_DATE_FORMAT = QStringLiteral("yyyy-M-dTH:m:sZ");
inline const QString NOT_AVAILABLE = QStringLiteral("NA");
inline const QString MARK_RESET_DONE = QStringLiteral("PARAMETERS RESTORED");
inline const QString MARK_ASLEEP = QStringLiteral("SLEEP");
inline const QString MARK_AWAKE = QStringLiteral("BUTTON PUSHED");
inline const QString MARK_TREKON = QStringLiteral("TREKON --");

} // namespace ModuleTexts
