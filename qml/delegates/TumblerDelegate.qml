import QtQuick
import QtQuick.Controls
import com.norvane.qml

// One value of a date or time tumbler, fading away from the selection.
Text {
    required property var modelData
    required property int index

    property int digits: 2

    text: String(modelData).padStart(digits, "0")
    opacity: 1.0 - Math.abs(Tumbler.displacement) / (Tumbler.tumbler ? Tumbler.tumbler.visibleItemCount / 2 : 2)
    color: Math.abs(Tumbler.displacement) < 0.5 ? Style.color.norvanePink : Style.color.text
    font.family: Style.font.mono
    font.pointSize: Style.font.pointSize + 2
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
}
