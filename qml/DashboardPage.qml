import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Payloads, profile, sequence and configuration of the connected board.
Page {
    id: page

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var tx: TavManager.tx
    property int repeatTarget: Settings.repeatCount
    property bool sequenceCompleted: false
    // "2 of 4 transmissions failed" once a sequence ended with failures.
    property string sequenceFailures: ""
    property string processingMessage: ""
    property bool processingError: false
    // The history takes lines in batches: the label is laid out once per
    // batch, not for every line of a chatty module.
    readonly property string lastLogLine: TavManager.logger.history.lastLine

    background: null

    function startOrStop() {
        if (tx.sequenceRunning) {
            // Stop clears the campaign's records: only once they are kept or let go.
            if (tx.txRecords.count > 0)
                stopDialog.open()
            else
                tx.stop()
        } else {
            repeatTarget = repeatSpin.value
            Settings.repeatCount = repeatSpin.value
            sequenceCompleted = false
            tx.start(repeatSpin.value)
        }
    }

    function stopAndClear() {
        tx.stop()
        tx.txRecords.clear()
    }

    Dialog {
        id: stopDialog
        objectName: "stopSequenceDialog"
        anchors.centerIn: parent
        modal: true
        title: "Stop the sequence?"
        Label {
            text: "The " + page.tx.txRecords.count + " transmissions recorded (" + page.tx.txRecords.summary()
                  + ") are cleared."
            wrapMode: Text.Wrap
            width: 420
        }
        footer: DialogButtonBox {
            Button {
                objectName: "stopExportFirstButton"
                text: "Export first…"
                // Qt 6.4's qmllint does not know the roles DialogButtonBox takes from Qt's dialog helper.
                DialogButtonBox.buttonRole: DialogButtonBox.ActionRole // qmllint disable type
                onClicked: { stopDialog.close(); stopExportDialog.open() }
            }
            Button {
                objectName: "stopAndClearButton"
                text: "Stop and clear"
                // Qt 6.4's qmllint does not know the roles DialogButtonBox takes from Qt's dialog helper.
                DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole // qmllint disable type
            }
            Button {
                text: "Cancel"
                // Qt 6.4's qmllint does not know the roles DialogButtonBox takes from Qt's dialog helper.
                DialogButtonBox.buttonRole: DialogButtonBox.RejectRole // qmllint disable type
            }
        }
        onAccepted: page.stopAndClear()
    }

    FileDialog {
        id: stopExportDialog
        title: "Save the transmissions, then stop"
        acceptLabel: "Save and stop"
        fileMode: FileDialog.SaveFile
        defaultSuffix: "csv"
        nameFilters: ["CSV files (*.csv)", "JSON Lines files (*.jsonl)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            const path = String(selectedFile)
            const failure = page.tx.txRecords.exportTo(path, path.endsWith(".jsonl") ? TxRecordModel.JSON_LINES : TxRecordModel.CSV)
            if (failure === "")
                page.stopAndClear()
            else
                TavManager.processingDataChanged(failure, true)
        }
    }

    Connections {
        target: TavManager.tx
        // Complete or ended with failures: either way the last round is over.
        function onSequenceEnded(failed, total) {
            page.sequenceFailures = TavManager.tx.failureText(failed, total)
            page.sequenceCompleted = true
        }
        function onSequenceRunningChanged() {
            if (!TavManager.tx.sequenceRunning) {
                page.sequenceCompleted = false
                page.sequenceFailures = ""
            }
        }
    }

    Connections {
        target: TavManager
        function onProcessingDataChanged(msg, error) {
            if (msg === undefined || msg === "")
                return
            page.processingError = error === true
            page.processingMessage = (error === true ? "ERROR: " : "") + msg
            processingMessageTimer.restart()
        }
    }

    Timer {
        id: processingMessageTimer
        interval: 1500
        onTriggered: page.processingMessage = ""
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

    // Two columns side by side where they fit, one above the other below
    // that; the page scrolls where the window is shorter than they need.
    PageScroll {
        id: scroll
        objectName: "dashboardScroll"
        anchors.fill: parent
        // The right column's share, never less than its controls need; the
        // texts in it wrap or elide instead of widening it.
        readonly property real sideWidth: Math.max(rightColumn.implicitWidth,
                                                   Math.min(520, (width - Style.size.boardMargin) * 0.45))
        // The payload list needs this much beside it, a scroll bar included.
        readonly property bool stacked: width < sideWidth + Style.size.boardMargin + 440
        minimumContentHeight: stacked ? columns.implicitHeight
                                      : Math.max(leftColumn.implicitHeight, rightColumn.implicitHeight)

        GridLayout {
            id: columns
            anchors.fill: parent
            columns: scroll.stacked ? 1 : 2
            columnSpacing: Style.size.boardMargin
            rowSpacing: Style.size.boardMargin

            ColumnLayout {
                id: leftColumn
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: Style.size.boardMargin

                TxView {
                    id: txView
                    objectName: "txView"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.minimumHeight: 200
                    Layout.preferredHeight: 260
                }

                PrepassView {
                    objectName: "prepassView"
                    visible: page.window.g_prepassProfileSelected
                    Layout.fillWidth: true
                    Layout.minimumHeight: 320
                    Layout.preferredHeight: Math.max(320, scroll.height * 0.42)
                }

                SatelliteView {
                    objectName: "satelliteView"
                    visible: page.window.g_prepassOnModuleProfileSelected
                    Layout.fillWidth: true
                    Layout.minimumHeight: 320
                    Layout.preferredHeight: Math.max(320, scroll.height * 0.42)
                }
            }

            ColumnLayout {
                id: rightColumn
                Layout.fillWidth: scroll.stacked
                Layout.preferredWidth: scroll.stacked ? -1 : scroll.sideWidth
                Layout.maximumWidth: scroll.stacked ? Infinity : scroll.sideWidth
                Layout.fillHeight: true
                spacing: Style.size.boardMargin

                ProfileSelectionView {
                    objectName: "profileSelectionView"
                    Layout.fillWidth: true
                }

                Pane {
                    title: Strings.sequenceTitle
                    Layout.fillWidth: true

                    ColumnLayout {
                        anchors.fill: parent
                        spacing: Style.size.spacing

                        RowLayout {
                            spacing: Style.size.spacing
                            Label { text: "Repeat" }
                            SpinBox {
                                id: repeatSpin
                                objectName: "repeatSpin"
                                from: 1
                                to: 255
                                editable: true
                                value: Settings.repeatCount
                                enabled: !page.tx.sequenceRunning
                            }
                            Label { text: "time(s)"; secondary: true }
                            Item { Layout.fillWidth: true }
                            Button {
                                objectName: "startStopButton"
                                text: page.tx.sequenceRunning ? (page.sequenceCompleted ? "Reset" : "Stop") : "Start"
                                icon.source: page.tx.sequenceRunning ? "" : Style.icon("next")
                                highlighted: !page.tx.sequenceRunning
                                enabled: page.tx.sequenceRunning
                                         || (page.window.g_connected && !page.tx.ackPending && !TavManager.busy && txView.payloadCount > 0)
                                toolTipText: txView.payloadCount === 0 && !page.tx.sequenceRunning
                                             ? "Add a payload first" : ""
                                Layout.preferredWidth: 130
                                onClicked: page.startOrStop()
                            }
                        }

                        Label {
                            objectName: "sequenceStatus"
                            Layout.fillWidth: true
                            Layout.preferredWidth: 0
                            elide: Text.ElideRight
                            text: {
                                if (page.tx.sequenceRunning && page.sequenceCompleted)
                                    return (page.sequenceFailures === ""
                                            ? "Sequence complete (" : "Sequence ended (")
                                            + page.tx.currentSequenceRepeatCount + "/" + page.repeatTarget + "): "
                                            + (page.sequenceFailures === "" ? "" : page.sequenceFailures + ": ")
                                            + "press Reset"
                                if (page.tx.computingSatelliteNextPass)
                                    return "The module is computing the next satellite pass..."
                                if (page.tx.ackPending)
                                    return page.tx.sequenceRunning ? "Waiting for the module to transmit..."
                                                                   : "Stopping: waiting for the last transmission..."
                                if (page.tx.sequenceRunning)
                                    return "Next transmission in " + Strings.duration(page.tx.timeUntilNextTx)
                                return "Idle"
                            }
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            ProgressBar {
                                objectName: "sequenceProgress"
                                Layout.fillWidth: true
                                from: 0
                                to: Math.max(1, page.repeatTarget)
                                value: page.tx.currentSequenceRepeatCount
                            }
                            Label {
                                text: page.tx.currentSequenceRepeatCount + "/" + page.repeatTarget
                                font.family: Style.font.mono
                            }
                        }
                    }
                }

                Pane {
                    title: Strings.configTitle
                    visible: page.window.g_trekonModuleSelected
                    Layout.fillWidth: true

                    ColumnLayout {
                        anchors.fill: parent
                        spacing: 4

                        RowLayout {
                            spacing: Style.size.spacing
                            enabled: page.window.g_enableInput && !TavManager.processingData
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
                            text: page.processingMessage
                            color: page.processingError ? Style.color.error : Style.color.success
                            elide: Text.ElideRight
                            ToolTip.visible: truncated && processingHover.hovered
                            ToolTip.text: text
                            HoverHandler {
                                id: processingHover
                            }
                        }
                    }
                }

                Item {
                    Layout.fillHeight: true
                }

                UtcView {
                    Layout.fillWidth: true
                    connected: page.window.g_connected
                    tav1ModuleSelected: page.window.g_tav1ModuleSelected
                    enableInput: page.window.g_enableInput
                }

                Label {
                    objectName: "lastLogLine"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    text: page.lastLogLine
                    secondary: true
                    elide: Text.ElideRight
                    font.family: Style.font.mono
                    ToolTip.visible: lastLogHover.hovered && page.lastLogLine !== ""
                    ToolTip.text: "The full log is in the settings (gear icon)"
                    HoverHandler {
                        id: lastLogHover
                    }
                }
            }
        }
    }
}
