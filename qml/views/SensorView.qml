pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The sensors of the Trekon kit: acquisition and alerts with their
// thresholds, and how often the kit acquires.
Pane {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var sensors: view.window.g_board ? view.window.g_board.sensorListModel : null
    property string message: ""
    property bool messageIsError: false

    title: "Sensors"

    function apply() {
        const ok = TavManager.setSensorsConfig()
        messageIsError = !ok
        message = ok ? "Sensor configuration written to the board." : "ERROR: the board refused the sensor configuration (see the log)."
        messageTimer.restart()
    }

    Timer {
        id: messageTimer
        interval: 4000
        onTriggered: view.message = ""
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        Label {
            visible: view.sensors === null
            secondary: true
            text: "Sensors are available on a connected Trekon kit."
        }

        RowLayout {
            visible: view.sensors !== null
            enabled: view.window.g_enableInput
            spacing: Style.size.spacing

            Label { text: "Acquisition period" }
            SpinBox {
                objectName: "acquisitionPeriodSpin"
                from: 1
                to: 65535
                editable: true
                value: view.sensors ? view.sensors.acquisitionPeriod : 3600
                textFromValue: (value, locale) => String(value)
                valueFromText: (text, locale) => Number(text)
                onValueModified: if (view.sensors) view.sensors.setAcquisitionPeriod(value)
                Layout.preferredWidth: 150
            }
            Label { text: "seconds"; secondary: true }
            Item { Layout.fillWidth: true }
            GetButton {
                objectName: "getSensorsButton"
                toolTipText: "Read the sensor configuration from the board"
                onClicked: TavManager.getSensorsConfig()
            }
            SetButton {
                objectName: "setSensorsButton"
                toolTipText: "Write the sensor configuration to the board"
                onClicked: view.apply()
            }
        }

        StatusLine {
            text: view.message
            error: view.messageIsError
        }

        ListView {
            id: list
            objectName: "sensorList"
            visible: view.sensors !== null
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 2
            model: view.sensors
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: SensorDelegate {
                width: list.width - 12
                editable: view.window.g_enableInput
            }
        }
    }
}
