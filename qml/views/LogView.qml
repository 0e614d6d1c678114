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
    property bool waitingCustomCmd: false
    readonly property alias commands: commands
    property string exportMessage: ""

    title: "Log"

    function sendCustomCmd() {
        const cmd = customCmd.text.trim()
        if (cmd === "")
            return
        commands.add(cmd)
        waitingCustomCmd = true
        TavManager.requestCustomCmd(cmd)
        customCmd.selectAll()
    }

    function sendFavourite(cmd) {
        customCmd.text = cmd
        sendCustomCmd()
    }

    Binding {
        target: TavManager.logger.history
        property: "maxLines"
        value: Settings.logMaxLines
    }

    CommandHistory {
        id: commands
        words: TavManager.board ? TavManager.board.commandWords : []
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

    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequence: StandardKey.Find // qmllint disable unqualified
        enabled: view.visible
        onActivated: searchField.forceActiveFocus()
    }
    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequences: [StandardKey.FindNext, "F3"] // qmllint disable unqualified
        enabled: view.visible && logFrame.search.active
        onActivated: logFrame.search.next()
    }
    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequences: [StandardKey.FindPrevious, "Shift+F3"] // qmllint disable unqualified
        enabled: view.visible && logFrame.search.active
        onActivated: logFrame.search.previous()
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

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.size.spacing

            InputTextField {
                id: searchField
                objectName: "logSearchField"
                Layout.fillWidth: true
                placeholderText: "Search the log (Ctrl+F)"
                error: logFrame.search.error !== ""
                toolTipText: logFrame.search.error !== "" ? logFrame.search.error
                             : "Enter: next match, Shift+Enter: previous, F3 as well"
                onTextChanged: logFrame.search.text = text
                function step(event) {
                    if (event.modifiers & Qt.ShiftModifier)
                        logFrame.search.previous()
                    else
                        logFrame.search.next()
                }
                Keys.onReturnPressed: event => step(event)
                Keys.onEnterPressed: event => step(event)
                Keys.onEscapePressed: text = ""
            }
            CheckBox {
                objectName: "logSearchRegex"
                text: "Expression"
                checked: logFrame.search.regularExpression
                onToggled: logFrame.search.regularExpression = checked
            }
            Label {
                objectName: "logSearchCount"
                secondary: logFrame.search.error === ""
                color: logFrame.search.error !== "" ? Style.color.error : Style.color.textSecondary
                text: logFrame.search.error !== "" ? logFrame.search.error
                    : !logFrame.search.active ? ""
                    : logFrame.search.count === 0 ? "No match"
                    : (logFrame.search.current + 1) + " of " + logFrame.search.count
                elide: Text.ElideRight
                Layout.maximumWidth: view.width * 0.3
            }
            ToolButton {
                text: "\u25B2"
                display: AbstractButton.TextOnly
                toolTipText: "Previous match (Shift+Enter)"
                enabled: logFrame.search.count > 0
                onClicked: logFrame.search.previous()
            }
            ToolButton {
                text: "\u25BC"
                display: AbstractButton.TextOnly
                toolTipText: "Next match (Enter, F3)"
                enabled: logFrame.search.count > 0
                onClicked: logFrame.search.next()
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 0

            Label {
                text: "Show:"
                secondary: true
                rightPadding: Style.size.spacing
            }
            Repeater {
                model: [{ name: "APP", source: 0 }, { name: "TAV", source: 1 }, { name: "TRK", source: 2 }]
                CheckBox {
                    required property var modelData
                    objectName: "logSource" + modelData.name
                    text: modelData.name
                    checked: logFrame.model.sources & (1 << modelData.source)
                    onToggled: logFrame.model.sources = checked ? logFrame.model.sources | (1 << modelData.source)
                                                                : logFrame.model.sources & ~(1 << modelData.source)
                }
            }
            CheckBox {
                objectName: "logRequestsOnly"
                text: "AT commands only"
                checked: logFrame.model.requestsOnly
                onToggled: logFrame.model.requestsOnly = checked
            }
            CheckBox {
                objectName: "logErrorsOnly"
                text: "Errors only"
                checked: logFrame.model.errorsOnly
                onToggled: logFrame.model.errorsOnly = checked
            }
            Item {
                Layout.fillWidth: true
            }
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
                enabled: view.window.g_connected && !view.waitingCustomCmd && view.window.g_enableInput
                toolTipText: "Sent as typed, followed by CR LF. Up and Down recall the last commands, Tab completes the command word."
                onAccepted: view.sendCustomCmd()
                onTextEdited: commands.restartWalk()
                Keys.onUpPressed: text = commands.older(text)
                Keys.onDownPressed: text = commands.newer()
                Keys.onTabPressed: event => {
                    text = commands.complete(text)
                    event.accepted = true
                }
            }
            ToolButton {
                objectName: "favouriteCmdButton"
                iconRole: "star"
                icon.color: commands.favourites, commands.isFavourite(customCmd.text) ? Style.color.norvaneYellow
                                                                                       : Style.color.textSecondary
                toolTipText: commands.isFavourite(customCmd.text) ? "Remove from the favourites" : "Keep among the favourites"
                enabled: customCmd.text.trim() !== ""
                onClicked: commands.toggleFavourite(customCmd.text)
            }
            ToolButton {
                objectName: "favouritesMenuButton"
                text: "\u2630"
                display: AbstractButton.TextOnly
                toolTipText: commands.favourites.length === 0 ? "No favourite yet: the star keeps the command typed"
                                                              : "Send a favourite again"
                enabled: commands.favourites.length > 0
                onClicked: favouritesMenu.popup()
                Menu {
                    id: favouritesMenu
                    objectName: "favouritesMenu"
                    Repeater {
                        model: commands.favourites
                        MenuItem {
                            required property string modelData
                            text: modelData
                            font.family: Style.font.mono
                            enabled: customCmd.enabled
                            onTriggered: view.sendFavourite(modelData)
                        }
                    }
                }
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
