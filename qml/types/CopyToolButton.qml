import QtQuick
import QtQuick.Controls as C

// Copies a text to the clipboard: either `textToCopy` or what `provider()`
// returns at the time of the click (for large texts built on demand).
ToolButton {
    id: control

    property string textToCopy: ""
    property var provider: null
    property bool copiedShown: false

    iconRole: "copy"
    toolTipText: copiedShown ? "Copied to clipboard" : "Copy"

    onClicked: copy(provider ? provider() : textToCopy)

    function copy(text) {
        clipboardHelper.text = text
        clipboardHelper.selectAll()
        clipboardHelper.copy()
        clipboardHelper.text = ""
        copiedShown = true
        copiedTimer.restart()
    }

    C.ToolTip.visible: (hovered || copiedShown) && visible

    Timer {
        id: copiedTimer
        interval: 1500
        onTriggered: control.copiedShown = false
    }

    TextEdit {
        id: clipboardHelper
        visible: false
    }
}
