import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

ApplicationWindow {
    id: window

    mainWindow: true
    title: Qt.application.name
    height: Settings.windowHeight
    width: Settings.windowWidth
    // A size or position saved on another screen is fitted to this one.
    Component.onCompleted: WindowGeometry.restore(window, Settings.windowX, Settings.windowY,
                                                  Settings.windowWidth, Settings.windowHeight)

    // Views reach the board through g_board only: it is dropped before the
    // manager destroys the board on disconnection.
    property bool boardAttached: false
    readonly property var g_board: boardAttached ? TavManager.board : null
    readonly property bool g_connected: g_board !== null
    readonly property bool g_expertMode: Settings.mode === TavManager.EXPERT

    // Also false while the manager is busy: nothing that starts a request
    // takes a click until the running one has ended.
    property bool g_enableInput: !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending && !TavManager.busy
    // TavManager.busy once it has lasted a moment: a request answered at once,
    // such as each Tx of a sequence, flashes no busy bar (whose animation
    // redrew the window at every frame meanwhile).
    property bool g_busyShown: false
    property bool g_trekonModuleSelected: g_board !== null && g_board.module === Module.TREKON
    property bool g_tav1ModuleSelected: g_board !== null && g_board.module === Module.TAV1
    property bool g_tav2ModuleSelected: g_board !== null && g_board.module === Module.TAV2
    property bool g_rixModuleSelected: g_board !== null && g_board.module === Module.RIX
    // Qt 6.4's qmllint knows no property typed by a Q_GADGET's enumeration.
    property bool g_periodicProfileSelected: TavManager.tx.selectedProfile === Profile.PERIODIC // qmllint disable type
    // Qt 6.4's qmllint knows no property typed by a Q_GADGET's enumeration.
    property bool g_prepassProfileSelected: TavManager.tx.selectedProfile === Profile.PREPASS // qmllint disable type
    // Qt 6.4's qmllint knows no property typed by a Q_GADGET's enumeration.
    property bool g_prepassOnModuleProfileSelected: TavManager.tx.selectedProfile === Profile.PREPASS_ON_MODULE // qmllint disable type
    property bool g_importantTxOptionEnabled: false

    function disconnectBoard() {
        boardAttached = false
        TavManager.disconnect()
    }

    // Errors and passing messages go to the notification list as well.
    function notify(text, error) {
        Notifications.add(text, error === true)
    }

    header: Column {
        TopBar {
            id: topBar
            objectName: "topBar"
            width: parent.width
            stackView: stack
            dashboardPage: dashboardLoader.item as DashboardPage
            settingsPage: settingsLoader.item as SettingsPage
            onPagesNeeded: window.buildPages(false)
        }

        // A vanished device waited for: the work goes on, nothing to answer.
        Rectangle {
            objectName: "lostDeviceBanner"
            width: parent.width
            height: visible ? bannerText.implicitHeight + 2 * Style.size.spacing : 0
            visible: TavManager.lostDevice !== ""
            color: Style.color.warning
            Label {
                id: bannerText
                objectName: "lostDeviceText"
                anchors.verticalCenter: parent.verticalCenter
                x: Style.size.boardMargin
                text: TavManager.lostDevice
                color: "black"
            }
        }
    }

    // What the manager is doing, just under the top bar. It lies over the
    // page instead of pushing it down, so nothing moves under the pointer.
    Rectangle {
        objectName: "busyBar"
        parent: window.contentItem
        z: 10
        width: parent ? parent.width : 0
        height: busyColumn.implicitHeight
        visible: window.g_busyShown
        color: Style.color.background
        Column {
            id: busyColumn
            width: parent.width
            ProgressBar {
                width: parent.width
                height: 4
                indeterminate: true
            }
            Label {
                objectName: "busyText"
                x: Style.size.boardMargin
                text: TavManager.busyText
                secondary: true
            }
        }
    }

    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: window.close()
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
    // messages survive moving between pages. They are built in the
    // background once the window has shown its first frame, which then
    // waits for the connection page alone; a page asked for before it is
    // ready is finished there and then.
    readonly property bool pagesReady: dashboardLoader.status === Loader.Ready
                                       && settingsLoader.status === Loader.Ready
    function buildPages(inBackground) {
        for (const loader of [dashboardLoader, settingsLoader]) {
            loader.asynchronous = inBackground
            loader.active = true
        }
    }
    Connections {
        target: window
        enabled: !dashboardLoader.active
        function onFrameSwapped() { window.buildPages(true) }
    }
    Loader {
        id: dashboardLoader
        active: false
        visible: false
        sourceComponent: Component { DashboardPage { visible: false } }
    }
    Loader {
        id: settingsLoader
        active: false
        visible: false
        sourceComponent: Component { SettingsPage { visible: false } }
    }

    // A running sequence is stopped only when the user says so; a wait for
    // the wake-up button or for an answer is given up, so that the process
    // ends with its window.
    property bool closeConfirmed: false
    onClosing: close => {
        if (TavManager.tx.sequenceRunning && !closeConfirmed) {
            close.accepted = false
            closeDialog.open()
            return
        }
        wakeUpDialog.close()
        TavManager.closeDown()
        TavManager.saveSettings()
        Settings.windowHeight = window.height
        Settings.windowWidth = window.width
        Settings.windowX = window.x
        Settings.windowY = window.y
    }

    Timer {
        id: busyShownDelay
        interval: 300
        onTriggered: window.g_busyShown = TavManager.busy
    }

    Connections {
        target: TavManager
        function onBusyChanged() {
            if (TavManager.busy) {
                busyShownDelay.restart()
            } else {
                busyShownDelay.stop()
                window.g_busyShown = false
            }
        }
        function onProcessingDataChanged(msg, error) {
            if (msg !== undefined && msg !== "")
                window.notify(msg, error)
        }
        function onLinkError(error) {
            wakeUpDialog.close()
            window.notify(error, true)
            serialErrorDialog.message = error
            serialErrorDialog.diagnosis = TavManager.serialPort.openDiagnosis
            serialErrorDialog.connection = TavManager.connectionCount
            serialErrorDialog.open()
        }
        function onLostDeviceChanged() {
            if (TavManager.lostDevice === "")
                return
            wakeUpDialog.close()
            window.notify(TavManager.lostDevice, true)
        }
        function onConnected() {
            // A dialog about an older connection has nothing left to do.
            if (serialErrorDialog.visible && serialErrorDialog.connection !== TavManager.connectionCount)
                serialErrorDialog.close()
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
        target: TavManager.tx
        function onTxErrorOccured(error) {
            window.notify(error, true)
            txErrorDialog.message = error
            txErrorDialog.open()
        }
        function onSelectedProfileChanged() {
            // The important option raises a payload's redundancy, which only
            // the two prepass profiles use.
            window.g_importantTxOptionEnabled = !window.g_periodicProfileSelected
        }
    }

    WakeUpDialog {
        id: wakeUpDialog
        objectName: "wakeUpDialog"
    }

    SerialErrorDialog {
        id: serialErrorDialog
        objectName: "serialErrorDialog"
        messageWidth: window.width * 0.5
        onAccepted: {
            if (connection === TavManager.connectionCount)
                window.disconnectBoard()
        }
    }

    TxErrorDialog {
        id: txErrorDialog
        objectName: "txErrorDialog"
        messageWidth: window.width * 0.5
    }

    ModalDialog {
        id: closeDialog
        objectName: "closeDialog"
        title: "Quit " + Qt.application.name + "?"
        standardButtons: Dialog.Ok | Dialog.Cancel
        acceptText: "Quit"
        onAccepted: {
            TavManager.tx.stop()
            window.closeConfirmed = true
            window.close()
        }

        Label {
            text: "A transmission sequence is running. Quitting stops it."
        }
    }
}
