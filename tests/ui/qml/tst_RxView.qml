import QtQuick
import QtTest
import com.norvane.qml

TestCase {
    id: testCase
    visible: true
    name: "RxView"
    width: 800
    height: 400

    Component {
        id: rxComponent
        RxView {
            width: 800
            height: 400
        }
    }

    function test_takesOnlyReceivedMessagesFromTheModule_data() {
        return [
            { tag: "downlink", line: "[10:00:00:001] [TAV] +RX=48656C6C6F", taken: true },
            { tag: "beacon from the kit", line: "[10:00:00:002] [TRK] +BC=0102", taken: true },
            { tag: "request sent by the tool", line: "[10:00:00:003] [APP] +RX=48656C6C6F", taken: false },
            { tag: "other response", line: "[10:00:00:004] [TAV] +OK", taken: false },
            { tag: "message mentioning RX", line: "[10:00:00:005] [TAV] +TX=0,+RX=12", taken: false }
        ]
    }
    function test_takesOnlyReceivedMessagesFromTheModule(data) {
        const view = createTemporaryObject(rxComponent, testCase)
        TavManager.logger.history.messageReceived(data.line)
        compare(view.count, data.taken ? 1 : 0)
    }

    function test_showsKindTimeAndText() {
        const view = createTemporaryObject(rxComponent, testCase)
        TavManager.logger.history.messageReceived("[10:00:00:001] [TAV] +RX=48656C6C6F")
        TavManager.logger.history.messageReceived("[10:00:01:000] [TAV] +BC=00FF")
        compare(view.text(), "10:00:00.001\tDownlink\t48656C6C6F\n10:00:01.000\tBeacon\t00FF")
        compare(view.ascii("48656C6C6F"), "Hello")
        compare(view.ascii("00FF41"), "..A")
    }

    function test_keepsTheLastMessages() {
        const view = createTemporaryObject(rxComponent, testCase, { "maxMessages": 3 })
        for (let i = 0; i < 5; ++i)
            TavManager.logger.history.messageReceived("[10:00:0" + i + ":000] [TAV] +RX=0" + i)
        compare(view.count, 3)
        verify(view.text().startsWith("10:00:02.000"))
    }

    function test_downlinkFromTheModuleIsListed() {
        const view = createTemporaryObject(rxComponent, testCase)
        TavManager.connect(Module.TAV2, Simulators.portOf("TAV2"), "Default")
        verify(TavManager.board !== null)
        compare(Simulators.control("TAV2", "rx 48656C6C6F"), "OK")
        compare(Simulators.control("TAV2", "bc 00FF"), "OK")
        tryCompare(view, "count", 2)
        const rows = view.text().split("\n").map(r => r.split("\t").slice(1).join(" "))
        compare(rows, ["Downlink 48656C6C6F", "Beacon 00FF"])
        TavManager.disconnect()
    }
}
