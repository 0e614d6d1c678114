import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import Strings
import Style
import "../types"
import "../dialogs"

// The workstation's UTC clock beside the tool's own, which a custom time or
// the module's date may have moved.
Pane {
    id: view

    property date now: new Date()
    readonly property int offsetSeconds: offsetFrom(TavManager.tx.utcTime, now)

    // The tool shows its time as "ddd MMM d, hh:mm:ss", without the year:
    // take the year that puts it closest to the workstation's clock.
    function offsetFrom(text, reference) {
        const m = /^\w{3} (\w{3}) (\d{1,2}), (\d{2}):(\d{2}):(\d{2})$/.exec(text ?? "")
        if (!m)
            return 0
        const month = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"].indexOf(m[1])
        if (month < 0)
            return 0
        let best = 0
        let bestAbs = Infinity
        for (let dy = -1; dy <= 1; ++dy) {
            const t = Date.UTC(reference.getUTCFullYear() + dy, month, Number(m[2]), Number(m[3]), Number(m[4]), Number(m[5]))
            const diff = Math.round((t - reference.getTime()) / 1000)
            if (Math.abs(diff) < bestAbs) {
                bestAbs = Math.abs(diff)
                best = diff
            }
        }
        // The two clocks tick a second apart at most.
        return Math.abs(best) <= 1 ? 0 : best
    }

    function offsetText(seconds) {
        if (seconds === 0)
            return "no offset"
        const sign = seconds > 0 ? "+" : "-"
        const s = Math.abs(seconds)
        const days = Math.floor(s / 86400)
        return "offset " + sign + (days > 0 ? days + " d " : "") + Strings.duration(s % 86400)
    }

    title: Strings.utcTitle

    Timer {
        interval: 1000
        running: view.visible
        repeat: true
        triggeredOnStart: true
        onTriggered: view.now = new Date()
    }

    RowLayout {
        anchors.fill: parent
        spacing: Style.size.largeSpacing

        GridLayout {
            columns: 2
            columnSpacing: Style.size.largeSpacing
            rowSpacing: 2
            Layout.fillWidth: true

            Label { text: "Workstation"; secondary: true }
            Label {
                objectName: "workstationUtc"
                text: Strings.utcText(view.now)
                font.family: Style.font.mono
            }
            Label { text: "TavGUI"; secondary: true }
            Label {
                objectName: "toolUtc"
                text: TavManager.tx.utcTime + "  (" + view.offsetText(view.offsetSeconds) + ")"
                font.family: Style.font.mono
                color: view.offsetSeconds === 0 ? Style.color.text : Style.color.warning
            }
        }

        ToolButton {
            objectName: "utcEditButton"
            iconRole: "pencil"
            toolTipText: "Set a custom UTC time, or read and set the module's date"
            onClicked: utcDialog.open()
        }
    }

    UtcDialog {
        id: utcDialog
        objectName: "utcDialogItem"
        parent: Overlay.overlay
        anchors.centerIn: parent
        offsetSeconds: view.offsetSeconds
    }
}
