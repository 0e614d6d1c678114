pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The imported satellite passes as a fixed-width table, the pass under way
// highlighted and the next one marked.
Pane {
    id: view

    readonly property var tx: TavManager.tx
    readonly property var aopModel: TavManager.tx.prepassProfile.satelliteAopModel
    readonly property var columnWidths: [110, 80, 165, 165, 75, 60, 120]
    readonly property var captions: ["Satellite", "Downlink", "Start (UTC)", "End (UTC)", "Duration", "Elev.", "Azimuth (°)"]
    // Bumped whenever the satellite list changes, so the downlink column is
    // asked again.
    property int aopRevision: 0
    property string downloadMessage: ""
    // The pass shown on the sky plot: picked in the table or on the timeline.
    property int selectedRow: -1
    // Transmissions of the campaign: [{timeMs, sent, result}].
    property var txMarks: []
    readonly property double nowMs: (view.tx.utcTime, Date.now() + view.tx.utcTimeOffset * 1000)

    title: Strings.prepassTitle

    Connections {
        target: view.aopModel
        function onDataChanged() { view.aopRevision++ }
        function onRowsInserted() { view.aopRevision++ }
        function onModelReset() { view.aopRevision++ }
    }
    // One tick per recorded transmission, on its request time, by result.
    Connections {
        target: view.tx.txRecords
        function onCountsChanged() { view.txMarks = view.tx.txRecords.marks() }
    }
    Connections {
        target: view.tx.prepassListModel
        function onModelReset() { view.selectedRow = view.tx.prepassListModel.rowCount() > 0 ? 0 : -1 }
    }
    Connections {
        target: TavManager.tx.prepassProfile
        function onAopDataDownloadFinished(error) {
            view.downloadMessage = error === "" ? "" : "ERROR: " + error + " " + view.tx.prepassProfile.aopUrlHint
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 4

        RowLayout {
            Layout.fillWidth: true
            Label {
                Layout.fillWidth: true
                secondary: view.downloadMessage === ""
                color: view.downloadMessage === "" ? Style.color.textSecondary : Style.color.error
                elide: Text.ElideRight
                text: view.downloadMessage !== "" ? view.downloadMessage
                      : (table.count === 0 ? "No pass imported yet: import the CSV file exported from ArgosWeb."
                                           : table.count + " pass(es)" + (view.tx.nextPassIdx < table.count
                                             ? ", next is row " + (view.tx.nextPassIdx + 1) : ", none to come")
                                             + (view.tx.prepassSource !== "" ? " · " + view.tx.prepassSource : ""))
            }
            TabBar {
                id: modeBar
                objectName: "prepassModeBar"
                TabButton { text: "Table"; width: implicitWidth }
                TabButton { objectName: "timelineTab"; text: "Timeline"; width: implicitWidth }
            }
            ToolButton {
                objectName: "prepassDownloadButton"
                iconRole: "download"
                enabled: !view.tx.prepassProfile.downloading
                toolTipText: "Download the satellites' status for the downlink column"
                onClicked: {
                    view.downloadMessage = ""
                    view.tx.prepassProfile.downloadAopData()
                }
            }
        }

        Label {
            objectName: "prepassWarnings"
            Layout.fillWidth: true
            visible: view.tx.prepassWarnings.length > 0
            wrapMode: Text.Wrap
            color: Style.color.error
            text: view.tx.prepassWarnings.join("\n")
        }

        StackLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            currentIndex: modeBar.currentIndex

        Flickable {
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: tableColumn.width
            contentHeight: height
            clip: true
            flickableDirection: Flickable.HorizontalFlick
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.horizontal: ScrollBar {}

            Column {
                id: tableColumn
                width: Math.max(view.columnWidths.reduce((a, b) => a + b, 0) + 16, view.availableWidth)
                height: parent.height

                Row {
                    x: 8
                    height: Style.size.rowHeight
                    Repeater {
                        model: view.captions
                        Text {
                            required property var modelData
                            required property int index
                            width: view.columnWidths[index]
                            height: Style.size.rowHeight
                            verticalAlignment: Text.AlignVCenter
                            text: modelData
                            font.family: Style.font.mono
                            font.pointSize: Style.font.smallPointSize
                            font.bold: true
                            color: Style.color.textSecondary
                        }
                    }
                }
                Rectangle {
                    width: parent.width
                    height: 1
                    color: Style.color.paneBorder
                }

                ListView {
                    id: table
                    objectName: "prepassTable"
                    width: parent.width
                    height: parent.height - Style.size.rowHeight - 1
                    clip: true
                    model: view.tx.prepassListModel
                    boundsBehavior: Flickable.StopAtBounds
                    ScrollBar.vertical: ScrollBar {}

                    delegate: PrepassTableDelegate {
                        width: table.width
                        columnWidths: view.columnWidths
                        isNext: index === view.tx.nextPassIdx
                        downlink: (view.aopRevision, view.aopModel.getDownlinkCapability(String(model.satellite)))
                        border.width: index === view.selectedRow ? 1 : 0
                        border.color: Style.color.accent
                        TapHandler { onTapped: view.selectedRow = parent.index }
                    }
                }
            }
        }

        PassPlanner {
            objectName: "passPlanner"
            passes: view.tx.prepassListModel
            profile: view.tx.prepassProfile
            nowMs: view.nowMs
            txMarks: view.txMarks
            nextTxMs: view.tx.sequenceRunning && view.tx.timeUntilNextTx > 0 ? view.nowMs + view.tx.timeUntilNextTx * 1000 : 0
            selectedRow: view.selectedRow
            onRowPicked: (row) => view.selectedRow = row
        }
        }
    }
}
