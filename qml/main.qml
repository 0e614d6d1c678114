import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import TavBoard
import TxManager
import Settings
import Strings
import Style
import "types"

ApplicationWindow {
    id: window

    mainWindow: true
    title: Qt.application.name
    height: Settings.windowHeight
    width: Settings.windowWidth

    // Views reach the board through g_board only: it is dropped before the
    // manager destroys the board on disconnection.
    property bool boardAttached: false
    readonly property var g_board: boardAttached ? TavManager.board : null
    readonly property bool g_connected: g_board !== null
    readonly property bool g_expertMode: Settings.mode === TavManager.EXPERT

    property bool g_enableInput: !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending
    property bool g_trekonModuleSelected: g_board !== null && g_board.module === Module.TREKON
    property bool g_tav1ModuleSelected: g_board !== null && g_board.module === Module.TAV1
    property bool g_tav2ModuleSelected: g_board !== null && g_board.module === Module.TAV2
    property bool g_rixModuleSelected: g_board !== null && g_board.module === Module.RIX
    property bool g_periodicProfileSelected: TavManager.tx.selectedProfile === Profile.PERIODIC
    property bool g_prepassProfileSelected: TavManager.tx.selectedProfile === Profile.PREPASS
    property bool g_prepassOnModuleProfileSelected: TavManager.tx.selectedProfile === Profile.PREPASS_ON_MODULE
    property bool g_importantTxOptionEnabled: false

    function disconnectBoard() {
        boardAttached = false
        TavManager.disconnect()
    }

    header: TopBar {
        id: topBar
        objectName: "topBar"
        stackView: stack
        dashboardPage: dashboard
        settingsPage: settings
    }

    StackView {
        id: stack
        objectName: "stackView"
        anchors.fill: parent
        anchors.margins: Style.size.boardMargin
        initialItem: ConnectionPage {
            objectName: "connectionPage"
        }
    }

    // Both pages live for the whole run, so the log and the received
    // messages survive moving between pages.
    DashboardPage {
        id: dashboard
        visible: false
    }
    SettingsPage {
        id: settings
        visible: false
    }

    onClosing: {
        TavManager.saveSettings()
        Settings.windowHeight = window.height
        Settings.windowWidth = window.width
    }

    Connections {
        target: TavManager
        function onConnected() {
            window.boardAttached = true
            window.g_importantTxOptionEnabled = !window.g_periodicProfileSelected
        }
        function onDisconnected() {
            window.boardAttached = false
            wakeUpDialog.close()
        }
        function onUserActionRequested() {
            wakeUpDialog.open()
        }
    }

    Connections {
        target: TavManager.board
        ignoreUnknownSignals: true
        function onIsAwakeChanged() {
            if (TavManager.board && TavManager.board.isAwake)
                wakeUpDialog.close()
        }
    }

    Connections {
        target: TavManager.serialPort
        function onSerialError(error) {
            wakeUpDialog.close()
            serialErrorDialog.message = error
            serialErrorDialog.open()
        }
    }

    Connections {
        target: TavManager.tx
        function onTxErrorOccured(error) {
            txErrorDialog.message = error
            txErrorDialog.open()
        }
        function onSelectedProfileChanged() {
            // The important option raises a payload's redundancy, which only
            // the two prepass profiles use.
            window.g_importantTxOptionEnabled = !window.g_periodicProfileSelected
        }
    }

    Dialog {
        id: wakeUpDialog
        Overlay.modal: Rectangle {
            color: Style.color.modalDim
        }
        objectName: "wakeUpDialog"
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        closePolicy: Popup.NoAutoClose
        title: TavManager.board ? TavManager.board.name : ""
        standardButtons: Dialog.Cancel
        onRejected: TavManager.cancelModuleRequest()

        RowLayout {
            spacing: Style.size.largeSpacing
            BusyIndicator {
                running: wakeUpDialog.visible
            }
            Label {
                objectName: "wakeUpText"
                text: Strings.wakeUp
            }
        }
    }

    Dialog {
        id: serialErrorDialog
        Overlay.modal: Rectangle {
            color: Style.color.modalDim
        }
        objectName: "serialErrorDialog"
        property string message: ""
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        closePolicy: Popup.NoAutoClose
        title: Strings.serialErrorTitle
        standardButtons: Dialog.Ok
        onAccepted: window.disconnectBoard()

        RowLayout {
            spacing: Style.size.largeSpacing
            ToolButton {
                iconRole: "exclamation"
                icon.color: Style.color.error
                icon.width: 32
                icon.height: 32
                hoverEnabled: false
                focusPolicy: Qt.NoFocus
                background: null
            }
            Label {
                text: serialErrorDialog.message
                Layout.maximumWidth: window.width * 0.5
                wrapMode: Text.Wrap
            }
        }
    }

    Dialog {
        id: txErrorDialog
        Overlay.modal: Rectangle {
            color: Style.color.modalDim
        }
        objectName: "txErrorDialog"
        property string message: ""
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        title: Strings.txErrorTitle
        standardButtons: Dialog.Ok

        RowLayout {
            spacing: Style.size.largeSpacing
            ToolButton {
                iconRole: "exclamation"
                icon.color: Style.color.error
                icon.width: 32
                icon.height: 32
                hoverEnabled: false
                focusPolicy: Qt.NoFocus
                background: null
            }
            Label {
                text: txErrorDialog.message
                Layout.maximumWidth: window.width * 0.5
                wrapMode: Text.Wrap
            }
        }
    }
}
