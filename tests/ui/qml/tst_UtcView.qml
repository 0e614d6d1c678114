import QtQuick
import QtTest
import com.norvane.qml

TestCase {
    id: testCase
    visible: true
    when: windowShown
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

    function test_offsetText() {
        const view = createTemporaryObject(utcComponent, testCase)
        compare(view.offsetText(0), "no offset")
        compare(view.offsetText(3725), "offset +1:02:05")
        compare(view.offsetText(-90061), "offset -1 d 1:01:01")
    }

    function test_dialogTimeRunsWhileOpen() {
        const view = createTemporaryObject(utcComponent, testCase)
        mouseClick(findChild(view, "utcEditButton"))
        const dialog = findChild(view, "utcDialogItem")
        tryCompare(dialog, "opened", true)
        const shown = dialog.chosen().getTime()
        tryVerify(() => dialog.chosen().getTime() > shown, 3000, "the shown time moves on")
        keyClick(Qt.Key_Escape)
        tryCompare(dialog, "visible", false)
    }

    function test_customTimeMovesTheToolsClock() {
        const view = createTemporaryObject(utcComponent, testCase)
        const later = new Date(Date.now() + 7200 * 1000)
        TavManager.tx.setCustomUtcTime(later.toISOString().replace(/\.\d{3}Z$/, "Z"))
        verify(Math.abs(view.offsetSeconds - 7200) <= 2, "offset " + view.offsetSeconds)
        // A late tick of the tool's clock is no offset.
        TavManager.tx.setCustomUtcTime(new Date().toISOString().replace(/\.\d{3}Z$/, "Z"))
        compare(view.offsetSeconds, 0)
    }
}
