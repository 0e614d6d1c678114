import QtQuick
import QtTest
import com.norvane.qml

// A test case on the whole application window, bound to the real manager and
// talking to the simulators. Every test gets a fresh window and a fresh
// connection; the manager is the same for the whole file.
TestCase {
    id: appCase

    readonly property var moduleNames: ({ [Module.TAV1]: "TAV1", [Module.TAV2]: "TAV2", [Module.RIX]: "RIX", [Module.TREKON]: "TREKON" })
    property var window: null

    when: windowShown

    function createWindow() {
        Settings.firstVisit = false
        const component = Qt.createComponent("qrc:/qt/qml/com/norvane/qml/main.qml")
        compare(component.status, Component.Ready, component.errorString())
        window = component.createObject(null)
        verify(window !== null, "the main window loads")
        // Pages change at once: the tests wait for what the pages do, not
        // for their animations.
        const stack = child("stackView")
        for (const transition of ["pushEnter", "pushExit", "popEnter", "popExit", "replaceEnter", "replaceExit"])
            stack[transition] = null
        waitForRendering(window.contentItem)
        // The dashboard and the settings are built after the first frame.
        tryVerify(() => window.pagesReady, 10000, "the pages are built")
        return window
    }

    function destroyWindow() {
        if (TavManager.board)
            TavManager.disconnect()
        Simulators.autoWake = true
        TavManager.reconnect = false
        Notifications.clear()
        TavManager.tx.selectedProfile = Profile.PERIODIC
        const payloads = TavManager.tx.payloadListModel
        while (payloads.rowCount() > 0)
            payloads.remove(0)
        TavManager.logger.clearLogs()
        if (window) {
            window.destroy()
            window = null
        }
    }

    // By object name, in the object tree or else in the visual tree (items
    // made by repeaters and the content of popups are only there).
    function findItem(root, name) {
        const found = findChild(root, name)
        if (found !== null)
            return found
        const pending = [root.contentItem !== undefined ? root.contentItem : root]
        while (pending.length > 0) {
            const item = pending.shift()
            if (!item)
                continue
            if (item.objectName === name)
                return item
            if (item.contentItem !== undefined && item.contentItem !== item)
                pending.push(item.contentItem)
            for (let i = 0; item.children !== undefined && i < item.children.length; ++i)
                pending.push(item.children[i])
        }
        return null
    }

    function child(name, from) {
        const item = findItem(from || window, name)
        verify(item !== null, "no " + name)
        return item
    }

    // Scrolls the item into the view of the scrolling pane it is in, then
    // clicks it as the user would.
    function clickOn(item) {
        for (let p = item.parent; p; p = p.parent) {
            if (p.contentY !== undefined && p.contentHeight !== undefined && p.contentItem !== undefined) {
                const y = item.mapToItem(p.contentItem, 0, 0).y
                p.contentY = Math.max(0, Math.min(y - 40, p.contentHeight - p.height))
                break
            }
        }
        verify(item.visible, (item.objectName || "the item") + " is shown")
        mouseClick(item)
    }

    // Waits for the page transitions to end, so that clicks land where the
    // controls are.
    function settle() {
        tryCompare(child("stackView"), "busy", false)
    }

    function topBar() {
        return child("topBar")
    }

    // Connects the way a user does on the connection page: board, port from
    // the list, baud rate (expert mode only), Connect.
    function connectThroughPage(module, baud) {
        const name = moduleNames[module]
        const port = Simulators.portOf(name)
        verify(port !== "", "the " + name + " simulator runs")
        const portCombo = child("portCombo")
        TavManager.serialPort.enumerate()
        const index = portCombo.find(port)
        verify(index >= 0, port + " is listed")
        portCombo.currentIndex = index
        const evk = { [Module.TAV1]: "evkTAV1", [Module.TAV2]: "evkTAV2", [Module.RIX]: "evkRIX (STM32WL)", [Module.TREKON]: "evkTrekon" }
        mouseClick(child(evk[module]))
        if (baud !== undefined) {
            const baudCombo = child("baudCombo")
            verify(baudCombo.visible, "the baud rate is chosen in expert mode only")
            baudCombo.currentIndex = baudCombo.find(baud)
            verify(baudCombo.currentIndex >= 0, "no baud rate " + baud)
        }
        mouseClick(child("connectButton"))
        settle()
    }

    // Connects straight through the manager, for tests about later pages.
    function connectTo(module) {
        const port = Simulators.portOf(moduleNames[module])
        TavManager.connect(module, port, "Default")
        verify(TavManager.board !== null, moduleNames[module] + " connected")
        // The page follows the connection through the window's bindings,
        // which may come a moment later on a slow machine.
        tryCompare(topBar(), "state", "dashboardPage")
        settle()
    }

    // Requests the simulator received since `from` requests.
    function requestsSince(module, from) {
        return Simulators.requests(moduleNames[module]).slice(from)
    }

    function requestCount(module) {
        return Simulators.requests(moduleNames[module]).length
    }

    function logLines() {
        const frame = findChild(window, "logFrame")
        frame.flush()
        // Without the line that opens each day.
        return frame.text().split("\n").filter(line => !/^--- \d{4}-\d\d-\d\d UTC ---$/.test(line))
    }

    // True when a log line ends with the text (lines start with a time stamp and a source).
    function logged(text) {
        return logLines().some(line => line.endsWith(text))
    }
}
