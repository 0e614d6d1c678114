pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Every transmission of the sequence, newest first, with its result as the
// module gave it, the pass it was meant for and the satellites in view.
Pane {
    id: view

    readonly property var records: TavManager.tx.txRecords
    readonly property var filter: TavManager.tx.txRecordFilter
    property string exportMessage: ""

    title: "Transmissions"

    function exportAs(csv) {
        exportDialog.csv = csv
        exportDialog.open()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        RowLayout {
            Layout.fillWidth: true
            Label {
                objectName: "txRecordCounts"
                text: view.records.sentCount + " sent · " + view.records.failedCount + " failed · "
                      + view.records.noAnswerCount + " no answer"
                font.bold: true
            }
            Item { Layout.fillWidth: true }
            ComboBox {
                objectName: "txRecordResultFilter"
                model: ["All results", "Sent", "Failed", "No answer"]
                onActivated: index => view.filter.result = index - 1
            }
            SpinBox {
                objectName: "txRecordPayloadFilter"
                from: -1
                to: 254
                value: -1
                textFromValue: value => value < 0 ? "All payloads" : "P" + value
                valueFromText: text => text.startsWith("P") ? parseInt(text.substring(1)) : -1
                onValueModified: view.filter.payload = value
            }
            Button {
                text: "Export CSV"
                enabled: view.records.count > 0
                onClicked: view.exportAs(true)
            }
            Button {
                text: "Export JSON Lines"
                enabled: view.records.count > 0
                onClicked: view.exportAs(false)
            }
        }
        Label {
            visible: view.exportMessage !== "" || view.records.count === 0
            Layout.fillWidth: true
            secondary: true
            wrapMode: Text.Wrap
            text: view.exportMessage !== "" ? view.exportMessage
                                            : "No transmission yet: each Tx of a sequence is listed here as it ends."
        }

        ListView {
            id: list
            objectName: "txRecordList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: view.filter
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Label {
                required property string time
                required property int payload
                required property string message
                required property string attempt
                required property int round
                required property int result
                required property string resultName
                required property string error
                required property string pass
                required property string inView
                width: list.width - 12
                elide: Text.ElideRight
                color: result === 0 ? Style.color.success : result === 1 ? Style.color.error : Style.color.warning
                text: time.replace("T", " ") + "  P" + payload + " " + attempt + " (round " + round + ")  "
                      + resultName + (error !== "" ? " — " + error : "")
                      + (pass !== "" ? "  · pass " + pass : "") + (inView !== "" ? "  · in view: " + inView : "")
            }
        }
    }

    FileDialog {
        id: exportDialog
        objectName: "exportTxRecordsDialog"
        property bool csv: true
        title: "Save the " + view.records.count + " transmissions"
        acceptLabel: "Save"
        fileMode: FileDialog.SaveFile
        defaultSuffix: csv ? "csv" : "jsonl"
        nameFilters: csv ? ["CSV files (*.csv)", "All files (*)"] : ["JSON Lines files (*.jsonl)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            const failure = view.records.exportTo(selectedFile.toString(), csv ? TxRecordModel.CSV : TxRecordModel.JSON_LINES)
            view.exportMessage = failure !== "" ? failure : "Exported " + view.records.count + " transmissions"
        }
    }
}
