import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import Settings
import Style
import "../types"

// Every exchange with the module, with clear, export, copy and, in expert
// mode, a field to send an AT command of your own.
Pane {
    id: view

    readonly property alias exportDialog: exportDialog

    readonly property alias frame: logFrame
    property bool waitingCustomCmd: false
    property var history: []
    property int historyIndex: -1
    property string exportMessage: ""

    title: "Log"

    function sendCustomCmd() {
        const cmd = customCmd.text.trim()
        if (cmd === "")
            return
        history = history.filter(c => c !== cmd).concat([cmd]).slice(-50)
        historyIndex = -1
        waitingCustomCmd = true
        TavManager.requestCustomCmd(cmd)
        customCmd.selectAll()
    }

    function browseHistory(step) {
        if (history.length === 0)
            return
        historyIndex = historyIndex < 0 ? history.length - 1 : Math.max(0, Math.min(history.length - 1, historyIndex + step))
        customCmd.text = history[historyIndex]
    }

    function exportTo(file, atOnly) {
        const logs = logFrame.text()
        const count = logFrame.shownLines
        const written = TavManager.logger.exportLogsToFile(file, logs, atOnly)
        const name = decodeURIComponent(String(file).replace(/^.*\//, ""))
        if (written === false)
            exportMessage = "ERROR: unable to write " + name
        else
            exportMessage = (atOnly ? "Wrote the AT commands found in the " : "Wrote the ") + count
                            + " lines shown to " + name
                            + (logFrame.truncated ? " (older lines were already dropped)" : "")
        exportMessageTimer.restart()
    }

    Connections {
        target: TavManager.logger
        function onLogCreated(log) {
            logFrame.append(log)
        }
        function onLogsCleared() {
            logFrame.clear()
        }
    }

    Connections {
        target: TavManager
        function onCustomCmdCompleted() {
            view.waitingCustomCmd = false
        }
    }

    Timer {
        id: exportMessageTimer
        interval: 6000
        onTriggered: view.exportMessage = ""
    }

    FileDialog {
        id: exportDialog
        objectName: "exportLogDialog"
        property bool atOnly: false
        title: atOnly ? "Export the AT commands of the " + logFrame.shownLines + " log lines shown (no time stamps)"
                      : "Export the " + logFrame.shownLines + " log lines shown"
        fileMode: FileDialog.SaveFile
        defaultSuffix: atOnly ? "txt" : "log"
        nameFilters: atOnly ? ["Text files (*.txt)", "All files (*)"] : ["Log files (*.log *.txt)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            view.exportTo(selectedFile.toString(), atOnly)
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        RowLayout {
            Layout.fillWidth: true
            spacing: 2

            ToolButton {
                objectName: "clearLogButton"
                iconRole: "delete"
                toolTipText: "Clear the log"
                onClicked: TavManager.logger.clearLogs()
            }
            ToolButton {
                objectName: "exportLogButton"
                iconRole: "export"
                toolTipText: "Export the lines shown, with time stamps and sources"
                onClicked: {
                    exportDialog.atOnly = false
                    exportDialog.open()
                }
            }
            ToolButton {
                objectName: "exportAtLogButton"
                iconRole: "filter_at_cmd"
                toolTipText: "Export only the AT commands sent, one per line"
                onClicked: {
                    exportDialog.atOnly = true
                    exportDialog.open()
                }
            }
            CopyToolButton {
                objectName: "copyLogButton"
                provider: () => logFrame.text()
            }
            Switch {
                text: "Follow"
                checked: Settings.logAutoScroll
                onToggled: Settings.logAutoScroll = checked
            }
            Item {
                Layout.fillWidth: true
            }
            Label {
                objectName: "exportMessage"
                text: view.exportMessage
                secondary: true
                elide: Text.ElideLeft
                Layout.maximumWidth: view.width * 0.5
            }
        }

        LogFrame {
            id: logFrame
            objectName: "logFrame"
            Layout.fillWidth: true
            Layout.fillHeight: true
            autoScroll: Settings.logAutoScroll
        }

        RowLayout {
            Layout.fillWidth: true
            visible: Settings.mode === TavManager.EXPERT
            spacing: Style.size.spacing

            InputTextField {
                id: customCmd
                objectName: "customCmdField"
                Layout.fillWidth: true
                placeholderText: "Custom command, for example AT+FW=?"
                font.family: Style.font.mono
                error: false
                enabled: g_connected && !view.waitingCustomCmd && g_enableInput
                toolTipText: "Sent as typed, followed by CR LF. Up and down recall the last commands."
                onAccepted: view.sendCustomCmd()
                Keys.onUpPressed: view.browseHistory(-1)
                Keys.onDownPressed: view.browseHistory(1)
            }
            Button {
                objectName: "sendCustomCmdButton"
                text: "Send"
                icon.source: Style.icon("next")
                enabled: customCmd.enabled && customCmd.text.trim() !== ""
                onClicked: view.sendCustomCmd()
            }
            BusyIndicator {
                running: view.waitingCustomCmd
                visible: running
                Layout.preferredWidth: 32
                Layout.preferredHeight: 32
            }
        }
    }
}
