import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import "../types"

// One sensor of the kit: acquisition, alert and its thresholds.
Rectangle {
    id: row

    required property int index
    required property var model
    required property int id
    required property string name
    required property bool enable
    required property bool alert
    required property bool hasAlertCmd
    required property string thresholdTitle
    required property string thresholdValues

    property bool editable: true

    implicitHeight: 52
    radius: Style.size.radius
    color: index % 2 ? Style.color.rowAlternate : "transparent"

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Style.size.boardMargin
        anchors.rightMargin: Style.size.boardMargin
        spacing: Style.size.largeSpacing

        Label {
            text: row.name
            font.bold: true
            Layout.preferredWidth: 150
        }

        // The push button is never acquired, it only raises alerts.
        Switch {
            objectName: "sensorEnable" + row.index
            text: "Acquisition"
            checked: row.enable
            enabled: row.editable
            visible: row.id !== Id.PUSH_BUTTON
            onToggled: row.model.enable = checked
            Layout.preferredWidth: 170
        }
        Item {
            visible: row.id === Id.PUSH_BUTTON
            Layout.preferredWidth: 170
        }

        Switch {
            objectName: "sensorAlert" + row.index
            text: "Alert"
            checked: row.alert
            enabled: row.editable
            visible: row.hasAlertCmd
            onToggled: row.model.alert = checked
            Layout.preferredWidth: 120
        }
        Item {
            visible: !row.hasAlertCmd
            Layout.preferredWidth: 120
        }

        Label {
            visible: row.thresholdTitle !== ""
            text: row.thresholdTitle
            secondary: true
        }
        InputTextField {
            objectName: "sensorThreshold" + row.index
            visible: row.thresholdTitle !== ""
            text: row.thresholdValues
            enabled: row.editable && row.alert
            validator: RegularExpressionValidator {
                regularExpression: /-?[0-9]+(,-?[0-9]+)*/
            }
            toolTipText: "Comma-separated values: " + row.thresholdTitle
            onEditingFinished: {
                if (acceptableInput && text !== row.thresholdValues)
                    row.model.thresholdValues = text
            }
        }
        Item {
            Layout.fillWidth: true
        }
    }
}
