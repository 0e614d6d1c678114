import QtQuick
import QtQuick.Controls as C
import QtQuick.Controls.impl
import com.norvane.qml.singletons

// An on/off button: outlined when off, filled with the accent colour when on.
C.Button {
    id: control

    property string toolTipText: ""

    checkable: true
    flat: true
    font.capitalization: Font.MixedCase
    icon.width: Style.size.smallIcon
    icon.height: Style.size.smallIcon
    icon.color: checked ? "#ffffff" : (enabled ? Style.color.text : Style.color.textSecondary)
    leftPadding: 10
    rightPadding: 10
    topInset: 6
    bottomInset: 6

    contentItem: IconLabel {
        spacing: 4
        display: control.display
        icon: control.icon
        text: control.text
        font: control.font
        color: control.checked ? "#ffffff" : (control.enabled ? Style.color.text : Style.color.textSecondary)
    }

    background: Rectangle {
        implicitWidth: 40
        implicitHeight: 36
        radius: Style.size.radius
        color: control.checked ? Style.color.norvanePink : (control.hovered ? Style.color.field : "transparent")
        // A keyboard focus shows as a thicker accent border.
        border.color: control.checked || control.visualFocus ? Style.color.norvanePink : Style.color.paneBorder
        border.width: control.visualFocus ? 2 : 1
        opacity: control.enabled ? 1.0 : 0.5
    }

    C.ToolTip.visible: (hovered || visualFocus) && visible && toolTipText !== ""
    C.ToolTip.text: toolTipText
    C.ToolTip.delay: 500
}
