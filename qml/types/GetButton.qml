import QtQuick
import Style

// Reads a value from the module.
Button {
    text: "Get"
    icon.source: Style.icon("download")
    flat: true
}
