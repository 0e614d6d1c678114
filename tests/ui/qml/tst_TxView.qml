import QtQuick
import QtQuick.Controls
import QtTest
import com.norvane.qml

// The payload list, checked against the modulation the connected module
// reports.
AppTestCase {
    id: testCase
    name: "TxView"

    // 24 bytes: what an LDA2 frame carries.
    readonly property string bytes24: "00112233445566778899AABBCCDDEEFF0011223344556677"

    function hexOf(count) {
        return bytes24.repeat(5).slice(0, 2 * count)
    }

    function init() {
        createWindow()
    }

    function cleanup() {
        destroyWindow()
    }

    function addPayload(text) {
        child("newPayloadField").text = text
        mouseClick(child("addPayloadButton"))
    }

    function isRed(field) {
        return field.error && Qt.colorEqual(field.color, Style.color.error)
    }

    function test_addsTheTypedMessage() {
        connectTo(Module.TREKON)
        const field = child("newPayloadField")
        verify(Keyboard.type(field, "cafe01"))
        compare(field.text, "cafe01")
        mouseClick(child("addPayloadButton"))
        compare(field.text, "", "the field is ready for the next one")
        compare(child("txView").payloadCount, 1)
        compare(child("payloadMessage0").text, "CAFE01")
        compare(child("payloadStatus0").text, "Idle")
    }

    function test_emptyMessageBecomesANumberedTestMessage() {
        connectTo(Module.TREKON)
        mouseClick(child("addPayloadButton"))
        mouseClick(child("addPayloadButton"))
        compare(child("payloadMessage0").text, "00000000")
        compare(child("payloadMessage1").text, "00000001")
    }

    function test_onlyHexadecimalDigitsCanBeTyped() {
        connectTo(Module.TREKON)
        const field = child("newPayloadField")
        verify(Keyboard.type(field, "0g1z-2 F"))
        compare(field.text, "012F")
        verify(!isRed(field))
        // Text that arrives otherwise is checked by the core all the same.
        field.text = "0G"
        verify(isRed(field), "non-hexadecimal text is refused")
    }

    function test_sizeRefusedByTheModulationTurnsRed_data() {
        const lda2 = " bytes: LDA2 carries 24 bytes, 22 with Ack or downlink"
        return [
            { tag: "LDA2 24 bytes", module: Module.TAV2, bytes: 24, red: false },
            { tag: "LDA2 23 bytes", module: Module.TAV2, bytes: 23, red: true, reason: "23" + lda2 },
            { tag: "LDA2 25 bytes", module: Module.TAV2, bytes: 25, red: true, reason: "25" + lda2 },
            { tag: "LDA2 half a byte short", module: Module.TAV2, bytes: 24, cut: 1, red: true,
              reason: "odd number of hex digits (47)" },
            { tag: "HDA4 48 bytes", module: Module.RIX, bytes: 48, red: false },
            { tag: "HDA4 30 bytes", module: Module.RIX, bytes: 30, red: true,
              reason: "30 bytes: HDA4 carries 24, 48 or 96 bytes, 22, 46 or 94 with Ack or downlink" },
            { tag: "no modulation reported", module: Module.TREKON, bytes: 7, red: false },
            { tag: "no modulation, odd digits", module: Module.TREKON, bytes: 2, cut: 1, red: true,
              reason: "odd number of hex digits (3)" }
        ]
    }
    function test_sizeRefusedByTheModulationTurnsRed(data) {
        connectTo(data.module)
        const field = child("newPayloadField")
        field.text = hexOf(data.bytes).slice(0, 2 * data.bytes - (data.cut || 0))
        compare(isRed(field), data.red, "the new payload while typed")
        mouseClick(child("addPayloadButton"))
        compare(isRed(child("payloadMessage0")), data.red, "the listed payload")
        compare(child("payloadStatus0").text, data.red ? "Error" : "Idle")
        compare(child("payloadRefusal0").visible, data.red)
        if (data.red)
            compare(child("payloadRefusal0").text, data.reason)
    }

    function test_emptyFieldIsNeverRed() {
        connectTo(Module.TAV2)
        const field = child("newPayloadField")
        field.text = "AB"
        verify(isRed(field))
        field.text = ""
        verify(!isRed(field), "an empty message becomes a numbered test message")
    }

    function test_acknowledgementTakesTwoBytesOfTheFrame() {
        connectTo(Module.TAV2)
        addPayload(hexOf(24))
        const message = child("payloadMessage0")
        const ack = child("payloadAck0")
        verify(!isRed(message))
        mouseClick(ack)
        verify(ack.checked)
        verify(isRed(message), "with the acknowledgement only 22 bytes fit")
        mouseClick(ack)
        verify(!isRed(message))
        mouseClick(child("payloadMail0"))
        verify(isRed(message), "the downlink request takes the same two bytes")
    }

    function test_modulationReportedLaterChecksEveryPayloadAgain() {
        connectTo(Module.TAV2)
        addPayload(hexOf(24))
        addPayload(hexOf(3))
        verify(!isRed(child("payloadMessage0")))
        verify(isRed(child("payloadMessage1")))
        compare(Simulators.control("TAV2", "send +RCONF=401620000,401680000,500,VLDA4"), "OK")
        tryCompare(TavManager.tx.modulationModel, "modulationName", "VLDA4")
        verify(isRed(child("payloadMessage0")), "24 bytes do not fit a VLDA4 frame")
        verify(!isRed(child("payloadMessage1")), "3 bytes do")
        const field = child("newPayloadField")
        field.text = hexOf(3)
        verify(!isRed(field))
        field.text = hexOf(24)
        verify(isRed(field))
    }

    function test_newPayloadFieldFollowsTheModulationWithoutRetyping() {
        connectTo(Module.TAV2)
        const field = child("newPayloadField")
        field.text = hexOf(3)
        verify(isRed(field))
        compare(Simulators.control("TAV2", "send +RCONF=401620000,401680000,500,VLDA4"), "OK")
        tryCompare(TavManager.tx.modulationModel, "modulationName", "VLDA4")
        tryVerify(() => !isRed(field), 1000, "the check follows the modulation the module reports")
    }

    function test_rowBeingEditedFollowsTheModulation() {
        connectTo(Module.TAV2)
        addPayload(hexOf(24))
        const message = child("payloadMessage0")
        message.selectAll()
        verify(Keyboard.type(message, hexOf(3)))
        verify(message.activeFocus)
        verify(isRed(message), "3 bytes do not fit an LDA2 frame")
        compare(Simulators.control("TAV2", "send +RCONF=401620000,401680000,500,VLDA4"), "OK")
        tryCompare(TavManager.tx.modulationModel, "modulationName", "VLDA4")
        tryVerify(() => !isRed(message), 1000, "the text being typed is checked against the new modulation")
        verify(message.activeFocus)
    }

    function test_editsTheMessageInPlace() {
        connectTo(Module.TAV2)
        addPayload(hexOf(24))
        const message = child("payloadMessage0")
        message.selectAll()
        verify(Keyboard.type(message, "a1b2"))
        verify(isRed(message), "checked while typed")
        verify(Keyboard.press(message, Qt.Key_Return))
        compare(message.text, "A1B2")
        compare(child("payloadStatus0").text, "Error")
        message.selectAll()
        verify(Keyboard.type(message, hexOf(24).toLowerCase()))
        verify(!isRed(message))
        verify(Keyboard.press(message, Qt.Key_Return))
        compare(message.text, hexOf(24))
        compare(child("payloadStatus0").text, "Idle")
    }

    function test_malformedPayloadIsNotSent() {
        connectTo(Module.TAV2)
        addPayload(hexOf(5))
        const before = requestCount(Module.TAV2)
        const dialog = child("txErrorDialog")
        mouseClick(child("startStopButton"))
        tryCompare(dialog, "opened", true)
        compare(dialog.message, "Payload P0 (" + hexOf(5) + ") is not correctly formatted.\r\nLength must be 24 bytes\r\n"
                + "(minus two bytes if ack or downlink options are enabled).")
        verify(!TavManager.tx.sequenceRunning)
        compare(requestsSince(Module.TAV2, before), [])
        mouseClick(dialog.standardButton(Dialog.Ok))
        tryCompare(dialog, "visible", false)
    }

    function test_sentPayloadCountsItsTransmissions() {
        connectTo(Module.TAV2)
        TavManager.tx.periodicProfile.redundancy = 2
        addPayload(hexOf(24))
        compare(child("payloadTxCount0").text, "0/2")
        mouseClick(child("startStopButton"))
        tryVerify(() => Simulators.requests("TAV2").indexOf("AT+TX=" + hexOf(24)) >= 0, 3000,
                  "the payload went to the module as typed")
        tryCompare(child("payloadTxCount0"), "text", "1/2", 3000)
        tryCompare(child("payloadResults0"), "text", "1 sent", 3000)
        mouseClick(child("startStopButton"))
        tryCompare(child("stopSequenceDialog"), "opened", true)
        mouseClick(child("stopAndClearButton"))
        tryVerify(() => !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending, 8000)
    }

    function test_removeTakesThePayloadOut() {
        connectTo(Module.TREKON)
        addPayload("01")
        addPayload("02")
        mouseClick(child("payloadRemove0"))
        compare(child("txView").payloadCount, 1)
        compare(child("payloadMessage0").text, "02")
    }

    function test_optionsFollowTheModuleAndProfile_data() {
        return [
            { tag: "TAV2", module: Module.TAV2, options: true },
            { tag: "RIX", module: Module.RIX, options: true },
            { tag: "TREKON", module: Module.TREKON, options: false },
            { tag: "TAV1", module: Module.TAV1, options: false }
        ]
    }
    function test_optionsFollowTheModuleAndProfile(data) {
        connectTo(data.module)
        addPayload("0102")
        compare(child("payloadAck0").visible, data.options)
        compare(child("payloadMail0").visible, data.options)
        mouseClick(child("profileButton" + Profile.PERIODIC))
        verify(!child("payloadImportant0").visible, "periodic transmissions have no important option")
        mouseClick(child("profileButton" + Profile.PREPASS))
        verify(child("payloadImportant0").visible)
    }

    function test_importantRaisesTheRedundancy() {
        connectTo(Module.TREKON)
        mouseClick(child("profileButton" + Profile.PREPASS))
        addPayload("0102")
        compare(child("payloadTxCount0").text, "0/4")
        mouseClick(child("payloadImportant0"))
        compare(child("payloadTxCount0").text, "0/10")
    }
}
