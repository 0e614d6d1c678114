import QtQuick
import QtQuick.Controls as C
import QtQuick.Layouts
import com.norvane.qml.singletons

// The outcome of the last action. Its line is kept whether a message shows
// or not, so that nothing under the pointer moves when one comes or goes; a
// long message is cut, whole in its tooltip.
Label {
    id: line

    property bool error: false

    Layout.fillWidth: true
    elide: Text.ElideRight
    color: error ? Style.color.error : Style.color.success
    C.ToolTip.visible: hover.hovered && truncated
    C.ToolTip.text: text

    HoverHandler {
        id: hover
    }
}
