import QtQuick
import QtQuick.Controls
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
        // Reset clears the recorded transmission: it asks first.
        tryCompare(child("stopSequenceDialog"), "opened", true)
        verify(TavManager.tx.sequenceRunning)
        mouseClick(child("stopAndClearButton"))
        waitUntilIdle()
        compare(TavManager.tx.txRecords.count, 0)
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

    function test_processingMessageShowsForOneAndAHalfSecondsInItsOwnLine() {
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
        const height = label.height
        verify(height > 0)
        TavManager.setProcessingData(false)
        tryCompare(label, "text", "", 3000)
        compare(label.height, height, "the line stays, so nothing below it moves")
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

    // The import dialog lists what the file changes in the views; loading
    // sends nothing, the second choice uploads and reads back, Cancel
    // changes nothing.
    function test_importLoadsIntoTheViewsOrUploads_data() {
        return [
            { tag: "cancel", button: Dialog.Cancel },
            { tag: "Escape", button: Dialog.Cancel, key: Qt.Key_Escape },
            { tag: "load into the views", button: Dialog.Ok },
            { tag: "Enter", button: Dialog.Ok, key: Qt.Key_Return },
            { tag: "load, upload and verify", button: Dialog.Apply }
        ]
    }
    function test_importLoadsIntoTheViewsOrUploads(data) {
        connectTo(Module.TREKON)
        TavManager.getConfig()
        const sensors = TavManager.board.sensorListModel
        const alertEnable = row => sensors.data(sensors.index(row, 0), Qt.UserRole + 8)
        verify(!alertEnable(0), "the kit raises no alert")
        const period = sensors.acquisitionPeriod
        const path = TestFiles.write("kit.conf",
            "AT+PACQ_SENS=1,1,1,1,1,1,1\r\nAT+ALRT_SENS=1,0,1,0,0,0,0\r\nAT+PACQ=1234\r\nAT+RST=\r\n")
        const before = requestCount(Module.TREKON)
        const dialog = child("configDiffDialog")
        verify(dialog.check.compareWithViews(path))
        dialog.open()
        tryCompare(dialog, "opened", true)
        compare(dialog.check.differences.map(d => d.name + ": " + d.views + " > " + d.file),
            ["GNSS alerts enabled: 0 > 1", "Humidity alerts enabled: 0 > 1", "Acquisition period: " + period + " > 1234"])
        compare(child("configDiffSummary").text,
            "Loading the file changes 3 fields of the views. Nothing goes to the module unless you upload.")
        compare(dialog.standardButton(Dialog.Ok).text, "Load into the views")
        verify(dialog.standardButton(Dialog.Ok).highlighted, "loading is the default")
        compare(dialog.standardButton(Dialog.Apply).text, "Load, upload and verify")
        if (data.key !== undefined)
            verify(Keyboard.press(dialog.contentItem, data.key))
        else
            mouseClick(dialog.standardButton(data.button))
        tryCompare(dialog, "visible", false)

        const loaded = data.button !== Dialog.Cancel
        compare(alertEnable(0), loaded)
        compare(alertEnable(2), loaded)
        verify(!alertEnable(1))
        compare(sensors.acquisitionPeriod, loaded ? 1234 : period)
        const mark = child("notUploadedMark")
        if (data.button !== Dialog.Apply) {
            compare(requestsSince(Module.TREKON, before), [], "nothing went to the kit")
            compare(mark.visible, loaded)
            if (loaded)
                compare(mark.text, "Loaded from kit.conf, not yet uploaded")
            TavManager.getConfig()
            verify(!mark.visible, "a read of the kit shows the kit again")
            return
        }
        tryCompare(child("processingMessage"), "text", "Configuration uploaded and verified!", 10000)
        const sent = requestsSince(Module.TREKON, before)
        verify(sent.indexOf("AT+ALRT_SENS=1,0,1,0,0,0,0") >= 0, sent.join(" "))
        verify(sent.indexOf("AT+PACQ_SENS=1,1,1,1,1,1,1") >= 0, sent.join(" "))
        verify(sent.lastIndexOf("AT+ALRT_SENS=?") > sent.indexOf("AT+RST="), "read back after the reset")
        verify(!mark.visible)
        Simulators.restart("TREKON")
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
