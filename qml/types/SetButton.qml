import QtQuick
import com.norvane.qml.singletons

// Writes a value to the module.
Button {
    text: "Set"
    icon.source: Style.icon("checkmark")
    highlighted: true
}
