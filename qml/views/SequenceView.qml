import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The sequence: its repeat count, start and stop, status and progress.
Pane {
    id: sequence

    // Whether a sequence may start: a board connected, payloads to send.
    property bool connected: false
    property int payloadCount: 0
    // What the stop dialog shows in the middle of.
    property Item dialogParent: null
    readonly property var tx: TavManager.tx
    property int repeatTarget: Settings.repeatCount
    property bool sequenceCompleted: false
    // "2 of 4 transmissions failed" once a sequence ended with failures.
    property string sequenceFailures: ""

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
        parent: sequence.dialogParent
        anchors.centerIn: parent
        modal: true
        title: "Stop the sequence?"
        Label {
            text: "The " + sequence.tx.txRecords.count + " transmissions recorded (" + sequence.tx.txRecords.summary()
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
        onAccepted: sequence.stopAndClear()
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
            const failure = sequence.tx.txRecords.exportTo(path, path.endsWith(".jsonl") ? TxRecordModel.JSON_LINES : TxRecordModel.CSV)
            if (failure === "")
                sequence.stopAndClear()
            else
                TavManager.processingDataChanged(failure, true)
        }
    }

    Connections {
        target: TavManager.tx
        // Complete or ended with failures: either way the last round is over.
        function onSequenceEnded(failed, total) {
            sequence.sequenceFailures = TavManager.tx.failureText(failed, total)
            sequence.sequenceCompleted = true
        }
        function onSequenceRunningChanged() {
            if (!TavManager.tx.sequenceRunning) {
                sequence.sequenceCompleted = false
                sequence.sequenceFailures = ""
            }
        }
    }

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
                    enabled: !sequence.tx.sequenceRunning
                }
                Label { text: "time(s)"; secondary: true }
                Item { Layout.fillWidth: true }
                Button {
                    objectName: "startStopButton"
                    text: sequence.tx.sequenceRunning ? (sequence.sequenceCompleted ? "Reset" : "Stop") : "Start"
                    icon.source: sequence.tx.sequenceRunning ? "" : Style.icon("next")
                    highlighted: !sequence.tx.sequenceRunning
                    enabled: sequence.tx.sequenceRunning
                             || (sequence.connected && !sequence.tx.ackPending && !TavManager.busy && sequence.payloadCount > 0)
                    toolTipText: sequence.payloadCount === 0 && !sequence.tx.sequenceRunning
                                 ? "Add a payload first" : ""
                    Layout.preferredWidth: 130
                    onClicked: sequence.startOrStop()
                }
            }

            Label {
                objectName: "sequenceStatus"
                Layout.fillWidth: true
                Layout.preferredWidth: 0
                elide: Text.ElideRight
                text: {
                    if (sequence.tx.sequenceRunning && sequence.sequenceCompleted)
                        return (sequence.sequenceFailures === ""
                                ? "Sequence complete (" : "Sequence ended (")
                                + sequence.tx.currentSequenceRepeatCount + "/" + sequence.repeatTarget + "): "
                                + (sequence.sequenceFailures === "" ? "" : sequence.sequenceFailures + ": ")
                                + "press Reset"
                    if (sequence.tx.computingSatelliteNextPass)
                        return "The module is computing the next satellite pass..."
                    if (sequence.tx.ackPending)
                        return sequence.tx.sequenceRunning ? "Waiting for the module to transmit..."
                                                       : "Stopping: waiting for the last transmission..."
                    if (sequence.tx.sequenceRunning)
                        return "Next transmission in " + Strings.duration(sequence.tx.timeUntilNextTx)
                    return "Idle"
                }
            }

            RowLayout {
                Layout.fillWidth: true
                ProgressBar {
                    objectName: "sequenceProgress"
                    Layout.fillWidth: true
                    from: 0
                    to: Math.max(1, sequence.repeatTarget)
                    value: sequence.tx.currentSequenceRepeatCount
                }
                Label {
                    text: sequence.tx.currentSequenceRepeatCount + "/" + sequence.repeatTarget
                    font.family: Style.font.mono
                }
            }
        }
}
