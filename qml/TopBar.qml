import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import TavBoard
import Settings
import Strings
import Style
import "types"

ToolBar {
    id: topBar

    property StackView stackView: null
    property Item dashboardPage: null
    property Item settingsPage: null
    // The state to come back to when leaving the settings page.
    property string previousState: "connectionPage"

    readonly property var board: g_board

    function escaped(text) {
        return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
    }

    function boardLineText() {
        if (!board)
            return ""
        let line = "ID: " + escaped(board.id) + ", FW: " + escaped(board.firmwareVersion) + ", "
        if (board.module === Module.TAV1)
            line += "S/N: " + escaped(board.serialNumber) + ", "
        if (board.module === Module.TAV2 || board.module === Module.RIX)
            line += "ADDR: " + escaped(board.addr) + ", "
        return line + "<b>" + escaped(board.name) + " connected to " + escaped(board.port) + "</b>"
    }

    function toggleSettings() {
        if (state === "settingsPage") {
            stackView.pop()
            state = previousState
        } else {
            previousState = state
            stackView.push(settingsPage)
            state = "settingsPage"
        }
    }

    state: "connectionPage"
    implicitHeight: Style.size.topBarHeight

    background: Rectangle {
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop {
                position: 0.0
                color: Style.color.norvanePink
            }
            GradientStop {
                position: 1.0
                color: Style.color.norvaneYellow
            }
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Style.size.spacing
        anchors.rightMargin: Style.size.boardMargin
        spacing: Style.size.spacing

        ToolButton {
            id: leftButton
            objectName: "topBarLeftButton"
            iconRole: "setting"
            icon.color: Style.color.topBarText
            toolTipText: topBar.state === "settingsPage" ? "Back" : Strings.settingsTitle
            onClicked: topBar.toggleSettings()
        }

        Label {
            id: titleLabel
            objectName: "topBarTitle"
            text: Strings.connectionTitle
            color: Style.color.topBarText
            font.pointSize: Style.font.titlePointSize
            font.bold: true
            elide: Text.ElideRight
            Layout.fillWidth: true
        }

        RowLayout {
            id: boardLine
            objectName: "topBarBoardLine"
            visible: false
            spacing: 2

            ToolButton {
                objectName: "refreshBoardButton"
                iconRole: "refresh"
                icon.color: Style.color.topBarText
                toolTipText: Strings.requestInfo
                enabled: g_enableInput
                onClicked: TavManager.getHwInfo()
            }

            Label {
                objectName: "topBarBoardText"
                text: topBar.boardLineText()
                textFormat: Text.StyledText
                color: Style.color.topBarText
            }

            ToolButton {
                objectName: "disconnectButton"
                iconRole: "on_off"
                icon.color: Style.color.topBarText
                toolTipText: Strings.disconnectTip
                onClicked: disconnectDialog.open()
            }
        }

        BusyIndicator {
            id: busy
            visible: false
            running: visible
            Layout.preferredHeight: Style.size.topBarHeight - 12
            Layout.preferredWidth: Layout.preferredHeight
        }
    }

    states: [
        State {
            name: "connectionPage"
            PropertyChanges {
                target: leftButton
                iconRole: "setting"
            }
            PropertyChanges {
                target: titleLabel
                text: Strings.connectionTitle
            }
            PropertyChanges {
                target: boardLine
                visible: false
            }
        },
        State {
            name: "dashboardPage"
            PropertyChanges {
                target: leftButton
                iconRole: "setting"
            }
            PropertyChanges {
                target: titleLabel
                text: Settings.mode === TavManager.EXPERT ? Strings.expertModeTitle : Strings.basicModeTitle
            }
            PropertyChanges {
                target: boardLine
                visible: true
            }
        },
        State {
            name: "settingsPage"
            PropertyChanges {
                target: leftButton
                iconRole: "return"
            }
            PropertyChanges {
                target: titleLabel
                text: Strings.settingsTitle
            }
            PropertyChanges {
                target: boardLine
                visible: false
            }
        }
    ]

    Dialog {
        id: disconnectDialog
        Overlay.modal: Rectangle {
            color: Style.color.modalDim
        }
        objectName: "disconnectDialog"
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        title: "Disconnect " + (topBar.board ? topBar.board.name : "") + "?"
        standardButtons: Dialog.Ok | Dialog.Cancel
        onAccepted: {
            busy.visible = true
            window.disconnectBoard()
        }
    }

    Connections {
        target: TavManager
        function onConnected() {
            // A reconnection keeps whichever page is shown.
            if (topBar.state !== "connectionPage")
                return
            topBar.stackView.push(topBar.dashboardPage)
            topBar.state = "dashboardPage"
        }
        function onDisconnected() {
            // Back to the connection page, whichever page is shown.
            if (topBar.state === "settingsPage")
                topBar.stackView.pop()
            while (topBar.stackView.depth > 1)
                topBar.stackView.pop()
            busy.visible = false
            topBar.previousState = "connectionPage"
            topBar.state = "connectionPage"
            disconnectDialog.close()
        }
    }
}
