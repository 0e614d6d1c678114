import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The pass list on a timeline (one lane per satellite, the next 24 hours
// unless zoomed) beside the sky plot of the selected pass.
Item {
    id: planner

    property var passes: null
    property var profile: null
    property double nowMs: 0
    property var txMarks: []
    property double nextTxMs: 0
    property int selectedRow: -1
    // The view follows the current time until the user moves it.
    property bool followNow: true
    property double spanMs: 24 * 3600 * 1000
    property double manualStartMs: 0
    readonly property double viewStartMs: followNow ? nowMs - spanMs / 24 : manualStartMs

    signal rowPicked(int row)

    function zoom(factor) {
        const centre = viewStartMs + spanMs / 2
        const span = Math.max(30 * 60 * 1000, Math.min(31 * 24 * 3600 * 1000, spanMs * factor))
        manualStartMs = centre - span / 2
        spanMs = span
        followNow = false
    }
    function showAll() {
        const start = timeline.listStartMs()
        const end = timeline.listEndMs()
        if (end <= start)
            return
        const margin = (end - start) / 50
        manualStartMs = start - margin
        spanMs = end - start + 2 * margin
        followNow = false
    }
    function showNext24Hours() {
        spanMs = 24 * 3600 * 1000
        followNow = true
    }

    RowLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 2

            RowLayout {
                spacing: 2
                Button {
                    objectName: "timelineNext24h"
                    text: "Next 24 h"
                    flat: !planner.followNow
                    highlighted: planner.followNow
                    onClicked: planner.showNext24Hours()
                }
                Button {
                    objectName: "timelineWholeList"
                    text: "Whole list"
                    flat: true
                    enabled: timeline.laneCount > 0
                    onClicked: planner.showAll()
                }
                Button { text: "−"; flat: true; toolTipText: "Zoom out"; onClicked: planner.zoom(2) }
                Button { text: "+"; flat: true; toolTipText: "Zoom in"; onClicked: planner.zoom(0.5) }
                Label {
                    Layout.fillWidth: true
                    secondary: true
                    elide: Text.ElideRight
                    text: "▼ sent  ✕ not sent  ○ next Tx  | now (UTC)"
                }
            }

            PassTimeline {
                id: timeline
                objectName: "passTimeline"
                Layout.fillWidth: true
                Layout.fillHeight: true
                passes: planner.passes
                // Qt 6.4's qmllint knows no 64-bit integer property (qint64 reaches it as qlonglong).
                nowMs: planner.nowMs // qmllint disable type
                // Qt 6.4's qmllint knows no 64-bit integer property (qint64 reaches it as qlonglong).
                viewStartMs: planner.viewStartMs // qmllint disable type
                // Qt 6.4's qmllint knows no 64-bit integer property (qint64 reaches it as qlonglong).
                spanMs: planner.spanMs // qmllint disable type
                txMarks: planner.txMarks
                // Qt 6.4's qmllint knows no 64-bit integer property (qint64 reaches it as qlonglong).
                nextTxMs: planner.nextTxMs // qmllint disable type
                selectedRow: planner.selectedRow
                textColor: Style.color.text
                accentColor: Style.color.accent

                Label {
                    anchors.centerIn: parent
                    visible: timeline.laneCount === 0
                    secondary: true
                    text: "No pass to show: import or predict passes."
                }
                TapHandler {
                    onTapped: (point) => {
                        const row = timeline.rowAt(point.position.x, point.position.y)
                        if (row >= 0)
                            planner.rowPicked(row)
                    }
                }
                DragHandler {
                    id: pan
                    target: null
                    property double startMs: 0
                    onActiveChanged: if (active) startMs = planner.viewStartMs
                    onTranslationChanged: {
                        if (!active)
                            return
                        const plotWidth = Math.max(1, timeline.width - timeline.labelWidth)
                        planner.manualStartMs = startMs - translation.x / plotWidth * planner.spanMs
                        planner.followNow = false
                    }
                }
                WheelHandler {
                    onWheel: (event) => planner.zoom(event.angleDelta.y > 0 ? 0.8 : 1.25)
                }
            }
        }

        ColumnLayout {
            Layout.fillHeight: true
            Layout.preferredWidth: Math.min(planner.height, 320)
            spacing: 2

            SkyPlot {
                id: sky
                objectName: "skyPlot"
                Layout.fillWidth: true
                Layout.fillHeight: true
                passes: planner.passes
                profile: planner.profile
                row: planner.selectedRow
                textColor: Style.color.text
                accentColor: Style.color.accent
            }
            Label {
                objectName: "skyPlotCaption"
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                secondary: true
                text: !sky.hasPass ? "Select a pass to see its track in the sky"
                      : (sky.computed ? "Track from orbit data" : "Start, highest point and end only")
                        + ", dashed: minimum elevation " + (planner.profile ? planner.profile.config.minElevation : 0) + "°"
            }
        }
    }
}
