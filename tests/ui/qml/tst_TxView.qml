import QtQuick
import QtTest
import com.norvane.qml
import Payload
import "qrc:/qml/views"

TestCase {
    id: testCase
    visible: true
    name: "TxView"
    width: 900
    height: 600
    when: windowShown

    property bool g_enableInput: true
    property bool g_tav2ModuleSelected: true
    property bool g_rixModuleSelected: false
    property bool g_importantTxOptionEnabled: false

    readonly property var payloads: TavManager.tx.payloadListModel

    Component {
        id: viewComponent
        TxView {
            width: 900
            height: 600
        }
    }

    function init() {
        while (payloads.rowCount() > 0)
            payloads.remove(0)
        payloads.allowedSize = []
        TavManager.calls.clear()
        g_enableInput = true
        g_tav2ModuleSelected = true
        g_importantTxOptionEnabled = false
    }

    function child(view, name) {
        const item = findChild(view, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_addsTheTypedMessage() {
        const view = createTemporaryObject(viewComponent, testCase)
        const field = child(view, "newPayloadField")
        field.text = "cafe01"
        child(view, "addPayloadButton").clicked()
        compare(TavManager.calls.last(), "addPayloadItem(CAFE01)")
        compare(field.text, "")
        compare(view.payloadCount, 1)
        compare(payloads.value(0, "message"), "CAFE01")
    }

    function test_editsTheMessageInPlace() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.addPayloadItem("0102")
        waitForRendering(view)
        const field = child(view, "payloadMessage0")
        field.text = "a1b2c3"
        field.editingFinished()
        compare(payloads.value(0, "message"), "A1B2C3")
    }

    function test_sizeRefusedByTheModulationTurnsRed() {
        payloads.allowedSize = [3]
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.addPayloadItem("ABCDEF")
        waitForRendering(view)
        const field = child(view, "payloadMessage0")
        verify(!field.error, "three bytes are allowed")
        child(view, "payloadAck0").toggle()
        child(view, "payloadAck0").toggled()
        compare(payloads.value(0, "optionAck"), true)
        verify(field.error, "with ack the frame needs two more bytes")
        child(view, "payloadAck0").toggle()
        child(view, "payloadAck0").toggled()
        verify(!field.error)
        payloads.allowedSize = [8]
        verify(field.error, "a new modulation re-checks every payload")
    }

    function test_newPayloadFieldChecksWhileTyping() {
        payloads.allowedSize = [2]
        const view = createTemporaryObject(viewComponent, testCase)
        const field = child(view, "newPayloadField")
        field.text = "ABCD"
        verify(!field.error)
        field.text = "ABC"
        verify(field.error)
        field.text = ""
        verify(!field.error, "an empty message becomes a numbered test message")
    }

    function test_removeAndStatus() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.addPayloadItem("01")
        TavManager.tx.addPayloadItem("02")
        waitForRendering(view)
        payloads.setValue(1, "status", Status.ACTIVE)
        payloads.setValue(1, "txCount", 2)
        compare(child(view, "payloadStatus1").text, "Active")
        compare(child(view, "payloadTxCount1").text, "2/4")
        child(view, "payloadRemove0").clicked()
        compare(view.payloadCount, 1)
        compare(payloads.value(0, "message"), "02")
    }

    function test_optionsFollowTheModuleAndProfile() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.addPayloadItem("01")
        waitForRendering(view)
        verify(child(view, "payloadAck0").visible)
        verify(child(view, "payloadMail0").visible)
        verify(!child(view, "payloadImportant0").visible)
        g_tav2ModuleSelected = false
        g_importantTxOptionEnabled = true
        verify(!child(view, "payloadAck0").visible, "only TAV2 and RIX send acknowledged or mail messages")
        verify(child(view, "payloadImportant0").visible)
    }

    function test_listIsLockedWhileSending() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.addPayloadItem("01")
        waitForRendering(view)
        g_enableInput = false
        verify(!child(view, "payloadMessage0").enabled)
        verify(!child(view, "payloadRemove0").enabled)
        verify(!child(view, "addPayloadButton").enabled)
    }
}
