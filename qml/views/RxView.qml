pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Messages the module received from the satellites: downlink messages (+RX=)
// and beacons (+BC=), taken from the module's lines as they are logged.
Pane {
    id: view

    property int maxMessages: 1000
    readonly property alias count: messages.count
    readonly property var linePattern: /^\[([^\]]+)\] \[(TAV|TRK)\] \+(RX|BC)=(.*)$/

    title: "Received messages"

    // The printable text of a hexadecimal message, dots for other bytes.
    function ascii(hex) {
        let out = ""
        for (let i = 0; i + 1 < hex.length; i += 2) {
            const c = parseInt(hex.substr(i, 2), 16)
            out += c >= 32 && c < 127 ? String.fromCharCode(c) : "."
        }
        return out
    }

    function take(line) {
        const m = linePattern.exec(line)
        if (!m)
            return false
        // "14:03:27.453": the log line's own stamp writes the milliseconds
        // after a colon.
        messages.append({ "time": m[1].replace(/:(\d{3})$/, ".$1"), "kind": m[3] === "RX" ? "Downlink" : "Beacon", "payload": m[4].trim() })
        if (messages.count > maxMessages)
            messages.remove(0, messages.count - maxMessages)
        list.positionViewAtEnd()
        return true
    }

    function text() {
        const out = []
        for (let i = 0; i < messages.count; ++i) {
            const m = messages.get(i)
            out.push(m.time + "\t" + m.kind + "\t" + m.payload)
        }
        return out.join("\n")
    }

    Connections {
        target: TavManager.logger.history
        function onMessageReceived(line) {
            view.take(line)
        }
    }

    ListModel {
        id: messages
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        RowLayout {
            Layout.fillWidth: true
            ToolButton {
                objectName: "clearRxButton"
                iconRole: "delete"
                toolTipText: "Clear the received messages"
                onClicked: messages.clear()
            }
            CopyToolButton {
                provider: () => view.text()
            }
            Label {
                Layout.fillWidth: true
                secondary: true
                wrapMode: Text.Wrap
                text: messages.count === 0
                      ? "No message received yet. A TAV2 reports here the downlink messages and beacons it receives."
                      : messages.count + " message(s), the last " + view.maxMessages + " are kept"
            }
        }

        ListView {
            id: list
            objectName: "rxList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: messages
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: rxRow
                required property int index
                required property string time
                required property string kind
                required property string payload
                width: list.width - 12
                height: Style.size.rowHeight
                color: index % 2 ? Style.color.rowAlternate : "transparent"

                Row {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: Style.size.largeSpacing
                    Label {
                        text: rxRow.time
                        font.family: Style.font.mono
                        secondary: true
                        width: 120
                    }
                    Label {
                        text: rxRow.kind
                        color: rxRow.kind === "Downlink" ? Style.color.norvanePink : Style.color.active
                        width: 90
                    }
                    Label {
                        text: rxRow.payload
                        font.family: Style.font.mono
                    }
                    Label {
                        text: "\"" + view.ascii(rxRow.payload) + "\""
                        font.family: Style.font.mono
                        secondary: true
                    }
                }
            }
        }
    }
}
