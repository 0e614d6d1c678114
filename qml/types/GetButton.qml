import QtQuick
import com.norvane.qml.singletons

// Reads a value from the module.
Button {
    text: "Get"
    icon.source: Style.icon("download")
    flat: true
}
