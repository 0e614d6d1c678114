pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The prepass profile on the module: the module computes the next pass from
// the orbit data uploaded to it.
ColumnLayout {
    id: panel

    // The window-wide state it needs.
    property bool connected: false
    property bool enableInput: true
    property bool trekonModuleSelected: false
    readonly property var tx: TavManager.tx
    readonly property var prepass: TavManager.tx.prepassProfile

    spacing: Style.size.spacing

    RowLayout {
        visible: panel.trekonModuleSelected
        enabled: panel.enableInput
        Label { text: "Module redundancy" }
        SpinBox {
            objectName: "prepassRedundancySpin"
            from: 1
            to: 255
            editable: true
            value: panel.prepass.redundancy
            onValueModified: panel.prepass.redundancy = value
        }
    }

    Repeater {
        model: panel.prepass.nextPassModel
        Label {
            required property var model
            objectName: "nextPassLabel"
            Layout.fillWidth: true
            Layout.preferredWidth: 0
            wrapMode: Text.Wrap
            // A kit that has orbit data but no satellite names
            // still gives the pass: its start tells it is there.
            readonly property bool computed: model.start !== undefined && model.start !== Strings.notAvailable
            readonly property bool named: model.satellite !== undefined && model.satellite !== Strings.notAvailable
            text: !computed ? "Next pass: not computed yet"
                  : "Next pass: " + (named ? "<b>" + model.satellite + "</b> " : "") + "at "
                    + Strings.utcText(model.start) + " UTC"
            textFormat: Text.StyledText
        }
    }

    RowLayout {
        enabled: panel.connected && panel.enableInput && !panel.tx.computingSatelliteNextPass
        Button {
            objectName: "uploadAopButton"
            text: "Upload orbit data"
            icon.source: Style.icon("satellite")
            toolTipText: "Send the satellites' orbit parameters and status to the module"
            onClicked: TavManager.uploadAopData()
        }
        Button {
            objectName: "nextPassButton"
            text: "Next pass"
            icon.source: Style.icon("refresh")
            flat: true
            toolTipText: "Ask the module for the next satellite pass"
            onClicked: TavManager.getSatelliteNextPass()
        }
        BusyIndicator {
            running: panel.tx.computingSatelliteNextPass
            visible: running
            Layout.preferredHeight: 32
            Layout.preferredWidth: 32
        }
    }
    Label {
        id: orbitOutcome
        objectName: "orbitDataOutcome"
        property bool error: false
        Layout.fillWidth: true
        Layout.preferredWidth: 0
        visible: text !== ""
        wrapMode: Text.Wrap
        color: error ? Style.color.error : Style.color.success
        Connections {
            target: TavManager
            function onOrbitDataOutcome(text, error) {
                orbitOutcome.error = error
                orbitOutcome.text = (error ? "ERROR: " : "") + text
            }
        }
        // A download that succeeds from elsewhere (a prediction) ends the error.
        Connections {
            target: panel.prepass
            function onAopDataDownloadFinished(error) {
                if (error === "" && orbitOutcome.error)
                    orbitOutcome.text = ""
            }
        }
    }
    Label {
        Layout.fillWidth: true
        Layout.preferredWidth: 0
        wrapMode: Text.Wrap
        secondary: true
        text: "The prediction settings and the beacon position are in the module settings."
    }
}
