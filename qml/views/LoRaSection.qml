import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The LoRa connectivity of a Trekon whose firmware has the LoRa stack.
Pane {
    id: section

    // The module settings view: the board, the window-wide state, report() and na().
    required property var settingsView

    title: "LoRa"
    visible: section.settingsView.window.g_trekonModuleSelected
    Layout.fillWidth: true

    ColumnLayout {
        anchors.fill: parent
        spacing: 2

        Label {
            visible: section.settingsView.board !== null && !section.settingsView.board.loraStackIntegrated
            secondary: true
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            text: "This firmware has no LoRa stack: LoRa needs firmware " + (section.settingsView.board ? section.settingsView.board.loraMinVersion : "")
                  + " or later (read " + (section.settingsView.board ? section.settingsView.na(section.settingsView.board.firmwareVersion) : "") + ")."
        }

        GridLayout {
            visible: section.settingsView.board !== null && section.settingsView.board.loraStackIntegrated
            columns: 3
            columnSpacing: Style.size.largeSpacing
            rowSpacing: 2
            enabled: section.settingsView.window.g_enableInput
            Layout.fillWidth: true

            Label { text: "LoRa" }
            Switch {
                objectName: "loraEnableSwitch"
                text: checked ? "enabled" : "disabled"
                checked: section.settingsView.tx.loraEnabled
                onToggled: section.settingsView.tx.loraEnabled = checked
            }
            Item { Layout.fillWidth: true }

            Label { text: "Device EUI" }
            Label {
                text: section.settingsView.na(section.settingsView.lora ? section.settingsView.lora.devEui : "")
                font.family: Style.font.mono
            }
            Label { text: "read only"; secondary: true }

            Label { text: "Application EUI" }
            InputTextField {
                id: appEuiField
                objectName: "appEuiField"
                implicitWidth: 260
                text: section.settingsView.lora ? section.settingsView.lora.appEui : ""
                font.family: Style.font.mono
                error: text !== "" && !section.settingsView.lora.isValidEui(text)
                toolTipText: "Hexadecimal; blanks, commas, colons and dashes between bytes are accepted"
                onEditingFinished: if (!error) section.settingsView.lora.setAppEui(text)
            }
            Label { text: "8 bytes, hexadecimal"; secondary: true }

            Label { text: "Application key" }
            InputTextField {
                id: appKeyField
                objectName: "appKeyField"
                implicitWidth: 420
                text: section.settingsView.lora ? section.settingsView.lora.appKey : ""
                font.family: Style.font.mono
                error: text !== "" && !section.settingsView.lora.isValidKey(text)
                toolTipText: "Hexadecimal; blanks, commas, colons and dashes between bytes are accepted"
                onEditingFinished: if (!error) section.settingsView.lora.setAppKey(text)
            }
            Label { text: "16 bytes, hexadecimal"; secondary: true }

            Label { text: "Redundancy" }
            SpinBox {
                from: 0
                to: 255
                editable: true
                value: section.settingsView.lora ? section.settingsView.lora.redundancy : 0
                onValueModified: section.settingsView.lora.setRedundancy(value)
            }
            Item {}

            Label { text: "Acknowledgement" }
            Switch {
                objectName: "loraAckSwitch"
                checked: section.settingsView.lora ? section.settingsView.lora.ackEnabled : false
                onToggled: section.settingsView.lora.setAckEnabled(checked)
            }
            RowLayout {
                GetButton {
                    onClicked: TavManager.getLoRaConfig()
                }
                SetButton {
                    objectName: "setLoraButton"
                    enabled: section.settingsView.lora.isValidEui(appEuiField.text) && section.settingsView.lora.isValidKey(appKeyField.text)
                    onClicked: {
                        let ok = TavManager.setLoRaEnable()
                        if (ok && section.settingsView.tx.loraEnabled)
                            ok = TavManager.setLoRaInfo()
                        section.settingsView.report(ok, "LoRa settings set.", "unable to set the LoRa settings.")
                    }
                }
            }
        }
    }
}
