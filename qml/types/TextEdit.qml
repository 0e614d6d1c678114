import QtQuick as Q
import com.norvane.qml.singletons

// Read-only, selectable text (plain or rich) in the window's colours.
Q.TextEdit {
    readOnly: true
    selectByMouse: true
    wrapMode: Q.TextEdit.Wrap
    color: Style.color.text
    selectionColor: Style.color.norvanePink
    selectedTextColor: "#ffffff"
    font.family: Style.font.family
    font.pointSize: Style.font.pointSize
}
