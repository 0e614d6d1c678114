import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// One sensor of the kit: its acquisition and alert enables (the module keeps
// them in two sets), its own alert and that alert's thresholds.
Rectangle {
    id: row

    required property int index
    required property var model
    required property int id
    required property string name
    required property bool enable
    required property bool alertEnable
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

        // The push button is in neither set: it is never acquired, and its
        // alert is its own command.
        Switch {
            objectName: "sensorEnable" + row.index
            text: "Acquisition"
            checked: row.enable
            enabled: row.editable
            visible: row.id !== Id.PUSH_BUTTON
            ToolTip.visible: hovered
            ToolTip.text: "Acquire this sensor (AT+PACQ_SENS)"
            onToggled: row.model.enable = checked
            Layout.preferredWidth: 160
        }
        Switch {
            objectName: "sensorAlertEnable" + row.index
            text: "Alerts"
            checked: row.alertEnable
            enabled: row.editable
            visible: row.id !== Id.PUSH_BUTTON
            ToolTip.visible: hovered
            ToolTip.text: "Let this sensor raise alerts (AT+ALRT_SENS)"
            onToggled: row.model.alertEnable = checked
            Layout.preferredWidth: 120
        }
        Item {
            visible: row.id === Id.PUSH_BUTTON
            Layout.preferredWidth: 160 + 120 + Style.size.largeSpacing
        }

        Switch {
            objectName: "sensorAlert" + row.index
            text: row.thresholdTitle !== "" ? "Threshold alert" : "Alert"
            checked: row.alert
            enabled: row.editable
            visible: row.hasAlertCmd
            onToggled: row.model.alert = checked
            Layout.preferredWidth: 160
        }
        Item {
            visible: !row.hasAlertCmd
            Layout.preferredWidth: 160
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
