import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The connected module's identity and configuration, one card per concern.
ScrollView {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var board: view.window.g_board
    readonly property var tx: TavManager.tx
    readonly property var prepass: TavManager.tx.prepassProfile
    readonly property var lora: TavManager.tx.loraConfig
    readonly property var modulation: TavManager.tx.modulationModel
    readonly property bool hasPrediction: view.window.g_tav2ModuleSelected || view.window.g_rixModuleSelected || view.window.g_trekonModuleSelected
    property string message: ""
    property bool messageIsError: false

    function report(ok, success, failure) {
        messageIsError = !ok
        message = ok ? success : "ERROR: " + failure
        if (!ok)
            Notifications.add(failure, true)
        messageTimer.restart()
    }

    function na(value) {
        return value === undefined || value === null || value === "" ? Strings.notAvailable : String(value)
    }

    contentWidth: availableWidth
    clip: true

    // Editing a field ends its binding: every value the module gives is
    // written into the fields again, over what the user typed.
    function showTxPower() {
        powerField.text = board && board.txPower !== 0 ? String(board.txPower) : ""
    }

    Connections {
        target: view.board
        ignoreUnknownSignals: true
        function onTxPowerChanged() { view.showTxPower() }
    }

    Timer {
        id: messageTimer
        interval: 4000
        onTriggered: view.message = ""
    }

    ModalDialog {
        id: resetDialog
        title: "Reset " + view.na(view.board ? view.board.name : "") + "?"
        standardButtons: Dialog.Ok | Dialog.Cancel
        acceptText: "Reset"
        Label {
            text: "The module restarts now."
        }
        onAccepted: view.report(TavManager.resetModule(), "Reset requested.", "the module refused the reset.")
    }

    ColumnLayout {
        width: view.availableWidth
        spacing: Style.size.boardMargin

        Label {
            visible: view.board === null
            secondary: true
            text: Strings.notConnected
        }

        StatusLine {
            text: view.message
            error: view.messageIsError
        }

        // Identity
        IdentitySection {
            settingsView: view
        }

        // TAV1 transmission, expert mode only
        Pane {
            title: "Transmission (TAV1)"
            visible: view.window.g_tav1ModuleSelected && view.window.g_expertMode
            Layout.fillWidth: true

            GridLayout {
                anchors.fill: parent
                columns: 4
                columnSpacing: Style.size.largeSpacing
                enabled: view.window.g_enableInput

                Label { text: "Frequency" }
                Label {
                    objectName: "txFrequency"
                    text: view.board && view.board.txFrequency !== 0 ? view.board.txFrequency + " Hz" : Strings.notAvailable
                    font.family: Style.font.mono
                    Layout.fillWidth: true
                }
                GetButton {
                    objectName: "getTxFrequencyButton"
                    onClicked: TavManager.getTxFrequency()
                }
                Item {}

                Label { text: "Power" }
                InputTextField {
                    id: powerField
                    objectName: "txPowerField"
                    text: view.board && view.board.txPower !== 0 ? String(view.board.txPower) : ""
                    placeholderText: Strings.notAvailable
                    validator: IntValidator { bottom: 100; top: 9999 }
                    toolTipText: "Transmit power as the module states it (three or four digits)"
                }
                GetButton {
                    objectName: "getTxPowerButton"
                    onClicked: TavManager.getTxPower()
                }
                SetButton {
                    objectName: "setTxPowerButton"
                    enabled: powerField.acceptableInput
                    onClicked: TavManager.setTxPower(Number(powerField.text))
                }
            }
        }

        // Redundancy of the Trekon's transmissions
        Pane {
            title: "Redundancy"
            visible: view.window.g_trekonModuleSelected
            Layout.fillWidth: true

            RowLayout {
                anchors.fill: parent
                enabled: view.window.g_enableInput
                Label { text: "Transmissions per message" }
                SpinBox {
                    id: redundancySpin
                    objectName: "moduleRedundancySpin"
                    from: 1
                    to: 255
                    editable: true
                    value: view.window.g_periodicProfileSelected ? view.tx.periodicProfile.redundancy : view.prepass.redundancy
                }
                Label {
                    secondary: true
                    text: view.window.g_periodicProfileSelected ? "(periodic profile)" : "(prepass profiles)"
                    Layout.fillWidth: true
                }
                GetButton {
                    onClicked: TavManager.getTxRedundancy()
                }
                SetButton {
                    objectName: "setRedundancyButton"
                    onClicked: {
                        if (view.window.g_periodicProfileSelected)
                            view.tx.periodicProfile.redundancy = redundancySpin.value
                        else
                            view.prepass.redundancy = redundancySpin.value
                        view.report(TavManager.setTxRedundancy(redundancySpin.value), "Redundancy set.",
                                    "unable to set the redundancy.")
                    }
                }
            }
        }

        // Pass prediction on the module
        PredictionSection {
            settingsView: view
        }

        // Modulation and radio configuration of the TAV2 and RIX
        RadioSection {
            settingsView: view
        }

        // LoRa connectivity of a Trekon whose firmware has the LoRa stack
        LoRaSection {
            settingsView: view
        }

        // Reset
        Pane {
            title: "Reset"
            visible: view.board !== null
            Layout.fillWidth: true

            RowLayout {
                anchors.fill: parent
                Label {
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    secondary: true
                    text: "Restart the module. A Trekon kit reports when its parameters are restored."
                }
                Button {
                    objectName: "resetModuleButton"
                    text: "Reset"
                    icon.source: Style.icon("exclamation")
                    enabled: view.window.g_enableInput
                    onClicked: resetDialog.open()
                }
            }
        }
    }
}
