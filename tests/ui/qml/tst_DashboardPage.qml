import QtQuick
import QtTest
import com.norvane.qml
import Settings
import "qrc:/qml"

TestCase {
    id: testCase
    visible: true
    name: "DashboardPage"
    width: 1300
    height: 800
    when: windowShown

    property var g_board: TavManager.board
    property bool g_connected: true
    property bool g_enableInput: !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending
    property bool g_trekonModuleSelected: true
    property bool g_tav1ModuleSelected: false
    property bool g_tav2ModuleSelected: false
    property bool g_rixModuleSelected: false
    property bool g_periodicProfileSelected: true
    property bool g_prepassProfileSelected: false
    property bool g_prepassOnModuleProfileSelected: false
    property bool g_importantTxOptionEnabled: false

    Component {
        id: pageComponent
        DashboardPage {
            width: 1300
            height: 800
        }
    }

    function init() {
        Settings.repeatCount = 1
        TavManager.tx.sequenceRunning = false
        TavManager.calls.clear()
        const payloads = TavManager.tx.payloadListModel
        while (payloads.rowCount() > 0)
            payloads.remove(0)
    }

    function child(page, name) {
        const item = findChild(page, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_processingMessageShowsForOneAndAHalfSeconds() {
        const page = createTemporaryObject(pageComponent, testCase)
        const label = child(page, "processingMessage")
        TavManager.setProcessingData(false, "Unable to reset device!", true)
        compare(label.text, "ERROR: Unable to reset device!")
        verify(label.visible)
        TavManager.setProcessingData(false, "Configuration exported!", false)
        compare(label.text, "Configuration exported!")
        TavManager.setProcessingData(true, "", false)
        compare(label.text, "Configuration exported!", "an empty message leaves the last one")
        verify(child(page, "processingIndicator").running)
        tryCompare(label, "visible", false, 3000)
    }

    function test_configurationButtons() {
        const page = createTemporaryObject(pageComponent, testCase)
        TavManager.setProcessingData(false)
        child(page, "getConfigButton").clicked()
        compare(TavManager.calls.last(), "getConfig()")
        child(page, "uploadConfigButton").clicked()
        compare(TavManager.calls.last(), "uploadConfig()")
    }

    function test_startUsesTheRepeatCountAndStopStops() {
        const page = createTemporaryObject(pageComponent, testCase)
        const button = child(page, "startStopButton")
        verify(!button.enabled, "nothing to send yet")
        TavManager.tx.addPayloadItem("01")
        verify(button.enabled)
        child(page, "repeatSpin").value = 3
        button.clicked()
        compare(TavManager.calls.last(), "start(3)")
        compare(Settings.repeatCount, 3)
        compare(button.text, "Stop")
        TavManager.tx.timeUntilNextTx = 125
        compare(child(page, "sequenceStatus").text, "Next transmission in 02:05")
        TavManager.tx.emitCompleted()
        compare(button.text, "Reset")
        button.clicked()
        compare(TavManager.calls.last(), "stop()")
        compare(button.text, "Start")
        compare(child(page, "sequenceStatus").text, "Idle")
    }

    function test_stoppingWaitsForThePendingTransmission() {
        const page = createTemporaryObject(pageComponent, testCase)
        TavManager.tx.addPayloadItem("01")
        TavManager.tx.ackPending = true
        compare(child(page, "sequenceStatus").text, "Stopping: waiting for the last transmission...")
        verify(!child(page, "startStopButton").enabled)
        TavManager.tx.ackPending = false
        verify(child(page, "startStopButton").enabled)
    }

    function test_lastLogLine() {
        const page = createTemporaryObject(pageComponent, testCase)
        TavManager.logger.logCreated("[10:00:00:000] [TRK] +OK")
        compare(child(page, "lastLogLine").text, "[10:00:00:000] [TRK] +OK")
        TavManager.logger.clearLogs()
        compare(child(page, "lastLogLine").text, "")
    }
}
