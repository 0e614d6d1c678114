import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The module's identity: name and port, ID, firmware, serial number or
// address, LoRa support.
Pane {
    id: section

    // The module settings view: the board, the window-wide state, report() and na().
    required property var settingsView

    title: "Identity"
    visible: section.settingsView.board !== null
    Layout.fillWidth: true

    RowLayout {
        anchors.fill: parent
        GridLayout {
            columns: 2
            columnSpacing: Style.size.largeSpacing
            rowSpacing: 2
            Layout.fillWidth: true

            Label { text: "Module"; secondary: true }
            Label { text: section.settingsView.board ? section.settingsView.board.name + " on " + section.settingsView.board.port : "" }
            Label { text: "ID"; secondary: true }
            Label { objectName: "identityId"; text: section.settingsView.board ? section.settingsView.na(section.settingsView.board.id) : ""; font.family: Style.font.mono }
            Label { text: "Firmware"; secondary: true }
            Label { text: section.settingsView.board ? section.settingsView.na(section.settingsView.board.firmwareVersion) : ""; font.family: Style.font.mono }
            Label { text: "Serial number"; secondary: true; visible: section.settingsView.window.g_tav1ModuleSelected }
            Label { text: section.settingsView.board ? section.settingsView.na(section.settingsView.board.serialNumber) : ""; font.family: Style.font.mono; visible: section.settingsView.window.g_tav1ModuleSelected }
            Label { text: "Address"; secondary: true; visible: section.settingsView.window.g_tav2ModuleSelected || section.settingsView.window.g_rixModuleSelected }
            Label { text: section.settingsView.board ? section.settingsView.na(section.settingsView.board.addr) : ""; font.family: Style.font.mono; visible: section.settingsView.window.g_tav2ModuleSelected || section.settingsView.window.g_rixModuleSelected }
            Label { text: "LoRa"; secondary: true; visible: section.settingsView.board !== null && section.settingsView.board.loraCompatible }
            Label {
                visible: section.settingsView.board !== null && section.settingsView.board.loraCompatible
                text: section.settingsView.board && section.settingsView.board.loraStackIntegrated ? "integrated"
                      : "needs firmware " + (section.settingsView.board ? section.settingsView.board.loraMinVersion : "") + " or later"
            }
        }
        GetButton {
            Layout.alignment: Qt.AlignTop | Qt.AlignRight
            enabled: section.settingsView.window.g_enableInput
            toolTipText: "Read the identity again"
            onClicked: TavManager.getHwInfo()
        }
    }
}
