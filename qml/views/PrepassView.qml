import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import TxManager
import Strings
import Style
import "../types"
import "../delegates"

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

    title: Strings.prepassTitle

    Connections {
        target: view.aopModel
        function onDataChanged() { view.aopRevision++ }
        function onRowsInserted() { view.aopRevision++ }
        function onModelReset() { view.aopRevision++ }
    }
    Connections {
        target: TavManager.tx.prepassProfile
        function onAopDataDownloadFinished(error) {
            view.downloadMessage = error === "" ? "" : "ERROR: " + error
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
                                             ? ", next is row " + (view.tx.nextPassIdx + 1) : ", none to come"))
            }
            ToolButton {
                objectName: "prepassDownloadButton"
                iconRole: "download"
                toolTipText: "Download the satellites' status for the downlink column"
                onClicked: {
                    view.downloadMessage = ""
                    view.tx.prepassProfile.downloadAopData()
                }
            }
        }

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
                    }
                }
            }
        }
    }
}
