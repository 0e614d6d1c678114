import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The whole configuration: get, upload, import and export, and what the
// last of them said.
Pane {
    id: configuration

    property bool enableInput: true
    readonly property var tx: TavManager.tx
    property string processingMessage: ""
    property bool processingError: false

    Connections {
        target: TavManager
        function onProcessingDataChanged(msg, error) {
            if (msg === undefined || msg === "")
                return
            configuration.processingError = error === true
            configuration.processingMessage = (error === true ? "ERROR: " : "") + msg
            processingMessageTimer.restart()
        }
    }

    Timer {
        id: processingMessageTimer
        interval: 1500
        onTriggered: configuration.processingMessage = ""
    }

    FileDialog {
        id: importConfigDialog
        title: "Import a configuration"
        fileMode: FileDialog.OpenFile
        nameFilters: ["Configuration files (*.cfg *.cnf *.conf *.config *.ini *.log *.txt)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            // What the file changes comes first; nothing is loaded or sent
            // before the user's word.
            if (configCheck.compareWithViews(String(selectedFile)))
                configDiffDialog.open()
        }
    }

    ConfigCheck {
        id: configCheck
        manager: TavManager
    }

    ConfigDiffDialog {
        id: configDiffDialog
        objectName: "configDiffDialog"
        check: configCheck
        onLoadRequested: configCheck.load()
        onUploadRequested: configCheck.loadUploadAndVerify()
    }

    FileDialog {
        id: exportConfigDialog
        title: "Save the configuration (the AT commands an upload would send)"
        acceptLabel: "Save"
        fileMode: FileDialog.SaveFile
        defaultSuffix: "conf"
        nameFilters: ["Configuration files (*.conf *.cfg *.cnf *.config *.ini *.log *.txt)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            TavManager.exportConfig(String(selectedFile))
        }
    }

        title: Strings.configTitle
        Layout.fillWidth: true

        ColumnLayout {
            anchors.fill: parent
            spacing: 4

            RowLayout {
                spacing: Style.size.spacing
                enabled: configuration.enableInput && !TavManager.processingData
                GetButton {
                    objectName: "getConfigButton"
                    toolTipText: "Read the whole configuration from the board"
                    onClicked: TavManager.getConfig()
                }
                SetButton {
                    objectName: "uploadConfigButton"
                    text: "Upload"
                    toolTipText: "Write the whole configuration to the board, which then restarts"
                    onClicked: TavManager.uploadConfig()
                }
                ToolButton {
                    objectName: "importConfigButton"
                    iconRole: "import"
                    toolTipText: "Load a configuration file into the views (upload it afterwards, or at once)"
                    onClicked: importConfigDialog.open()
                }
                ToolButton {
                    objectName: "exportConfigButton"
                    iconRole: "export"
                    toolTipText: "Export the configuration as the AT commands an upload sends"
                    onClicked: exportConfigDialog.open()
                }
                BusyIndicator {
                    objectName: "processingIndicator"
                    running: TavManager.processingData
                    visible: running
                    Layout.preferredWidth: 32
                    Layout.preferredHeight: 32
                }
            }
            Label {
                objectName: "notUploadedMark"
                Layout.fillWidth: true
                Layout.preferredWidth: 0
                visible: TavManager.notUploadedFile !== ""
                text: "Loaded from " + TavManager.notUploadedFile + ", not yet uploaded"
                color: Style.color.warning
                wrapMode: Text.Wrap
            }
            // A line of its own, empty or not, so that a passing
            // message moves nothing under the pointer; the whole
            // text is in its tooltip and the notifications.
            Label {
                objectName: "processingMessage"
                Layout.fillWidth: true
                Layout.preferredWidth: 0
                text: configuration.processingMessage
                color: configuration.processingError ? Style.color.error : Style.color.success
                elide: Text.ElideRight
                ToolTip.visible: truncated && processingHover.hovered
                ToolTip.text: text
                HoverHandler {
                    id: processingHover
                }
            }
        }
}
