import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The workstation's UTC clock beside the tool's own, which a custom time or
// the module's date may have moved.
Pane {
    id: view

    property date now: new Date()
    // The window-wide state its dialog needs.
    property bool connected: false
    property bool tav1ModuleSelected: false
    property bool enableInput: true
    // Qt 6.4's qmllint knows no 64-bit integer property (qint64 reaches it as qlonglong).
    readonly property int offsetSeconds: TavManager.tx.utcTimeOffset // qmllint disable type

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
                text: Strings.utcText(view.now) + " UTC"
                font.family: Style.font.mono
            }
            Label { text: "TavGUI"; secondary: true }
            Label {
                objectName: "toolUtc"
                text: Strings.utcText(new Date(view.now.getTime() + view.offsetSeconds * 1000)) + " UTC  ("
                      + view.offsetText(view.offsetSeconds) + ")"
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
        connected: view.connected
        tav1ModuleSelected: view.tav1ModuleSelected
        enableInput: view.enableInput
    }
}
