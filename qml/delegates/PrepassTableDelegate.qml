pragma ComponentBehavior: Bound
import QtQuick
import com.norvane.qml

// One satellite pass in the fixed-width table. The active pass is
// highlighted, the next one to come is marked.
Rectangle {
    id: row

    required property int index
    required property var model

    // Widths of the columns, from the table header.
    property var columnWidths: []
    property bool isNext: false
    property string downlink: Strings.notAvailable

    readonly property bool isActive: model.active === true

    function cell(value, decimals) {
        if (value === undefined || value === null)
            return Strings.notAvailable
        if (value instanceof Date)
            return Strings.utcText(value)
        if (typeof value === "number")
            return decimals === undefined ? String(value) : value.toFixed(decimals)
        return String(value)
    }

    // Durations come as seconds or as a time of day counted from midnight.
    function durationCell(value) {
        if (typeof value === "number")
            return value < 0 ? "0:00" : Strings.duration(value)
        if (value instanceof Date)
            return Strings.duration(value.getUTCHours() * 3600 + value.getUTCMinutes() * 60 + value.getUTCSeconds())
        return cell(value)
    }

    implicitHeight: Style.size.rowHeight
    color: isActive ? Style.color.rowActive : (isNext ? Style.color.rowNext : (index % 2 ? Style.color.rowAlternate : "transparent"))

    Rectangle {
        visible: row.isActive || row.isNext
        width: 3
        height: parent.height
        color: row.isActive ? Style.color.norvanePink : Style.color.norvaneYellow
    }

    Row {
        anchors.verticalCenter: parent.verticalCenter
        x: 8

        Repeater {
            model: [
                row.cell(row.model.satellite),
                row.downlink,
                row.cell(row.model.start),
                row.cell(row.model.end),
                row.durationCell(row.model.duration),
                row.cell(row.model.elevation, 1),
                row.cell(row.model.startAzimuth, 0) + " to " + row.cell(row.model.endAzimuth, 0)
            ]
            Text {
                required property var modelData
                required property int index
                width: row.columnWidths[index] ?? 100
                text: modelData
                elide: Text.ElideRight
                font.family: Style.font.mono
                font.pointSize: Style.font.smallPointSize
                font.bold: row.isActive
                color: index === 1 ? (modelData === "OFF" ? Style.color.error : (modelData === "ON" ? Style.color.success : Style.color.textSecondary))
                                   : Style.color.text
            }
        }
    }
}
