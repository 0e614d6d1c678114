import QtQuick
import QtQuick.Controls as C
import Style

// A card with an optional title line above its content.
C.Pane {
    id: pane

    property string title: ""
    property int titleHeight: title === "" ? 0 : titleLabel.implicitHeight + Style.size.spacing

    padding: Style.size.boardMargin
    topPadding: Style.size.boardMargin + titleHeight

    background: Rectangle {
        color: Style.color.pane
        border.color: Style.color.paneBorder
        radius: Style.size.radius

        C.Label {
            id: titleLabel
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
