import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The modulation and radio configuration of a TAV2 or a RIX.
Pane {
    id: section

    // The module settings view: the board, the window-wide state, report() and na().
    required property var settingsView

    FileDialog {
        id: radioConfDialog
        title: "Import a radio configuration file (16 bytes)"
        fileMode: FileDialog.OpenFile
        nameFilters: ["Radio configuration (radio_conf_*.bin)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            section.settingsView.report(section.settingsView.tx.importRadioConfFile(String(selectedFile)), "Radio configuration sent.",
                        "the file is not a radio configuration (16 bytes, named radio_conf_..._.bin).")
        }
    }

    title: "Radio configuration"
    visible: section.settingsView.window.g_tav2ModuleSelected || section.settingsView.window.g_rixModuleSelected
    Layout.fillWidth: true

    GridLayout {
        anchors.fill: parent
        columns: 3
        columnSpacing: Style.size.largeSpacing
        rowSpacing: 2
        enabled: section.settingsView.window.g_enableInput

        Label { text: "Radio configuration file" }
        ComboBox {
            id: modulationCombo
            objectName: "modulationCombo"
            model: section.settingsView.tx.modulationList
            textRole: "display"
            displayText: count === 0 ? "No file in the configured folder" : currentText
            Layout.preferredWidth: 420
            onActivated: section.settingsView.report(section.settingsView.tx.changeModulationRadioConfiguration(currentText),
                                     "Radio configuration sent.", "the radio configuration was refused.")
        }
        RowLayout {
            ToolButton {
                iconRole: "refresh"
                toolTipText: "List the radio configuration files again"
                onClicked: section.settingsView.tx.refreshRadioConfList()
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
            text: section.settingsView.modulation
                  ? section.settingsView.na(section.settingsView.modulation.modulationName) + ", " + section.settingsView.na(section.settingsView.modulation.frequencyMin) + " - "
                    + section.settingsView.na(section.settingsView.modulation.frequencyMax) + " Hz, power " + section.settingsView.na(section.settingsView.modulation.power)
                    + ", payloads of " + section.settingsView.na(section.settingsView.modulation.allowedSizeText) + " bytes"
                  : Strings.notAvailable
        }
    }
}
