import QtQuick
import QtTest
import com.norvane.qml

// The dashboard: the sequence, the configuration of a Trekon and the last
// log line, with a simulated module.
AppTestCase {
    id: testCase
    name: "DashboardPage"

    readonly property string bytes24: "00112233445566778899AABBCCDDEEFF0011223344556677"

    function init() {
        Settings.repeatCount = 1
        createWindow()
    }

    function cleanup() {
        destroyWindow()
    }

    function addPayload(text) {
        child("newPayloadField").text = text
        mouseClick(child("addPayloadButton"))
    }

    function waitUntilIdle() {
        tryVerify(() => !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending, 8000, "the sequence ends")
    }

    function test_startNeedsAConnectionAndAPayload() {
        const button = child("startStopButton")
        verify(!button.enabled, "not connected")
        connectTo(Module.TAV2)
        verify(!button.enabled, "nothing to send yet")
        compare(button.toolTipText, "Add a payload first")
        addPayload(bytes24)
        verify(button.enabled)
    }

    function test_startUsesTheRepeatCountAndStopStops() {
        connectTo(Module.TAV2)
        addPayload(bytes24)
        const button = child("startStopButton")
        child("repeatSpin").value = 3
        mouseClick(button)
        verify(TavManager.tx.sequenceRunning)
        compare(Settings.repeatCount, 3, "the repeat count is remembered")
        compare(button.text, "Stop")
        compare(child("sequenceProgress").to, 3)
        verify(!child("repeatSpin").enabled)
        tryVerify(() => Simulators.requests("TAV2").indexOf("AT+TX=" + bytes24) >= 0, 3000)
        mouseClick(button)
        waitUntilIdle()
        compare(button.text, "Start")
        compare(child("sequenceStatus").text, "Idle")
    }

    function test_completedSequenceWaitsForReset() {
        connectTo(Module.TAV2)
        TavManager.tx.periodicProfile.redundancy = 1
        addPayload(bytes24)
        const button = child("startStopButton")
        mouseClick(button)
        tryCompare(button, "text", "Reset", 5000)
        compare(child("sequenceStatus").text, "Sequence complete (1/1): press Reset")
        compare(child("sequenceProgress").value, 1)
        compare(Simulators.requests("TAV2").filter(r => r.startsWith("AT+TX=")).length, 1, "sent once")
        mouseClick(button)
        waitUntilIdle()
        compare(button.text, "Start")
    }

    function test_stoppingWaitsForThePendingTransmission() {
        connectTo(Module.TAV2)
        Simulators.restart("TAV2", ["--tx-delay", "1500"])
        TavManager.disconnect()
        connectTo(Module.TAV2)
        addPayload(bytes24)
        mouseClick(child("startStopButton"))
        tryVerify(() => TavManager.tx.ackPending, 3000, "the module took the payload")
        compare(child("sequenceStatus").text, "Waiting for the module to transmit...")
        mouseClick(child("startStopButton"))
        verify(!TavManager.tx.sequenceRunning)
        verify(TavManager.tx.ackPending, "the module still transmits")
        compare(child("sequenceStatus").text, "Stopping: waiting for the last transmission...")
        verify(!child("startStopButton").enabled, "no new start before the module is done")
        waitUntilIdle()
        verify(child("startStopButton").enabled)
        compare(child("sequenceStatus").text, "Idle")
        TavManager.disconnect()
        Simulators.restart("TAV2")
    }

    function test_processingMessageShowsForOneAndAHalfSeconds() {
        connectTo(Module.TREKON)
        const label = child("processingMessage")
        TavManager.setProcessingData(false, "Unable to reset device!", true)
        compare(label.text, "ERROR: Unable to reset device!")
        verify(label.visible)
        TavManager.setProcessingData(false, "Configuration exported!", false)
        compare(label.text, "Configuration exported!")
        TavManager.setProcessingData(true, "", false)
        compare(label.text, "Configuration exported!", "an empty message leaves the last one")
        verify(child("processingIndicator").running)
        TavManager.setProcessingData(false)
        tryCompare(label, "visible", false, 3000)
    }

    function test_configurationIsReadFromTheTrekon() {
        connectTo(Module.TREKON)
        const before = requestCount(Module.TREKON)
        mouseClick(child("getConfigButton"))
        const words = requestsSince(Module.TREKON, before).map(r => r.split("=")[0])
        for (const word of ["AT+PREPASS_EN", "AT+TAV_REDUN", "AT+LORA_EN", "AT+POS", "AT+AOP", "AT+PREPASS_CFG"])
            verify(words.indexOf(word) >= 0, word + " in " + words.join(" "))
        verify(!TavManager.processingData)
    }

    function test_configurationIsForTheTrekonOnly() {
        connectTo(Module.TAV2)
        verify(!child("getConfigButton").visible)
    }

    function test_lastLogLine() {
        connectTo(Module.TAV2)
        const label = child("lastLogLine")
        tryVerify(() => label.text.endsWith("[TAV] +OK"), 1000, label.text)
        TavManager.getId()
        tryVerify(() => label.text.endsWith("[TAV] +ID=04A1C7F2"), 1000, label.text)
        TavManager.logger.clearLogs()
        compare(label.text, "")
    }
}
