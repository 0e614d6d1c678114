import QtQuick
import QtQuick.Controls as C
import com.norvane.qml.singletons

C.Button {
    id: control

    property string toolTipText: ""

    font.capitalization: Font.MixedCase
    icon.width: Style.size.smallIcon
    icon.height: Style.size.smallIcon

    // The software renderer draws no shader effect, so the Material
    // elevation layer left a raised button there without its background, and
    // was built anew at every change of `enabled`, that is at every request.
    Binding {
        target: control.background
        property: "layer.enabled"
        value: false
        when: control.GraphicsInfo.api === GraphicsInfo.Software
    }

    C.ToolTip.visible: (hovered || visualFocus) && visible && toolTipText !== ""
    C.ToolTip.text: toolTipText
    C.ToolTip.delay: 500
}
