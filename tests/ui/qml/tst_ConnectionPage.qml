import QtQuick
import QtTest
import com.norvane.qml
import TavBoard
import Settings
import "qrc:/qml"

TestCase {
    id: testCase
    visible: true
    name: "ConnectionPage"
    width: 1200
    height: 800
    when: windowShown

    Component {
        id: pageComponent
        ConnectionPage {
            width: 1200
            height: 800
        }
    }

    function init() {
        Settings.firstVisit = false
        Settings.mode = TavManager.BASIC
        Settings.module = Module.TREKON
        Settings.lastPort = ""
        TavManager.calls.clear()
    }

    function child(page, name) {
        const item = findChild(page, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_startsInTheStoredMode() {
        Settings.mode = TavManager.EXPERT
        const page = createTemporaryObject(pageComponent, testCase)
        compare(TavManager.calls.last(), "setMode(1)")
        verify(child(page, "expertRadio").checked)
        verify(child(page, "baudCombo").visible)
    }

    function test_expertShowsTheBaudRateAndBasicResetsIt() {
        const page = createTemporaryObject(pageComponent, testCase)
        const baud = child(page, "baudCombo")
        verify(!baud.visible, "basic mode has no baud rate choice")
        mouseClick(child(page, "expertRadio"))
        compare(Settings.mode, TavManager.EXPERT)
        compare(TavManager.calls.last(), "setMode(1)")
        verify(baud.visible)
        baud.currentIndex = 2
        mouseClick(child(page, "basicRadio"))
        compare(Settings.mode, TavManager.BASIC)
        compare(TavManager.calls.last(), "setMode(0)")
        compare(baud.currentIndex, 0)
        verify(!baud.visible)
    }

    function test_connectSendsBoardPortAndBaudRate() {
        Settings.mode = TavManager.EXPERT
        const page = createTemporaryObject(pageComponent, testCase)
        mouseClick(child(page, "evkTAV2"))
        child(page, "portCombo").currentIndex = 1
        child(page, "baudCombo").currentIndex = 1
        mouseClick(child(page, "connectButton"))
        compare(TavManager.calls.count("connect("), 1)
        verify(TavManager.calls.calls.indexOf("connect(2,/dev/ttyUSB1,9600)") >= 0, TavManager.calls.calls.join(" "))
        compare(Settings.module, Module.TAV2, "the connected board is remembered")
        compare(Settings.lastPort, "/dev/ttyUSB1")
        verify(!child(page, "connectBusy").running, "connected: the busy indicator stops")
        TavManager.disconnect()
    }

    function test_failedConnectionStopsTheBusyIndicator() {
        const page = createTemporaryObject(pageComponent, testCase)
        const port = child(page, "portCombo")
        port.editText = "/dev/silent"
        child(page, "connectButton").clicked()
        verify(TavManager.calls.calls.indexOf("connect(4,/dev/silent,Default)") >= 0, TavManager.calls.calls.join(" "))
        verify(!child(page, "connectBusy").running)
        compare(Settings.module, Module.TREKON)
        TavManager.disconnect()
    }

    function test_refreshListsThePortsAgain() {
        const page = createTemporaryObject(pageComponent, testCase)
        const port = child(page, "portCombo")
        port.currentIndex = 1
        const before = TavManager.serialPort.enumerateCount
        mouseClick(child(page, "refreshPortsButton"))
        compare(TavManager.serialPort.enumerateCount, before + 1)
        compare(port.currentIndex, 0)
    }

    function test_welcomeOpensOnFirstVisitOnly() {
        Settings.firstVisit = true
        const page = createTemporaryObject(pageComponent, testCase)
        const welcome = child(page, "welcomeDialog")
        tryCompare(welcome, "opened", true)
        compare(welcome.width, page.width * 0.3)
        compare(welcome.height, page.width * 0.3)
        welcome.close()
        tryCompare(welcome, "visible", false)
        compare(Settings.firstVisit, false)

        const again = createTemporaryObject(pageComponent, testCase)
        verify(!child(again, "welcomeDialog").visible)
        child(again, "helpButton").clicked()
        tryCompare(child(again, "welcomeDialog"), "opened", true)
    }
}
