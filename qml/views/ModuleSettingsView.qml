import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
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
    function showPrepassConfig() {
        durationSpin.value = prepass.config.predictionDuration
        minElevationField.text = Number(prepass.config.minElevation).toString()
        minDurationSpin.value = prepass.config.minPassDuration
    }
    function showPosition() {
        latitudeField.text = Number(prepass.position.latitude).toString()
        longitudeField.text = Number(prepass.position.longitude).toString()
    }

    Connections {
        target: view.board
        ignoreUnknownSignals: true
        function onTxPowerChanged() { view.showTxPower() }
    }

    Connections {
        target: view.prepass
        function onConfigChanged() { view.showPrepassConfig() }
        function onPositionChanged() { view.showPosition() }
    }

    Timer {
        id: messageTimer
        interval: 4000
        onTriggered: view.message = ""
    }

    FileDialog {
        id: radioConfDialog
        title: "Import a radio configuration file (16 bytes)"
        fileMode: FileDialog.OpenFile
        nameFilters: ["Radio configuration (radio_conf_*.bin)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            view.report(view.tx.importRadioConfFile(String(selectedFile)), "Radio configuration sent.",
                        "the file is not a radio configuration (16 bytes, named radio_conf_..._.bin).")
        }
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

        Label {
            visible: view.message !== ""
            text: view.message
            color: view.messageIsError ? Style.color.error : Style.color.success
        }

        // Identity
        Pane {
            title: "Identity"
            visible: view.board !== null
            Layout.fillWidth: true

            RowLayout {
                anchors.fill: parent
                GridLayout {
                    columns: 2
                    columnSpacing: Style.size.largeSpacing
                    rowSpacing: 2
                    Layout.fillWidth: true

                    Label { text: "Module"; secondary: true }
                    Label { text: view.board ? view.board.name + " on " + view.board.port : "" }
                    Label { text: "ID"; secondary: true }
                    Label { objectName: "identityId"; text: view.board ? view.na(view.board.id) : ""; font.family: Style.font.mono }
                    Label { text: "Firmware"; secondary: true }
                    Label { text: view.board ? view.na(view.board.firmwareVersion) : ""; font.family: Style.font.mono }
                    Label { text: "Serial number"; secondary: true; visible: view.window.g_tav1ModuleSelected }
                    Label { text: view.board ? view.na(view.board.serialNumber) : ""; font.family: Style.font.mono; visible: view.window.g_tav1ModuleSelected }
                    Label { text: "Address"; secondary: true; visible: view.window.g_tav2ModuleSelected || view.window.g_rixModuleSelected }
                    Label { text: view.board ? view.na(view.board.addr) : ""; font.family: Style.font.mono; visible: view.window.g_tav2ModuleSelected || view.window.g_rixModuleSelected }
                    Label { text: "LoRa"; secondary: true; visible: view.board !== null && view.board.loraCompatible }
                    Label {
                        visible: view.board !== null && view.board.loraCompatible
                        text: view.board && view.board.loraStackIntegrated ? "integrated"
                              : "needs firmware " + (view.board ? view.board.loraMinVersion : "") + " or later"
                    }
                }
                GetButton {
                    Layout.alignment: Qt.AlignTop | Qt.AlignRight
                    enabled: view.window.g_enableInput
                    toolTipText: "Read the identity again"
                    onClicked: TavManager.getHwInfo()
                }
            }
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
        Pane {
            title: "Pass prediction"
            visible: view.hasPrediction
            Layout.fillWidth: true

            GridLayout {
                anchors.fill: parent
                columns: 4
                columnSpacing: Style.size.largeSpacing
                rowSpacing: 2
                enabled: view.window.g_enableInput

                Label { text: "Prediction duration" }
                SpinBox {
                    id: durationSpin
                    objectName: "predictionDurationSpin"
                    from: 0
                    to: 255
                    editable: true
                    value: view.prepass.config.predictionDuration
                }
                Label { text: "days"; secondary: true; Layout.fillWidth: true }
                Item {}

                Label { text: "Minimum elevation" }
                DecimalField {
                    id: minElevationField
                    objectName: "minElevationField"
                    text: Number(view.prepass.config.minElevation).toString()
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
                    value: view.prepass.config.minPassDuration
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
                        onClicked: view.report(TavManager.setPrepassConfig(durationSpin.value, minElevationField.value, minDurationSpin.value),
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
                    text: Number(view.prepass.position.latitude).toString()
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
                    text: Number(view.prepass.position.longitude).toString()
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
                                const position = view.prepass.position
                                position.latitude = lat
                                position.longitude = lon
                                view.prepass.position = position
                                view.report(true, "Position set.", "")
                            } else {
                                view.report(false, "", "unable to set the position.")
                            }
                        }
                    }
                }
            }
        }

        // Modulation and radio configuration of the TAV2 and RIX
        Pane {
            title: "Radio configuration"
            visible: view.window.g_tav2ModuleSelected || view.window.g_rixModuleSelected
            Layout.fillWidth: true

            GridLayout {
                anchors.fill: parent
                columns: 3
                columnSpacing: Style.size.largeSpacing
                rowSpacing: 2
                enabled: view.window.g_enableInput

                Label { text: "Radio configuration file" }
                ComboBox {
                    id: modulationCombo
                    objectName: "modulationCombo"
                    model: view.tx.modulationList
                    textRole: "display"
                    displayText: count === 0 ? "No file in the configured folder" : currentText
                    Layout.preferredWidth: 420
                    onActivated: view.report(view.tx.changeModulationRadioConfiguration(currentText),
                                             "Radio configuration sent.", "the radio configuration was refused.")
                }
                RowLayout {
                    ToolButton {
                        iconRole: "refresh"
                        toolTipText: "List the radio configuration files again"
                        onClicked: view.tx.refreshRadioConfList()
                    }
                    ToolButton {
                        iconRole: "import"
                        toolTipText: "Send a radio configuration file from another folder"
                        onClicked: radioConfDialog.open()
                    }
                    GetButton {
                        onClicked: TavManager.getRadioConfig()
                    }
                }

                Label { text: "Module reports"; secondary: true }
                Label {
                    Layout.columnSpan: 2
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    font.family: Style.font.mono
                    text: view.modulation
                          ? view.na(view.modulation.modulationName) + ", " + view.na(view.modulation.frequencyMin) + " - "
                            + view.na(view.modulation.frequencyMax) + " Hz, power " + view.na(view.modulation.power)
                            + ", payloads of " + view.na(view.modulation.allowedSizeText) + " bytes"
                          : Strings.notAvailable
                }
            }
        }

        // LoRa connectivity of a Trekon whose firmware has the LoRa stack
        Pane {
            title: "LoRa"
            visible: view.window.g_trekonModuleSelected
            Layout.fillWidth: true

            ColumnLayout {
                anchors.fill: parent
                spacing: 2

                Label {
                    visible: view.board !== null && !view.board.loraStackIntegrated
                    secondary: true
                    wrapMode: Text.Wrap
                    Layout.fillWidth: true
                    text: "This firmware has no LoRa stack: LoRa needs firmware " + (view.board ? view.board.loraMinVersion : "")
                          + " or later (read " + (view.board ? view.na(view.board.firmwareVersion) : "") + ")."
                }

                GridLayout {
                    visible: view.board !== null && view.board.loraStackIntegrated
                    columns: 3
                    columnSpacing: Style.size.largeSpacing
                    rowSpacing: 2
                    enabled: view.window.g_enableInput
                    Layout.fillWidth: true

                    Label { text: "LoRa" }
                    Switch {
                        objectName: "loraEnableSwitch"
                        text: checked ? "enabled" : "disabled"
                        checked: view.tx.loraEnabled
                        onToggled: view.tx.loraEnabled = checked
                    }
                    Item { Layout.fillWidth: true }

                    Label { text: "Device EUI" }
                    Label {
                        text: view.na(view.lora ? view.lora.devEui : "")
                        font.family: Style.font.mono
                    }
                    Label { text: "read only"; secondary: true }

                    Label { text: "Application EUI" }
                    InputTextField {
                        id: appEuiField
                        objectName: "appEuiField"
                        implicitWidth: 260
                        text: view.lora ? view.lora.appEui : ""
                        font.family: Style.font.mono
                        error: text !== "" && !view.lora.isValidEui(text)
                        toolTipText: "Hexadecimal; blanks, commas, colons and dashes between bytes are accepted"
                        onEditingFinished: if (!error) view.lora.setAppEui(text)
                    }
                    Label { text: "8 bytes, hexadecimal"; secondary: true }

                    Label { text: "Application key" }
                    InputTextField {
                        id: appKeyField
                        objectName: "appKeyField"
                        implicitWidth: 420
                        text: view.lora ? view.lora.appKey : ""
                        font.family: Style.font.mono
                        error: text !== "" && !view.lora.isValidKey(text)
                        toolTipText: "Hexadecimal; blanks, commas, colons and dashes between bytes are accepted"
                        onEditingFinished: if (!error) view.lora.setAppKey(text)
                    }
                    Label { text: "16 bytes, hexadecimal"; secondary: true }

                    Label { text: "Redundancy" }
                    SpinBox {
                        from: 0
                        to: 255
                        editable: true
                        value: view.lora ? view.lora.redundancy : 0
                        onValueModified: view.lora.setRedundancy(value)
                    }
                    Item {}

                    Label { text: "Acknowledgement" }
                    Switch {
                        objectName: "loraAckSwitch"
                        checked: view.lora ? view.lora.ackEnabled : false
                        onToggled: view.lora.setAckEnabled(checked)
                    }
                    RowLayout {
                        GetButton {
                            onClicked: TavManager.getLoRaConfig()
                        }
                        SetButton {
                            objectName: "setLoraButton"
                            enabled: view.lora.isValidEui(appEuiField.text) && view.lora.isValidKey(appKeyField.text)
                            onClicked: {
                                let ok = TavManager.setLoRaEnable()
                                if (ok && view.tx.loraEnabled)
                                    ok = TavManager.setLoRaInfo()
                                view.report(ok, "LoRa settings set.", "unable to set the LoRa settings.")
                            }
                        }
                    }
                }
            }
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
