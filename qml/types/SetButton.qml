import QtQuick
import Style

// Writes a value to the module.
Button {
    text: "Set"
    icon.source: Style.icon("checkmark")
    highlighted: true
}
