import QtQuick
import QtQuick.Controls as C
import com.norvane.qml.singletons

C.ToolButton {
    property string toolTipText: ""
    property string iconRole: ""

    display: C.AbstractButton.IconOnly
    icon.source: iconRole !== "" ? Style.icon(iconRole) : ""
    icon.width: Style.size.icon
    icon.height: Style.size.icon
    icon.color: enabled ? Style.color.text : Style.color.textSecondary

    // An icon alone says nothing to a screen reader or a keyboard user.
    Accessible.name: toolTipText !== "" ? toolTipText : iconRole
    C.ToolTip.visible: (hovered || visualFocus) && visible && toolTipText !== ""
    C.ToolTip.text: toolTipText
    C.ToolTip.delay: 500
}
