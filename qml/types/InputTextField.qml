import QtQuick
import QtQuick.Controls as C
import QtQuick.Controls.Material
import com.norvane.qml.singletons

// A text field that shows a refused value in the error colour.
C.TextField {
    id: field

    property bool error: !acceptableInput
    property string toolTipText: ""

    selectByMouse: true
    color: error ? Style.color.error : Style.color.text
    Material.accent: error ? Style.color.error : Style.color.norvanePink
    implicitWidth: Style.size.fieldWidth

    C.ToolTip.visible: hovered && visible && toolTipText !== ""
    C.ToolTip.text: toolTipText
    C.ToolTip.delay: 500
}
