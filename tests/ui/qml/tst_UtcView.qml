import QtQuick
import QtTest
import com.norvane.qml
import "qrc:/qml/views"

TestCase {
    id: testCase
    visible: true
    name: "UtcView"
    width: 600
    height: 200

    property bool g_connected: false
    property bool g_tav1ModuleSelected: false
    property bool g_enableInput: true

    Component {
        id: utcComponent
        UtcView {}
    }

    function test_offsetFromTheToolsClock_data() {
        const ref = new Date(Date.UTC(2024, 2, 5, 14, 0, 0))
        return [
            { tag: "same time", text: "Tue Mar 5, 14:00:00", ref: ref, offset: 0 },
            { tag: "one second apart counts as none", text: "Tue Mar 5, 14:00:01", ref: ref, offset: 0 },
            { tag: "an hour ahead", text: "Tue Mar 5, 15:00:00", ref: ref, offset: 3600 },
            { tag: "a day behind", text: "Mon Mar 4, 14:00:00", ref: ref, offset: -86400 },
            { tag: "across new year", text: "Wed Jan 1, 00:00:30", ref: new Date(Date.UTC(2024, 11, 31, 23, 59, 0)), offset: 90 },
            { tag: "unreadable", text: "soon", ref: ref, offset: 0 }
        ]
    }
    function test_offsetFromTheToolsClock(data) {
        const view = createTemporaryObject(utcComponent, testCase)
        compare(view.offsetFrom(data.text, data.ref), data.offset)
    }

    function test_offsetText() {
        const view = createTemporaryObject(utcComponent, testCase)
        compare(view.offsetText(0), "no offset")
        compare(view.offsetText(3725), "offset +1:02:05")
        compare(view.offsetText(-90061), "offset -1 d 1:01:01")
    }

    function test_customTimeMovesTheToolsClock() {
        const view = createTemporaryObject(utcComponent, testCase)
        const later = new Date(Date.now() + 7200 * 1000)
        TavManager.tx.setCustomUtcTime(later.toISOString().replace(/\.\d{3}Z$/, "Z"))
        view.now = new Date()
        verify(Math.abs(view.offsetSeconds - 7200) <= 2, "offset " + view.offsetSeconds)
    }
}
