pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Every exchange with the module, with clear, export, copy and, in expert
// mode, a field to send an AT command of your own.
Pane {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property alias exportDialog: exportDialog

    readonly property alias frame: logFrame
    readonly property alias waitingCustomCmd: commandBar.waiting
    readonly property alias commands: commandBar.commands
    property string exportMessage: ""

    title: "Log"

    Binding {
        target: TavManager.logger.history
        property: "maxLines"
        value: Settings.logMaxLines
    }

    // `wholeHistory` writes every line kept, whatever the filters show.
    function exportTo(file, atOnly, wholeHistory) {
        const whole = wholeHistory === true
        logFrame.flush()
        const logs = whole ? logFrame.history.text() : logFrame.text()
        const count = whole ? logFrame.history.count : logFrame.shownLines
        const written = TavManager.logger.exportLogsToFile(file, logs, atOnly)
        const name = decodeURIComponent(String(file).replace(/^.*\//, ""))
        if (written === false)
            exportMessage = "ERROR: unable to write " + name + ": " + TavManager.logger.lastWriteError()
        else
            exportMessage = (atOnly ? "Wrote the AT commands found in the " : "Wrote the ") + count
                            + (whole ? " lines of the history to " : " lines shown to ") + name
                            + (logFrame.truncated ? " (older lines were already dropped)" : "")
        exportMessageTimer.restart()
    }

    // Export asks what to write only when the filters hide some lines.
    function startExport(atOnly) {
        // The lines still in the history's batch count too.
        logFrame.flush()
        exportDialog.atOnly = atOnly
        exportDialog.wholeHistory = true
        if (logFrame.model.filtered)
            exportScopeDialog.open()
        else
            exportDialog.open()
    }

    function copyLines() {
        logFrame.flush()
        copyButton.copy(logFrame.model.selectedText())
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
        property bool wholeHistory: true
        readonly property int lineCount: wholeHistory ? (logFrame.history ? logFrame.history.count : 0) : logFrame.shownLines
        readonly property string scope: lineCount + " log lines"
                                        + (wholeHistory && logFrame.model.filtered ? " of the history" : " shown")
        title: atOnly ? "Save the AT commands of the " + scope + " (no time stamps)" : "Save the " + scope
        acceptLabel: "Save"
        fileMode: FileDialog.SaveFile
        defaultSuffix: atOnly ? "txt" : "log"
        nameFilters: atOnly ? ["Text files (*.txt)", "All files (*)"] : ["Log files (*.log *.txt)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            view.exportTo(String(selectedFile), atOnly, wholeHistory)
        }
    }

    Dialog {
        id: exportScopeDialog
        objectName: "exportScopeDialog"
        title: "Export which lines?"
        anchors.centerIn: parent
        modal: true
        standardButtons: Dialog.Cancel
        Column {
            spacing: Style.size.spacing
            Button {
                objectName: "exportWholeButton"
                text: "The whole history (" + (logFrame.history ? logFrame.history.count : 0) + " lines)"
                onClicked: {
                    exportScopeDialog.close()
                    exportDialog.wholeHistory = true
                    exportDialog.open()
                }
            }
            Button {
                objectName: "exportShownButton"
                text: "What the filters show (" + logFrame.shownLines + " lines)"
                onClicked: {
                    exportScopeDialog.close()
                    exportDialog.wholeHistory = false
                    exportDialog.open()
                }
            }
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
                onClicked: view.startExport(false)
            }
            ToolButton {
                objectName: "exportAtLogButton"
                iconRole: "filter_at_cmd"
                toolTipText: "Export only the AT commands sent, one per line"
                onClicked: view.startExport(true)
            }
            CopyToolButton {
                id: copyButton
                objectName: "copyLogButton"
                toolTipText: copiedShown ? "Copied to clipboard"
                           : logFrame.model.selectedCount > 0 ? "Copy the selected lines" : "Copy the lines shown"
                provider: () => logFrame.model.selectedText()
            }
            Switch {
                text: "Follow"
                checked: Settings.logAutoScroll
                onToggled: Settings.logAutoScroll = checked
            }
            Label {
                text: "Log lines kept"
                secondary: true
            }
            SpinBox {
                objectName: "logMaxLines"
                from: 100
                to: 1000000
                stepSize: 10000
                editable: true
                value: Settings.logMaxLines
                onValueModified: Settings.logMaxLines = value
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

        LogSearchBar {
            Layout.fillWidth: true
            frame: logFrame
            maximumTextWidth: view.width * 0.3
        }

        LogFilterBar {
            Layout.fillWidth: true
            frame: logFrame
        }

        LogFrame {
            id: logFrame
            objectName: "logFrame"
            Layout.fillWidth: true
            Layout.fillHeight: true
            history: TavManager.logger.history
            autoScroll: Settings.logAutoScroll
            onCopyRequested: view.copyLines()
        }

        CustomCommandBar {
            id: commandBar
            objectName: "customCommandBar"
            Layout.fillWidth: true
            visible: Settings.mode === TavManager.EXPERT
            connected: view.window.g_connected
            enableInput: view.window.g_enableInput
        }
    }
}
