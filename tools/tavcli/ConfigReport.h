#pragma once

#include <QJsonObject>
#include <QString>

class TavManager;

// What the tool knows of the connected module's configuration, as an object
// (for --json) and as aligned "key: value" text.
namespace ConfigReport {

QJsonObject identity(const TavManager& manager);
QJsonObject configuration(const TavManager& manager);
QJsonObject satellites(const TavManager& manager);
QJsonObject nextPass(const TavManager& manager);

// Nested objects become indented sections; arrays one line per element.
QString toText(const QJsonObject& object, int indent = 0);

} // namespace ConfigReport
