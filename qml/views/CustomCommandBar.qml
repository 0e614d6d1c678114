pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// An AT command of the user's own: the field with its history, completion
// and favourites, and Send.
RowLayout {
    id: bar

    // Whether a command may be sent: a board connected and no request running.
    property bool connected: false
    property bool enableInput: true
    // A command sent and not answered yet.
    property bool waiting: false
    readonly property alias commands: commands

    function send() {
        const cmd = customCmd.text.trim()
        if (cmd === "")
            return
        commands.add(cmd)
        waiting = true
        TavManager.requestCustomCmd(cmd)
        customCmd.selectAll()
    }

    function sendFavourite(cmd) {
        customCmd.text = cmd
        send()
    }

    CommandHistory {
        id: commands
        words: TavManager.board ? TavManager.board.commandWords : []
    }

    Connections {
        target: TavManager
        function onCustomCmdCompleted() {
            bar.waiting = false
        }
    }

    Layout.fillWidth: true
    spacing: Style.size.spacing

    InputTextField {
        id: customCmd
        objectName: "customCmdField"
        Layout.fillWidth: true
        placeholderText: "Custom command, for example AT+FW=?"
        font.family: Style.font.mono
        error: false
        enabled: bar.connected && !bar.waiting && bar.enableInput
        toolTipText: "Sent as typed, followed by CR LF. Up and Down recall the last commands, Tab completes the command word."
        onAccepted: bar.send()
        onTextEdited: commands.restartWalk()
        Keys.onUpPressed: text = commands.older(text)
        Keys.onDownPressed: text = commands.newer()
        Keys.onTabPressed: event => {
            text = commands.complete(text)
            event.accepted = true
        }
    }
    ToolButton {
        objectName: "favouriteCmdButton"
        iconRole: "star"
        icon.color: commands.favourites, commands.isFavourite(customCmd.text) ? Style.color.norvaneYellow
                                                                               : Style.color.textSecondary
        toolTipText: commands.isFavourite(customCmd.text) ? "Remove from the favourites" : "Keep among the favourites"
        enabled: customCmd.text.trim() !== ""
        onClicked: commands.toggleFavourite(customCmd.text)
    }
    ToolButton {
        objectName: "favouritesMenuButton"
        text: "\u2630"
        display: AbstractButton.TextOnly
        toolTipText: commands.favourites.length === 0 ? "No favourite yet: the star keeps the command typed"
                                                      : "Send a favourite again"
        enabled: commands.favourites.length > 0
        onClicked: favouritesMenu.popup()
        Menu {
            id: favouritesMenu
            objectName: "favouritesMenu"
            Repeater {
                model: commands.favourites
                MenuItem {
                    required property string modelData
                    text: modelData
                    font.family: Style.font.mono
                    enabled: customCmd.enabled
                    onTriggered: bar.sendFavourite(modelData)
                }
            }
        }
    }
    Button {
        objectName: "sendCustomCmdButton"
        text: "Send"
        icon.source: Style.icon("next")
        enabled: customCmd.enabled && customCmd.text.trim() !== ""
        onClicked: bar.send()
    }
    BusyIndicator {
        running: bar.waiting
        visible: running
        Layout.preferredWidth: 32
        Layout.preferredHeight: 32
    }
}
