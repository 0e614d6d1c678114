import QtQuick
import QtQuick.Controls
import QtTest
import com.norvane.qml

// The window, the top bar and the dialogs through a whole connection to the
// simulated modules.
AppTestCase {
    id: testCase
    name: "MainWindow"

    property bool cancelWakeUp: false
    property bool cancelByKey: false
    property var seenWhileWaiting: ({})

    // The user's answer to the wake-up dialog, given while the manager waits.
    Connections {
        target: TavManager
        enabled: testCase.cancelWakeUp
        function onUserActionRequested() {
            cancelTimer.start()
        }
    }
    Timer {
        id: cancelTimer
        interval: 150
        onTriggered: {
            const wakeUp = testCase.child("wakeUpDialog")
            testCase.seenWhileWaiting = { opened: wakeUp.visible, text: testCase.child("wakeUpText", wakeUp).text }
            if (testCase.cancelByKey)
                Keyboard.press(wakeUp.contentItem, Qt.Key_Escape)
            else
                testCase.mouseClick(wakeUp.standardButton(Dialog.Cancel))
        }
    }

    function init() {
        cancelWakeUp = false
        seenWhileWaiting = {}
        Settings.mode = TavManager.BASIC
        Settings.windowWidth = 1350
        Settings.windowHeight = 850
        createWindow()
    }

    function cleanup() {
        destroyWindow()
    }

    function test_windowTitleAndSize() {
        compare(window.title, "TavGUI")
        compare(window.width, 1350)
        compare(window.height, 850)
        compare(topBar().state, "connectionPage")
        compare(child("topBarTitle").text, "Connect your TAV Evaluation Kit (EVK)")
        verify(!child("topBarBoardLine").visible)
        verify(window.g_board === null)
    }

    // A size or position saved on another screen, or never saved, opens on
    // the screen of now, whole.
    function test_savedGeometryIsFittedToTheScreen_data() {
        const wide = Qt.rect(0, 0, 1920, 1200)
        return [
            { tag: "fits as saved", saved: Qt.rect(100, 100, 1350, 850), screen: wide, fitted: Qt.rect(100, 100, 1350, 850) },
            { tag: "larger than the screen", saved: Qt.rect(0, 0, 1600, 1000), screen: Qt.rect(0, 0, 1024, 600), fitted: Qt.rect(0, 0, 1024, 600) },
            { tag: "below a panel", saved: Qt.rect(0, 0, 1600, 1000), screen: Qt.rect(0, 32, 1024, 568), fitted: Qt.rect(0, 32, 1024, 568) },
            { tag: "over the edges", saved: Qt.rect(1500, 900, 1000, 600), screen: wide, fitted: Qt.rect(920, 600, 1000, 600) },
            { tag: "on a screen gone", saved: Qt.rect(2500, 100, 1350, 850), screen: wide, fitted: Qt.rect(570, 100, 1350, 850) },
            { tag: "never saved", saved: Qt.rect(-1, -1, 1350, 850), screen: wide, fitted: Qt.rect(285, 175, 1350, 850) },
            { tag: "below the minimum", saved: Qt.rect(10, 10, 400, 300), screen: wide, fitted: Qt.rect(10, 10, 880, 460) }
        ]
    }
    function test_savedGeometryIsFittedToTheScreen(data) {
        const fitted = WindowGeometry.fitted(data.saved, data.screen, Qt.size(880, 460))
        compare(Qt.rect(fitted.x, fitted.y, fitted.width, fitted.height), data.fitted)
    }

    function test_connectionShowsTheDashboardAndTheBoardLine_data() {
        return [
            { tag: "TAV1", module: Module.TAV1, info: "ID: 1A2B3C, FW: TAV1 FW 2.3.1, S/N: TAV21040500117, " },
            { tag: "TAV2", module: Module.TAV2, info: "ID: 04A1C7F2, FW: TAV2 V3.2.4, ADDR: 2A4B7F1, " },
            { tag: "RIX", module: Module.RIX, info: "ID: 0B77E104, FW: RIX 1.6.0, ADDR: 3C1D9E2, " },
            { tag: "TREKON", module: Module.TREKON, info: "ID: 7E0042, FW: 2103,SW1.4.2, " }
        ]
    }
    function test_connectionShowsTheDashboardAndTheBoardLine(data) {
        const name = moduleNames[data.module]
        const before = requestCount(data.module)
        connectThroughPage(data.module)
        compare(topBar().state, "dashboardPage")
        compare(child("topBarTitle").text, "Basic Mode")
        verify(child("topBarBoardLine").visible)
        compare(child("topBarBoardText").text,
                data.info + "<b>" + name + " connected to " + Simulators.portOf(name) + "</b>")
        compare(requestsSince(data.module, before)[0], "AT+PING=?")
        compare(window.g_trekonModuleSelected, data.module === Module.TREKON)
        compare(window.g_tav1ModuleSelected, data.module === Module.TAV1)
        compare(window.g_tav2ModuleSelected, data.module === Module.TAV2)
        compare(window.g_rixModuleSelected, data.module === Module.RIX)
        compare(Settings.module, data.module, "the connected board is remembered")
        verify(!child("connectBusy").running)
        verify(logged(name + " connected on port " + Simulators.portOf(name)))
    }

    function test_boardLineRefreshAsksTheModuleAgain() {
        connectTo(Module.TAV2)
        const before = requestCount(Module.TAV2)
        mouseClick(child("refreshBoardButton"))
        const words = requestsSince(Module.TAV2, before).map(r => r.split("=")[0])
        verify(words.indexOf("AT+ID") >= 0 && words.indexOf("AT+FW") >= 0, words.join(" "))
        verify(child("topBarBoardText").text.startsWith("ID: 04A1C7F2, "))
    }

    function test_expertTitle() {
        Settings.mode = TavManager.EXPERT
        connectTo(Module.TAV2)
        compare(child("topBarTitle").text, "Expert Mode")
        Settings.mode = TavManager.BASIC
        compare(child("topBarTitle").text, "Basic Mode")
    }

    function test_settingsPageAndBack() {
        connectTo(Module.RIX)
        const button = child("topBarLeftButton")
        compare(button.iconRole, "setting")
        mouseClick(button)
        compare(topBar().state, "settingsPage")
        compare(child("topBarTitle").text, "Settings")
        compare(button.iconRole, "return")
        verify(!child("topBarBoardLine").visible)
        tryCompare(child("moduleSettingsView"), "visible", true)
        mouseClick(button)
        compare(topBar().state, "dashboardPage")
        compare(child("topBarTitle").text, "Basic Mode")
        verify(child("topBarBoardLine").visible)
    }

    function test_settingsFromTheConnectionPageComesBack() {
        mouseClick(child("topBarLeftButton"))
        compare(topBar().state, "settingsPage")
        mouseClick(child("topBarLeftButton"))
        compare(topBar().state, "connectionPage")
        compare(child("topBarTitle").text, "Connect your TAV Evaluation Kit (EVK)")
    }

    function test_disconnectAsksFirst() {
        connectTo(Module.TAV2)
        const dialog = child("disconnectDialog")
        mouseClick(child("disconnectButton"))
        tryCompare(dialog, "opened", true)
        compare(dialog.title, "Disconnect TAV2?")
        compare(dialog.standardButton(Dialog.Ok).text, "Disconnect")
        verify(Keyboard.press(dialog.contentItem, Qt.Key_Escape))
        tryCompare(dialog, "visible", false)
        compare(topBar().state, "dashboardPage")
        verify(TavManager.board !== null, "Escape keeps the connection")

        mouseClick(child("disconnectButton"))
        tryCompare(dialog, "opened", true)
        verify(Keyboard.press(dialog.contentItem, Qt.Key_Return))
        compare(topBar().state, "connectionPage")
        verify(TavManager.board === null)
        verify(window.g_board === null)
        verify(!window.g_tav2ModuleSelected)
        tryCompare(dialog, "visible", false)
        // The line is closed: nothing more reaches the module.
        const before = requestCount(Module.TAV2)
        TavManager.getId()
        wait(50)
        compare(requestCount(Module.TAV2), before)
    }

    function test_disconnectFromTheSettingsPage() {
        connectTo(Module.TREKON)
        mouseClick(child("topBarLeftButton"))
        compare(topBar().state, "settingsPage")
        window.disconnectBoard()
        compare(topBar().state, "connectionPage")
        compare(child("topBarTitle").text, "Connect your TAV Evaluation Kit (EVK)")
        // Back from the settings page now goes nowhere but here.
        mouseClick(child("topBarLeftButton"))
        mouseClick(child("topBarLeftButton"))
        compare(topBar().state, "connectionPage")
    }

    function test_unpluggedKitOpensTheSerialErrorDialogWhoseOkDisconnects() {
        connectTo(Module.TAV2)
        const dialog = child("serialErrorDialog")
        verify(!dialog.visible)
        compare(Simulators.control("TAV2", "hangup"), "OK")
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "The evaluation kit is not reachable, it may have been unplugged")
        compare(dialog.title, "Serial port")
        compare(topBar().state, "dashboardPage", "the page stays until the user acknowledges")
        mouseClick(dialog.standardButton(Dialog.Ok))
        compare(topBar().state, "connectionPage")
        verify(TavManager.board === null)
        tryCompare(dialog, "visible", false)
        // The next test finds a simulator again.
        verify(Simulators.portOf("TAV2") !== "")
    }

    function test_silentModuleStaysOnTheConnectionPage() {
        Simulators.portOf("TAV1")
        compare(Simulators.control("TAV1", "mute on"), "OK")
        connectThroughPage(Module.TAV1)
        compare(Simulators.control("TAV1", "mute off"), "OK")
        compare(topBar().state, "connectionPage")
        verify(!child("connectBusy").running, "the busy indicator stops on failure")
        const dialog = child("serialErrorDialog")
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "Unable to contact TAV1")
        verify(logged("AT command request timeout!"))
        mouseClick(dialog.standardButton(Dialog.Ok))
        tryCompare(dialog, "visible", false)
        compare(topBar().state, "connectionPage")
    }

    function test_asleepTrekonAsksForTheButtonAndCancelGivesUp_data() {
        return [{ tag: "Cancel", key: false }, { tag: "Escape", key: true }]
    }
    function test_asleepTrekonAsksForTheButtonAndCancelGivesUp(data) {
        cancelByKey = data.key
        const port = Simulators.restart("TREKON", ["--asleep"])
        verify(port !== "")
        Simulators.autoWake = false
        const wakeUp = child("wakeUpDialog")
        const asked = Simulators.wakeUpRequests
        // The manager waits for the button inside Connect: the user cancels
        // from the dialog meanwhile.
        cancelWakeUp = true
        connectThroughPage(Module.TREKON)
        cancelWakeUp = false

        compare(Simulators.wakeUpRequests, asked + 1)
        verify(seenWhileWaiting.opened, "the wake-up dialog was open while the manager waited")
        compare(seenWhileWaiting.text, "Please press wake up button")
        compare(wakeUp.title, "TREKON")
        tryCompare(wakeUp, "visible", false)
        // One PING finds a kit that is awake already; a sleeping one ignores it.
        compare(Simulators.requests("TREKON"), ["AT+PING=?"], "only the wake-up PING was written to a sleeping kit")
        verify(logged("Request has been cancelled"))
        compare(topBar().state, "connectionPage")
        const serialError = child("serialErrorDialog")
        tryCompare(serialError, "opened", true)
        compare(serialError.message, "Unable to contact TREKON")
        mouseClick(serialError.standardButton(Dialog.Ok))
        tryCompare(serialError, "visible", false)
    }

    function test_pressingTheButtonClosesTheWakeUpDialog() {
        Simulators.restart("TREKON", ["--asleep"])
        const wakeUp = child("wakeUpDialog")
        let openWhenAsked = false
        const check = () => { openWhenAsked = wakeUp.visible }
        TavManager.userActionRequested.connect(check)
        connectThroughPage(Module.TREKON)
        TavManager.userActionRequested.disconnect(check)
        verify(openWhenAsked, "the dialog opens when the manager asks")
        compare(topBar().state, "dashboardPage")
        tryCompare(wakeUp, "visible", false)
        compare(Simulators.requests("TREKON")[0], "AT+PING=?")
        verify(TavManager.board.isAwake)
    }

    function test_txErrorDialogShowsTheEngineMessage() {
        connectTo(Module.TAV2)
        TavManager.tx.selectedProfile = Profile.PREPASS
        TavManager.tx.addPayloadItem("0102")
        const before = requestCount(Module.TAV2)
        const dialog = child("txErrorDialog")
        mouseClick(child("startStopButton"))
        tryCompare(dialog, "opened", true)
        compare(dialog.title, "Transmission")
        compare(dialog.message, "Error: No prepass data imported.\nPlease import data as a CSV file retrieved from ArgosWeb.")
        verify(!TavManager.tx.sequenceRunning)
        compare(requestsSince(Module.TAV2, before), [], "nothing was sent")
        mouseClick(dialog.standardButton(Dialog.Ok))
        tryCompare(dialog, "visible", false)
        compare(topBar().state, "dashboardPage", "a Tx error keeps the connection")

        // The error stays in the notification list after its dialog.
        compare(child("unreadCount").text, "1")
        mouseClick(child("notificationsButton"))
        const list = child("notificationList")
        tryCompare(list, "opened", true)
        verify(!child("unreadBadge").visible, "opening the list reads it")
        const entries = child("notificationView")
        compare(entries.count, 1)
        compare(Notifications.data(Notifications.index(0, 0), Qt.UserRole + 2), dialog.message)
        verify(/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d UTC$/.test(Notifications.data(Notifications.index(0, 0), Qt.UserRole + 1)))
        mouseClick(child("clearNotificationsButton"))
        compare(entries.count, 0)
        list.close()
    }

    function test_threeClicksOnGetWhileTheModuleIsSlowSendOneRequest() {
        connectTo(Module.TAV2)
        mouseClick(child("topBarLeftButton"))
        settle()
        const get = child("getPrepassConfigButton")
        clickOn(get)
        compare(Simulators.control("TAV2", "latency 900"), "OK")
        const before = requestCount(Module.TAV2)
        let seen = []
        // Two more clicks while the first one waits for its answer. The busy
        // bar shows once the wait has lasted 300 ms.
        const again = () => {
            seen.push({ enabled: get.enabled, bar: child("busyBar").visible, text: child("busyText").text })
            mouseClick(get)
        }
        const first = Qt.createQmlObject("import QtQuick; Timer { interval: 100 }", testCase)
        const second = Qt.createQmlObject("import QtQuick; Timer { interval: 500 }", testCase)
        first.triggered.connect(again)
        second.triggered.connect(again)
        first.start()
        second.start()
        mouseClick(get)
        compare(Simulators.control("TAV2", "latency 2"), "OK")
        wait(100)
        compare(requestsSince(Module.TAV2, before), ["AT+PREPASS_CFG=?"])
        compare(seen.length, 2, "the clicks came during the wait")
        for (const moment of seen) {
            verify(!moment.enabled, "Get is disabled while the module is busy")
            compare(moment.text, "Waiting for the answer to AT+PREPASS_CFG=?\u2026")
        }
        compare(seen.map(moment => moment.bar), [false, true], "the busy bar shows after a moment")
        verify(!logged("Request refused, another one is still waiting for its answer: AT+PREPASS_CFG=?"))
        verify(!TavManager.busy && !child("busyBar").visible)
        first.destroy()
        second.destroy()
    }

    function test_vanishedDeviceIsWaitedForUnderABanner() {
        mouseClick(child("reconnectSwitch"))
        verify(TavManager.reconnect && Settings.reconnect, "the switch is kept")
        connectTo(Module.TAV2)
        const connections = TavManager.connectionCount
        const port = Simulators.portOf("TAV2")
        compare(Simulators.control("TAV2", "hangup stay"), "OK")
        const banner = child("lostDeviceBanner")
        tryCompare(banner, "visible", true, 5000)
        compare(child("lostDeviceText").text, "TAV2 lost on " + port + ", waiting for it to come back\u2026")
        const dialogShown = child("serialErrorDialog").visible
        verify(Simulators.control("TAV2", "replug").startsWith("OK"))
        verify(!dialogShown, "no dialog to answer")
        compare(topBar().state, "dashboardPage")
        tryCompare(banner, "visible", false, 10000)
        verify(TavManager.board !== null)
        compare(TavManager.connectionCount, connections + 1, "connected again")
        TavManager.reconnect = false
        verify(!Settings.reconnect)
    }

    function test_shortcutsReachThePages() {
        const stack = child("stackView")
        verify(Keyboard.press(stack, Qt.Key_Comma, Qt.ControlModifier))
        compare(topBar().state, "settingsPage")
        verify(Keyboard.press(stack, Qt.Key_Comma, Qt.ControlModifier))
        compare(topBar().state, "connectionPage")
        verify(Keyboard.press(stack, Qt.Key_L, Qt.ControlModifier))
        compare(topBar().state, "settingsPage")
        compare(child("settingsTabs").currentIndex, 3, "the log tab")
        verify(child("topBarLeftButton").toolTipText.endsWith("(Ctrl+,)"))
        verify(Keyboard.press(stack, Qt.Key_Comma, Qt.ControlModifier))
        // Connect from the keyboard, with the port typed in the field.
        Simulators.portOf("TAV2")
        mouseClick(child("evkTAV2"))
        child("portCombo").editText = Simulators.portOf("TAV2")
        verify(Keyboard.press(stack, Qt.Key_Return, Qt.ControlModifier))
        settle()
        compare(topBar().state, "dashboardPage")
    }

    function test_aboutTellsVersionsAndFontLicences() {
        mouseClick(child("aboutButton"))
        const about = child("aboutDialog")
        tryCompare(about, "opened", true)
        verify(/^TavGUI \d+\.\d+\.\d+(\+g[0-9a-f]{7,})?$/.test(child("aboutVersion", about).text))
        verify(child("aboutQtVersion", about).text.endsWith("Qt " + QT_VERSION))
        verify(Keyboard.press(about.contentItem, Qt.Key_Return))
        tryCompare(about, "visible", false)
    }

    function test_closingDuringASequenceAsksFirst() {
        connectTo(Module.TAV2)
        TavManager.tx.addPayloadItem("00112233445566778899AABBCCDDEEFF0011223344556677")
        mouseClick(child("startStopButton"))
        verify(TavManager.tx.sequenceRunning)
        window.close()
        const dialog = child("closeDialog")
        tryCompare(dialog, "opened", true)
        verify(window.visible, "the window stays until the user says")
        verify(Keyboard.press(dialog.contentItem, Qt.Key_Escape))
        tryCompare(dialog, "visible", false)
        verify(TavManager.tx.sequenceRunning && window.visible)
        window.close()
        tryCompare(dialog, "opened", true)
        mouseClick(dialog.standardButton(Dialog.Ok))
        verify(!TavManager.tx.sequenceRunning)
        verify(!window.visible)
        tryVerify(() => !TavManager.tx.ackPending, 8000)
    }

    function test_inputIsLockedWhileASequenceRuns() {
        connectTo(Module.TAV2)
        verify(window.g_enableInput)
        TavManager.tx.addPayloadItem("00112233445566778899AABBCCDDEEFF0011223344556677")
        mouseClick(child("startStopButton"))
        verify(TavManager.tx.sequenceRunning)
        verify(!window.g_enableInput)
        verify(!child("addPayloadButton").enabled)
        tryVerify(() => Simulators.requests("TAV2").some(r => r.startsWith("AT+TX=00112233")), 3000,
                  "the payload went to the module")
        mouseClick(child("startStopButton"))
        tryVerify(() => !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending, 8000)
        verify(window.g_enableInput)
    }

    function test_profileFlags() {
        verify(!window.g_importantTxOptionEnabled, "off at start")
        verify(window.g_periodicProfileSelected)
        TavManager.tx.selectedProfile = Profile.PREPASS_ON_MODULE
        verify(window.g_prepassOnModuleProfileSelected)
        verify(!window.g_periodicProfileSelected)
        verify(window.g_importantTxOptionEnabled, "important matters in the prepass profiles")
        TavManager.tx.selectedProfile = Profile.PREPASS
        verify(window.g_prepassProfileSelected)
        TavManager.tx.selectedProfile = Profile.PERIODIC
        verify(!window.g_importantTxOptionEnabled)
    }

    function test_closingSavesSettingsAndSize() {
        TavManager.tx.periodicProfile.period = 7
        window.width = 1200
        window.height = 800
        window.x = 40
        window.y = 30
        window.close()
        compare(Settings.windowWidth, 1200)
        compare(Settings.windowHeight, 800)
        compare(Settings.windowX, 40)
        compare(Settings.windowY, 30)
        // The transmission settings went to the store as well.
        const stored = Qt.createQmlObject("import Qt.labs.settings; Settings { category: 'Tx/Periodic'; property int period: 0 }", testCase)
        compare(stored.period, 7)
        stored.destroy()
    }
}
