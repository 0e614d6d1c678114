import QtQuick
import QtQuick.Controls as C
import com.norvane.qml

C.Button {
    id: control

    property string toolTipText: ""

    font.capitalization: Font.MixedCase
    icon.width: Style.size.smallIcon
    icon.height: Style.size.smallIcon

    C.ToolTip.visible: (hovered || visualFocus) && visible && toolTipText !== ""
    C.ToolTip.text: toolTipText
    C.ToolTip.delay: 500
}
