import QtQuick
import QtQuick.Controls as C
import com.norvane.qml.singletons

// A card with an optional title line above its content.
C.Pane {
    id: pane

    property string title: ""
    readonly property int titleHeight: title === "" ? 0 : Math.ceil(titleMetrics.height) + Style.size.spacing

    padding: Style.size.boardMargin
    topPadding: Style.size.boardMargin + titleHeight

    TextMetrics {
        id: titleMetrics
        text: pane.title
        font.bold: true
        font.family: pane.font.family
        font.pointSize: Style.font.headerPointSize
    }

    background: Rectangle {
        color: Style.color.pane
        border.color: Style.color.paneBorder
        radius: Style.size.radius

        C.Label {
            visible: pane.title !== ""
            x: Style.size.boardMargin
            y: Style.size.boardMargin - 2
            text: pane.title
            color: Style.color.text
            font.bold: true
            font.pointSize: Style.font.headerPointSize
        }
    }
}
