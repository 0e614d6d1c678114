import QtQuick
import QtQuick.Controls
import QtTest
import com.norvane.qml

// The connection page: mode, board, port and baud rate, on the simulators.
AppTestCase {
    id: testCase
    name: "ConnectionPage"

    function init() {
        Settings.mode = TavManager.BASIC
        Settings.module = Module.TREKON
        Settings.lastPort = ""
    }

    function cleanup() {
        destroyWindow()
    }

    function test_startsInTheStoredMode_data() {
        return [
            { tag: "basic", mode: TavManager.BASIC, expert: false },
            { tag: "expert", mode: TavManager.EXPERT, expert: true }
        ]
    }
    function test_startsInTheStoredMode(data) {
        Settings.mode = data.mode
        createWindow()
        compare(child("expertRadio").checked, data.expert)
        compare(child("basicRadio").checked, !data.expert)
        compare(child("baudCombo").visible, data.expert)
        // The manager got the stored mode: a TAV1 is asked for its frequency
        // and power in expert mode only.
        const before = requestCount(Module.TAV1)
        connectTo(Module.TAV1)
        const words = requestsSince(Module.TAV1, before).map(r => r.split("=")[0])
        compare(words.indexOf("AT+ATXFRQ") >= 0, data.expert, words.join(" "))
        compare(words.indexOf("AT+PWR") >= 0, data.expert, words.join(" "))
    }

    function test_expertShowsTheBaudRateAndBasicResetsIt() {
        createWindow()
        const baud = child("baudCombo")
        verify(!baud.visible, "basic mode has no baud rate choice")
        mouseClick(child("expertRadio"))
        compare(Settings.mode, TavManager.EXPERT)
        verify(baud.visible)
        compare(baud.model, ["Default", "9600", "115200"])
        const tip = child("expertTip")
        tryCompare(tip, "visible", true)
        compare(tip.text, "More settings available!")
        compare(tip.timeout, 2000)
        baud.currentIndex = 2
        mouseClick(child("basicRadio"))
        compare(Settings.mode, TavManager.BASIC)
        compare(baud.currentIndex, 0, "back to the default rate")
        verify(!baud.visible)
    }

    function test_modeClickedReachesTheManager() {
        createWindow()
        mouseClick(child("expertRadio"))
        let before = requestCount(Module.TAV1)
        connectTo(Module.TAV1)
        verify(requestsSince(Module.TAV1, before).indexOf("AT+PWR=?") >= 0)
        window.disconnectBoard()
        settle()
        mouseClick(child("basicRadio"))
        before = requestCount(Module.TAV1)
        connectTo(Module.TAV1)
        compare(requestsSince(Module.TAV1, before).indexOf("AT+PWR=?"), -1)
    }

    function test_baudRateReachesTheLine_data() {
        return [
            { tag: "TAV2 default", module: Module.TAV2, baud: "Default", rate: 9600 },
            { tag: "TAV2 fast", module: Module.TAV2, baud: "115200", rate: 115200 },
            { tag: "TREKON default", module: Module.TREKON, baud: "Default", rate: 115200 },
            { tag: "TREKON slow", module: Module.TREKON, baud: "9600", rate: 9600 }
        ]
    }
    function test_baudRateReachesTheLine(data) {
        Settings.mode = TavManager.EXPERT
        createWindow()
        connectThroughPage(data.module, data.baud)
        compare(topBar().state, "dashboardPage")
        compare(Simulators.baudOf(moduleNames[data.module]), data.rate)
    }

    function test_basicModeConnectsAtTheBoardsOwnRate() {
        Settings.mode = TavManager.EXPERT
        createWindow()
        child("baudCombo").currentIndex = 2
        mouseClick(child("basicRadio"))
        connectThroughPage(Module.TAV2)
        compare(Simulators.baudOf("TAV2"), 9600)
    }

    function test_connectUsesTheChosenBoardAndPort() {
        createWindow()
        verify(child("evkTrekon").checked, "the stored board is preselected")
        connectThroughPage(Module.RIX)
        compare(TavManager.board.module, Module.RIX)
        compare(TavManager.board.port, Simulators.portOf("RIX"))
        compare(Settings.module, Module.RIX)
        compare(Settings.lastPort, Simulators.portOf("RIX"))
        verify(!child("connectBusy").running)
    }

    function test_storedPortIsPreselected() {
        Settings.lastPort = Simulators.portOf("RIX")
        createWindow()
        compare(child("portCombo").currentText, Simulators.portOf("RIX"))
    }

    function test_connectNeedsAPort() {
        createWindow()
        const port = child("portCombo")
        port.editText = "  "
        verify(!child("connectButton").enabled)
        port.editText = Simulators.portOf("TAV2")
        verify(child("connectButton").enabled)
    }

    function test_unknownPortStopsTheBusyIndicator() {
        createWindow()
        mouseClick(child("evkTAV2"))
        const port = child("portCombo")
        port.editText = "/dev/no-such-kit"
        mouseClick(child("connectButton"))
        verify(!child("connectBusy").running)
        compare(topBar().state, "connectionPage")
        compare(Settings.module, Module.TREKON, "a failed connection is not remembered")
        const dialog = child("serialErrorDialog")
        tryCompare(dialog, "opened", true)
        verify(dialog.message !== "")
        mouseClick(dialog.standardButton(Dialog.Ok))
        tryCompare(dialog, "visible", false)
    }

    function test_wrongBoardNamesTheOneFoundAndUsesIt() {
        createWindow()
        TavManager.serialPort.enumerate()
        const portCombo = child("portCombo")
        portCombo.currentIndex = portCombo.find(Simulators.portOf("TAV1"))
        mouseClick(child("evkTAV2"))
        mouseClick(child("connectButton"))
        const dialog = child("identityDialog")
        tryCompare(dialog, "opened", true)
        // The wrong board's link is closed: the page comes back.
        tryCompare(topBar(), "state", "connectionPage")
        compare(child("identityMessage").text,
                "This module answers as a TAV1, not a TAV2: choose TAV1 and connect again")
        compare(TavManager.board, null, "the wrong board is not kept")
        tryCompare(topBar(), "state", "connectionPage")
        // The buttons are made per variant found, inside the dialog.
        mouseClick(child("useTAV1", dialog))
        tryCompare(topBar(), "state", "dashboardPage")
        compare(TavManager.board.module, Module.TAV1)
        verify(child("evkTAV1").checked)
    }

    function test_refreshListsThePortsAgain() {
        createWindow()
        const port = child("portCombo")
        port.currentIndex = port.count - 1
        mouseClick(child("refreshPortsButton"))
        compare(port.currentIndex, 0)
    }

    // Simulators going and coming stand for kits being unplugged and plugged.
    function test_listFollowsPluggedDevices() {
        createWindow()
        const port = child("portCombo")
        const rix = Simulators.portOf("RIX")
        port.currentIndex = port.find(rix)
        port.activated(port.currentIndex)
        const path = Simulators.portOf("TAV2")
        Simulators.stop("TAV2")
        tryVerify(() => port.find(path) === -1, 2000, "an unplugged kit leaves the list")
        compare(port.currentText, rix, "the choice stays")
        verify(Simulators.portOf("TAV2") !== "")
        tryVerify(() => port.find(path) >= 0, 2000, "a kit plugged in shows up by itself")
        compare(port.currentText, path, "and is chosen")
        compare(child("portDetails").visible, false, "a pseudo-terminal has no details")
        verify(TavManager.serialPort.watching)
        mouseClick(child("topBarLeftButton"))
        tryCompare(TavManager.serialPort, "watching", false, 2000, "no polling behind another page")
    }

    function test_missingSavedPortIsNamedAndChosenWhenItComes() {
        const path = Simulators.portOf("TAV2")
        Settings.lastPort = path
        Simulators.stop("TAV2")
        createWindow()
        const port = child("portCombo")
        compare(port.editText, path, "not replaced by another port")
        compare(child("missingPort").text, "Saved port " + path + " is not plugged in")
        verify(Simulators.portOf("TAV2") !== "")
        tryCompare(port, "currentText", path, 2000, "chosen again by itself")
        verify(!child("missingPort").visible)
        // Unplugged while chosen: named again, not replaced.
        Simulators.stop("TAV2")
        tryCompare(child("missingPort"), "visible", true, 2000)
        compare(port.editText, path)
        verify(Simulators.portOf("TAV2") !== "")
        tryCompare(port, "currentText", path, 2000)
    }

    function test_welcomeOpensOnFirstVisitOnly() {
        createWindow()
        const page = child("connectionPage")
        const welcome = child("welcomeDialog")
        verify(!welcome.visible)
        mouseClick(child("helpButton"))
        tryCompare(welcome, "opened", true)
        compare(welcome.width, page.width * 0.3)
        compare(welcome.height, page.width * 0.3)
        welcome.close()
        tryCompare(welcome, "visible", false)
        compare(Settings.firstVisit, false)
    }

    function test_welcomeOpensByItselfOnTheFirstVisit() {
        Settings.firstVisit = true
        const component = Qt.createComponent("qrc:/qt/qml/com/norvane/qml/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window !== null)
        const welcome = child("welcomeDialog")
        tryCompare(welcome, "opened", true)
        welcome.close()
        tryCompare(welcome, "visible", false)
        compare(Settings.firstVisit, false, "shown once")
    }
}
