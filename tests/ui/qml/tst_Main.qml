import QtQuick
import QtTest
import com.norvane.qml
import TavBoard
import TxManager
import Settings

TestCase {
    id: testCase
    name: "MainWindow"
    when: windowShown

    property var window: null

    function init() {
        Settings.firstVisit = false
        Settings.mode = TavManager.BASIC
        Settings.windowWidth = 1350
        Settings.windowHeight = 850
        TavManager.tx.selectedProfile = Profile.PERIODIC
        TavManager.tx.sequenceRunning = false
        TavManager.tx.ackPending = false
        const component = Qt.createComponent("qrc:/qml/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window !== null)
        TavManager.calls.clear()
    }

    function cleanup() {
        if (TavManager.board)
            TavManager.disconnect()
        window.destroy()
        window = null
    }

    function child(name) {
        const item = findChild(window, name)
        verify(item !== null, "no " + name)
        return item
    }

    function topBar() {
        return child("topBar")
    }

    function test_windowTitleAndSize() {
        compare(window.title, "TavGUI")
        compare(window.width, 1350)
        compare(window.height, 850)
        compare(topBar().state, "connectionPage")
        compare(child("topBarTitle").text, "Connect your TAV Evaluation Kit (EVK)")
        verify(!child("topBarBoardLine").visible)
    }

    function test_connectionShowsTheDashboardAndTheBoardLine_data() {
        return [
            { tag: "TREKON", module: Module.TREKON, line: "ID: 1A2B3C, FW: 1234,SW1.4.2, <b>TREKON connected to /dev/ttyUSB0</b>" },
            { tag: "TAV1", module: Module.TAV1, line: "ID: 1A2B3C, FW: V2.1.0, S/N: TAV12345678901, <b>TAV1 connected to /dev/ttyUSB0</b>" },
            { tag: "TAV2", module: Module.TAV2, line: "ID: 1A2B3C, FW: V2.1.0, ADDR: 0A1B2C3D, <b>TAV2 connected to /dev/ttyUSB0</b>" },
            { tag: "RIX", module: Module.RIX, line: "ID: 1A2B3C, FW: V2.1.0, ADDR: 0A1B2C3D, <b>RIX connected to /dev/ttyUSB0</b>" }
        ]
    }
    function test_connectionShowsTheDashboardAndTheBoardLine(data) {
        TavManager.connect(data.module, "/dev/ttyUSB0", "Default")
        compare(topBar().state, "dashboardPage")
        compare(child("topBarTitle").text, "Basic Mode")
        verify(child("topBarBoardLine").visible)
        compare(child("topBarBoardText").text, data.line)
        compare(window.g_trekonModuleSelected, data.module === Module.TREKON)
        compare(window.g_tav1ModuleSelected, data.module === Module.TAV1)
        compare(window.g_tav2ModuleSelected, data.module === Module.TAV2)
        compare(window.g_rixModuleSelected, data.module === Module.RIX)
    }

    function test_expertTitle() {
        Settings.mode = TavManager.EXPERT
        TavManager.connect(Module.TAV2, "/dev/ttyUSB0", "Default")
        compare(child("topBarTitle").text, "Expert Mode")
    }

    function test_settingsPageAndBack() {
        TavManager.connect(Module.TREKON, "/dev/ttyUSB0", "Default")
        const button = child("topBarLeftButton")
        compare(button.iconRole, "setting")
        button.clicked()
        compare(topBar().state, "settingsPage")
        compare(child("topBarTitle").text, "Settings")
        compare(button.iconRole, "return")
        verify(!child("topBarBoardLine").visible)
        button.clicked()
        compare(topBar().state, "dashboardPage")
        compare(child("topBarTitle").text, "Basic Mode")
    }

    function test_settingsFromTheConnectionPageComesBack() {
        child("topBarLeftButton").clicked()
        compare(topBar().state, "settingsPage")
        child("topBarLeftButton").clicked()
        compare(topBar().state, "connectionPage")
    }

    function test_disconnectFromTheSettingsPage() {
        TavManager.connect(Module.TREKON, "/dev/ttyUSB0", "Default")
        child("topBarLeftButton").clicked()
        const dialog = child("disconnectDialog")
        child("disconnectButton").clicked()
        compare(dialog.title, "Disconnect TREKON?")
        dialog.accept()
        verify(TavManager.calls.calls.indexOf("disconnect()") >= 0, TavManager.calls.calls.join(" "))
        compare(topBar().state, "connectionPage")
        compare(window.g_board, null)
        verify(!window.g_trekonModuleSelected)
        tryCompare(dialog, "visible", false)
    }

    function test_serialErrorDialogDisconnects() {
        TavManager.connect(Module.TAV2, "/dev/ttyUSB0", "Default")
        TavManager.emitSerialError("The evaluation kit is not reachable, it may have been unplugged")
        const dialog = child("serialErrorDialog")
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "The evaluation kit is not reachable, it may have been unplugged")
        dialog.accept()
        verify(TavManager.calls.calls.indexOf("disconnect()") >= 0, TavManager.calls.calls.join(" "))
        compare(topBar().state, "connectionPage")
    }

    function test_unansweredPingStaysOnTheConnectionPage() {
        TavManager.connect(Module.TAV1, "/dev/silent", "Default")
        compare(topBar().state, "connectionPage")
        const dialog = child("serialErrorDialog")
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "Unable to contact TAV1")
        dialog.accept()
        verify(TavManager.calls.calls.indexOf("disconnect()") >= 0, TavManager.calls.calls.join(" "))
    }

    function test_wakeUpDialogCancelsTheRequest() {
        TavManager.userActionRequested()
        const dialog = child("wakeUpDialog")
        tryCompare(dialog, "opened", true)
        dialog.reject()
        compare(TavManager.calls.last(), "cancelModuleRequest()")
    }

    function test_wakeUpDialogClosesWhenTheBoardWakes() {
        TavManager.connect(Module.TREKON, "/dev/ttyUSB0", "Default")
        TavManager.board.setIsAwake(false)
        TavManager.userActionRequested()
        const dialog = child("wakeUpDialog")
        tryCompare(dialog, "opened", true)
        TavManager.board.setIsAwake(true)
        tryCompare(dialog, "visible", false)
        compare(TavManager.calls.count("cancelModuleRequest"), 0)
    }

    function test_txErrorDialogShowsTheMessage() {
        TavManager.tx.emitTxError("Error: No prepass data imported.")
        const dialog = child("txErrorDialog")
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "Error: No prepass data imported.")
    }

    function test_inputIsLockedWhileASequenceRunsOrATxIsPending() {
        verify(window.g_enableInput)
        TavManager.tx.sequenceRunning = true
        verify(!window.g_enableInput)
        TavManager.tx.sequenceRunning = false
        TavManager.tx.ackPending = true
        verify(!window.g_enableInput)
        TavManager.tx.ackPending = false
        verify(window.g_enableInput)
    }

    function test_profileFlags() {
        verify(!window.g_importantTxOptionEnabled, "off at start")
        verify(window.g_periodicProfileSelected)
        TavManager.tx.selectedProfile = Profile.PREPASS_ON_MODULE
        verify(window.g_prepassOnModuleProfileSelected)
        verify(!window.g_periodicProfileSelected)
        verify(window.g_importantTxOptionEnabled, "important matters in the prepass profiles")
        TavManager.tx.selectedProfile = Profile.PERIODIC
        verify(!window.g_importantTxOptionEnabled)
    }

    function test_closingSavesSettingsAndSize() {
        window.width = 1200
        window.height = 800
        window.close()
        verify(TavManager.calls.calls.indexOf("saveSettings()") >= 0)
        compare(Settings.windowWidth, 1200)
        compare(Settings.windowHeight, 800)
    }
}
