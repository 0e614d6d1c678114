import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The settings of the module's own pass prediction and the beacon's position.
Pane {
    id: section

    // The module settings view: the board, the window-wide state, report() and na().
    required property var settingsView

    // Editing a field ends its binding: every value the module gives is
    // written into the fields again, over what the user typed.
    function showPrepassConfig() {
        durationSpin.value = section.settingsView.prepass.config.predictionDuration
        minElevationField.text = Number(section.settingsView.prepass.config.minElevation).toString()
        minDurationSpin.value = section.settingsView.prepass.config.minPassDuration
    }
    function showPosition() {
        latitudeField.text = Number(section.settingsView.prepass.position.latitude).toString()
        longitudeField.text = Number(section.settingsView.prepass.position.longitude).toString()
    }

    Connections {
        target: section.settingsView.prepass
        function onConfigChanged() { section.showPrepassConfig() }
        function onPositionChanged() { section.showPosition() }
    }

    title: "Pass prediction"
    visible: section.settingsView.hasPrediction
    Layout.fillWidth: true

    GridLayout {
        anchors.fill: parent
        columns: 4
        columnSpacing: Style.size.largeSpacing
        rowSpacing: 2
        enabled: section.settingsView.window.g_enableInput

        Label { text: "Prediction duration" }
        SpinBox {
            id: durationSpin
            objectName: "predictionDurationSpin"
            from: 0
            to: 255
            editable: true
            value: section.settingsView.prepass.config.predictionDuration
        }
        Label { text: "days"; secondary: true; Layout.fillWidth: true }
        Item {}

        Label { text: "Minimum elevation" }
        DecimalField {
            id: minElevationField
            objectName: "minElevationField"
            text: Number(section.settingsView.prepass.config.minElevation).toString()
            minimum: 0
            maximum: 90
            decimals: 2
        }
        Label { text: "degrees"; secondary: true }
        Item {}

        Label { text: "Minimum pass duration" }
        SpinBox {
            id: minDurationSpin
            objectName: "minPassDurationSpin"
            from: 0
            to: 255
            editable: true
            value: section.settingsView.prepass.config.minPassDuration
        }
        Label { text: "minutes"; secondary: true }
        RowLayout {
            GetButton {
                objectName: "getPrepassConfigButton"
                onClicked: TavManager.getPrepassConfig()
            }
            SetButton {
                objectName: "setPrepassConfigButton"
                enabled: minElevationField.valid
                onClicked: section.settingsView.report(TavManager.setPrepassConfig(durationSpin.value, minElevationField.value, minDurationSpin.value),
                                       "Prediction settings set.", "unable to set the prediction settings.")
            }
        }

        Rectangle {
            Layout.columnSpan: 4
            Layout.fillWidth: true
            Layout.topMargin: Style.size.spacing
            Layout.bottomMargin: Style.size.spacing
            height: 1
            color: Style.color.paneBorder
        }

        Label { text: "Beacon latitude" }
        DecimalField {
            id: latitudeField
            objectName: "latitudeField"
            text: Number(section.settingsView.prepass.position.latitude).toString()
            minimum: -90
            maximum: 90
            decimals: 6
        }
        Label { text: "degrees, north positive"; secondary: true }
        Item {}

        Label { text: "Beacon longitude" }
        DecimalField {
            id: longitudeField
            objectName: "longitudeField"
            text: Number(section.settingsView.prepass.position.longitude).toString()
            minimum: -180
            maximum: 180
            decimals: 6
        }
        Label { text: "degrees, east positive"; secondary: true }
        RowLayout {
            ToolButton {
                objectName: "getPositionButton"
                iconRole: "location"
                toolTipText: "Read the GNSS position of the module"
                onClicked: TavManager.getGnssPosition()
            }
            SetButton {
                objectName: "setPositionButton"
                enabled: latitudeField.valid && longitudeField.valid
                onClicked: {
                    const lat = latitudeField.value
                    const lon = longitudeField.value
                    if (TavManager.setGnssPosition(lat, lon)) {
                        const position = section.settingsView.prepass.position
                        position.latitude = lat
                        position.longitude = lon
                        section.settingsView.prepass.position = position
                        section.settingsView.report(true, "Position set.", "")
                    } else {
                        section.settingsView.report(false, "", "unable to set the position.")
                    }
                }
            }
        }
    }
}
