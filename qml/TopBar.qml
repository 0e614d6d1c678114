pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

ToolBar {
    id: topBar

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    property StackView stackView: null
    property DashboardPage dashboardPage: null
    property SettingsPage settingsPage: null
    // The state to come back to when leaving the settings page.
    property string previousState: "connectionPage"

    readonly property var board: topBar.window.g_board

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

    // Before the pages are first used: the window finishes building them.
    signal pagesNeeded()

    function openLog() {
        pagesNeeded()
        if (state !== "settingsPage")
            toggleSettings()
        settingsPage.showTab(3)
    }

    Shortcut {
        sequence: "Ctrl+,"
        onActivated: topBar.toggleSettings()
    }
    Shortcut {
        sequence: "Ctrl+L"
        onActivated: topBar.openLog()
    }
    Shortcut {
        sequence: "Ctrl+E"
        onActivated: {
            topBar.openLog()
            topBar.settingsPage.logView.exportDialog.atOnly = false
            topBar.settingsPage.logView.exportDialog.open()
        }
    }

    function toggleSettings() {
        pagesNeeded()
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
            toolTipText: (topBar.state === "settingsPage" ? "Back" : Strings.settingsTitle) + " (Ctrl+,)"
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
            Layout.minimumWidth: Math.min(implicitWidth, 160)
        }

        // Shares the bar with the title; the identity is elided before the
        // buttons after it are pushed out.
        RowLayout {
            id: boardLine
            objectName: "topBarBoardLine"
            visible: false
            spacing: 2
            Layout.fillWidth: true
            Layout.maximumWidth: implicitWidth

            ToolButton {
                objectName: "refreshBoardButton"
                iconRole: "refresh"
                icon.color: Style.color.topBarText
                toolTipText: Strings.requestInfo
                enabled: topBar.window.g_enableInput
                onClicked: TavManager.getHwInfo()
            }

            Label {
                id: boardText
                objectName: "topBarBoardText"
                text: topBar.boardLineText()
                textFormat: Text.StyledText
                color: Style.color.topBarText
                elide: Text.ElideMiddle
                Layout.fillWidth: true
                ToolTip.visible: truncated && boardTextHover.hovered
                ToolTip.text: text.replace(/<[^>]*>/g, "").replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&amp;/g, "&")
                HoverHandler {
                    id: boardTextHover
                }
            }

            ToolButton {
                objectName: "disconnectButton"
                iconRole: "on_off"
                icon.color: Style.color.topBarText
                toolTipText: Strings.disconnectTip
                // Never in the middle of a request or an orbit-data operation.
                enabled: !TavManager.busy
                onClicked: disconnectDialog.open()
            }
        }

        NotificationButton {
            listY: topBar.height
        }

        ToolButton {
            objectName: "aboutButton"
            iconRole: "info"
            icon.color: Style.color.topBarText
            toolTipText: "About " + Qt.application.name
            onClicked: aboutDialog.open()
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

    ModalDialog {
        id: disconnectDialog
        objectName: "disconnectDialog"
        title: "Disconnect " + (topBar.board ? topBar.board.name : "") + "?"
        standardButtons: Dialog.Ok | Dialog.Cancel
        acceptText: "Disconnect"
        onAccepted: {
            busy.visible = true
            topBar.window.disconnectBoard()
        }
    }

    AboutDialog {
        id: aboutDialog
        objectName: "aboutDialog"
    }

    Connections {
        target: TavManager
        function onConnected() {
            // A reconnection keeps whichever page is shown.
            if (topBar.state !== "connectionPage")
                return
            topBar.pagesNeeded()
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
