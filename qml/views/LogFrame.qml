pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls as C
import com.norvane.qml
import com.norvane.qml.types

// A log pane over the logger's history: the lines the filters let through,
// the search's matches marked, lines selected by click, Shift+click and
// Ctrl+A. The history adds lines in batches, so a chatty module costs one
// view update per batch.
Rectangle {
    id: frame

    property var history: null
    readonly property var model: lines
    readonly property var search: lines.search
    readonly property alias listView: view
    property bool autoScroll: true
    property bool colorBySource: true
    // Lines received since the last clear, kept or not.
    readonly property int totalLines: history ? history.totalLines : 0
    readonly property int shownLines: lines.count
    readonly property bool truncated: history !== null && totalLines > history.count
    readonly property string summary: lines.summary

    signal copyRequested()

    function flush() {
        if (history)
            history.flush()
    }

    // The lines shown as one text, in order, joined by newlines.
    function text() {
        flush()
        return lines.text()
    }

    function lineColor(kind) {
        if (!colorBySource)
            return Style.color.text
        if (kind === LogModel.REQUEST)
            return Style.color.norvanePink
        if (kind === LogModel.ERROR)
            return Style.color.error
        if (kind === LogModel.APPLICATION)
            return Style.color.textSecondary
        return Style.color.text
    }

    color: Style.color.logBackground
    border.color: Style.color.paneBorder
    radius: Style.size.radius
    clip: true

    LogViewModel {
        id: lines
        history: frame.history
        property bool stickToEnd: true
        // Decided before the rows come, applied once they are laid out.
        // A hidden pane follows too: it shows the newest lines when it
        // comes back.
        onRowsAboutToBeInserted: stickToEnd = frame.autoScroll && (view.atYEnd || view.count === 0 || !frame.visible)
        onRowsInserted: {
            if (stickToEnd)
                view.positionViewAtEnd()
        }
    }

    // Following goes on from the end whenever nothing holds the view
    // elsewhere: once the search is cleared, the pane shown again, or Follow
    // switched on.
    function followAgain() {
        if (frame.autoScroll && !lines.search.active)
            view.positionViewAtEnd()
    }
    onAutoScrollChanged: followAgain()
    onVisibleChanged: {
        if (visible)
            followAgain()
    }

    Connections {
        target: lines.search
        function onCurrentChanged() {
            if (lines.search.currentRow >= 0)
                view.positionViewAtIndex(lines.search.currentRow, ListView.Center)
        }
        function onActiveChanged() {
            frame.followAgain()
        }
    }

    ListView {
        id: view
        objectName: "logList"
        anchors.fill: parent
        anchors.margins: 6
        anchors.bottomMargin: footer.height + 6
        model: lines
        clip: true
        focus: true
        activeFocusOnTab: true
        boundsBehavior: Flickable.StopAtBounds
        reuseItems: true
        C.ScrollBar.vertical: C.ScrollBar {
            policy: C.ScrollBar.AsNeeded
        }
        C.ScrollBar.horizontal: C.ScrollBar {
            policy: C.ScrollBar.AsNeeded
        }
        contentWidth: Math.max(width, 2400)
        flickableDirection: Flickable.AutoFlickIfNeeded

        Keys.onPressed: event => {
            if (event.matches(StandardKey.SelectAll)) {
                lines.selectAll()
                event.accepted = true
            } else if (event.matches(StandardKey.Copy)) {
                frame.copyRequested()
                event.accepted = true
            } else if (event.key === Qt.Key_Escape) {
                lines.clearSelection()
                event.accepted = true
            }
        }

        delegate: Item {
            id: row
            required property int index
            required property string shown
            required property string date
            required property string time
            required property int kind
            required property bool selected
            required property bool matched
            required property bool currentMatch
            // The lines carry only their time: the first one of a day
            // shows the date above it.
            required property bool dayStart
            readonly property real lineHeight: Style.font.smallPointSize * 1.9
            width: view.contentWidth
            height: lineHeight * (dayStart ? 2 : 1)

            Text {
                objectName: "logDayLine"
                visible: row.dayStart
                height: row.lineHeight
                leftPadding: 2
                verticalAlignment: Text.AlignVCenter
                text: "\u2014 " + row.date + " UTC \u2014"
                font.family: Style.font.mono
                font.pointSize: Style.font.smallPointSize
                font.bold: true
                color: Style.color.textSecondary
            }

            Rectangle {
                y: row.height - height
                width: row.width
                height: row.lineHeight
                color: row.currentMatch ? Style.color.rowNext
                     : row.selected ? Style.color.rowActive
                     : row.matched ? Style.color.rowAlternate : "transparent"
                border.width: row.matched ? 1 : 0
                border.color: Style.color.norvaneYellow

                Text {
                    anchors.fill: parent
                    anchors.leftMargin: 2
                    verticalAlignment: Text.AlignVCenter
                    text: row.shown
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.family: Style.font.mono
                    font.pointSize: Style.font.smallPointSize
                    color: row.currentMatch && !Style.dark ? Style.color.topBarText : frame.lineColor(row.kind)
                }
            }

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                // The whole date of the line, as "2026-12-10 14:03:27.453 UTC".
                C.ToolTip.visible: containsMouse && row.time !== ""
                C.ToolTip.delay: 800
                C.ToolTip.text: row.date + " " + row.time.replace(/:(\d{3})$/, ".$1") + " UTC"
                onClicked: mouse => {
                    view.forceActiveFocus()
                    lines.select(row.index, mouse.modifiers & Qt.ShiftModifier)
                }
            }
        }
    }

    Rectangle {
        id: footer
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: summaryLabel.implicitHeight + 8
        color: Style.color.pane
        radius: Style.size.radius

        Label {
            id: summaryLabel
            objectName: "logSummary"
            anchors.verticalCenter: parent.verticalCenter
            x: 8
            secondary: true
            text: lines.summary + (lines.selectedCount > 0 ? ", " + lines.selectedCount + " selected" : "")
        }
    }
}
