import QtQuick
import QtQuick.Controls as C
import Style

// A log pane for chatty modules. Lines arrive through append() and are added
// to the view in batches, ten times a second, so hundreds of lines per second
// cost one model update per batch. Only the most recent `maxLines` are kept;
// the footer says so, and text() returns exactly the lines kept.
Rectangle {
    id: frame

    property int maxLines: 5000
    property int flushInterval: 100
    property bool autoScroll: true
    property bool colorBySource: true
    // Lines received since the last clear, kept or not.
    property int totalLines: 0
    readonly property int shownLines: lines.count
    readonly property bool truncated: totalLines > shownLines
    readonly property string summary: summaryOf(totalLines, shownLines)
    // The count the footer shows, brought up to date once per batch: laying
    // its text out again for every line cost more than the line itself.
    property int footerTotal: 0

    property var pending: []

    function append(line) {
        pending.push(line)
        totalLines += 1
        if (!flushTimer.running)
            flushTimer.start()
    }

    function clear() {
        pending = []
        flushTimer.stop()
        lines.clear()
        totalLines = 0
        footerTotal = 0
    }

    function summaryOf(total, shown) {
        return total > shown
            ? "Showing the last " + shown + " of " + total + " lines (older lines are dropped)"
            : "Showing all " + shown + " lines (the last " + maxLines + " are kept)"
    }

    // Adds the waiting lines in one model update and drops the oldest beyond
    // maxLines; a batch larger than maxLines only keeps its tail.
    function flush() {
        if (pending.length === 0)
            return
        let batch = pending
        pending = []
        if (batch.length > maxLines)
            batch = batch.slice(batch.length - maxLines)
        const stickToEnd = autoScroll && (view.atYEnd || view.count === 0)
        lines.append(batch.map(l => ({ "line": l })))
        const excess = lines.count - maxLines
        if (excess > 0)
            lines.remove(0, excess)
        if (stickToEnd)
            view.positionViewAtEnd()
        footerTotal = totalLines
    }

    // The kept lines as one text, in order, joined by newlines.
    function text() {
        flush()
        const out = new Array(lines.count)
        for (let i = 0; i < lines.count; ++i)
            out[i] = lines.get(i).line
        return out.join("\n")
    }

    function lineColor(line) {
        if (!colorBySource)
            return Style.color.text
        const tag = line.indexOf("] [")
        const source = tag < 0 ? "" : line.substr(tag + 3, 3)
        if (source === "APP")
            return line.indexOf("AT+", tag) === tag + 8 ? Style.color.norvanePink : Style.color.textSecondary
        return Style.color.text
    }

    color: Style.color.logBackground
    border.color: Style.color.paneBorder
    radius: Style.size.radius
    clip: true

    ListModel {
        id: lines
    }

    Timer {
        id: flushTimer
        interval: frame.flushInterval
        onTriggered: frame.flush()
    }

    ListView {
        id: view
        anchors.fill: parent
        anchors.margins: 6
        anchors.bottomMargin: footer.height + 6
        model: lines
        clip: true
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

        delegate: Text {
            required property string line
            width: view.contentWidth
            height: Style.font.smallPointSize * 1.9
            text: line
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.family: Style.font.mono
            font.pointSize: Style.font.smallPointSize
            color: frame.lineColor(line)
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
            anchors.verticalCenter: parent.verticalCenter
            x: 8
            secondary: true
            text: frame.summaryOf(frame.footerTotal, frame.shownLines)
        }
    }
}
