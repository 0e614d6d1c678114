import QtQuick
import QtQuick.Controls as C
import com.norvane.qml.singletons

C.Label {
    property bool secondary: false
    property bool header: false

    color: secondary ? Style.color.textSecondary : Style.color.text
    font.pointSize: header ? Style.font.headerPointSize : (secondary ? Style.font.smallPointSize : Style.font.pointSize)
    font.bold: header
    verticalAlignment: Text.AlignVCenter
}
