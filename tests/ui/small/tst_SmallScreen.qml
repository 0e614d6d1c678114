import QtQuick
import QtQuick.Controls
import QtTest
import com.norvane.qml
import "../qml"

// The window on a small screen (the run names it: 1024x600, 1280x720), with a
// size saved on a larger one: it fits the screen, and every control of the
// connection page, the dashboard and the settings pages can be scrolled into
// sight and is the item a click there lands on.
AppTestCase {
    id: testCase
    name: "SmallScreen"

    function initTestCase() {
        Settings.mode = TavManager.EXPERT
        TavManager.setMode(TavManager.EXPERT)
        Settings.windowWidth = 1600
        Settings.windowHeight = 1000
        Settings.windowX = 300
        Settings.windowY = 200
        createWindow()
        window.requestActivate()
        tryVerify(() => window.active, 5000, "the window takes the keyboard")
    }

    function cleanupTestCase() {
        destroyWindow()
        Settings.mode = TavManager.BASIC
        TavManager.setMode(TavManager.BASIC)
    }

    // Buttons of every kind, fields, boxes; lists and scrolling areas are
    // looked into instead.
    function isControl(item) {
        if (item.contentY !== undefined)
            return false
        return item.activeFocusOnTab === true
               || (item.checkable !== undefined && item.pressed !== undefined && typeof item.clicked === "function")
    }

    // The controls shown under the item, popups aside.
    function controlsIn(root) {
        const found = []
        const pending = [root]
        while (pending.length > 0) {
            const item = pending.shift()
            if (!item.visible || item.width <= 0 || item.height <= 0)
                continue
            if (item !== root && isControl(item)) {
                found.push(item)
                continue
            }
            for (let i = 0; i < item.children.length; ++i)
                pending.push(item.children[i])
        }
        return found
    }

    // Scrolls every scrolling area the item is in, the innermost first, so
    // that as much of the item as fits is in view.
    function reveal(item) {
        for (let p = item.parent; p; p = p.parent) {
            if (p.contentY === undefined || p.contentItem === undefined || p.contentHeight === undefined)
                continue
            const at = item.mapToItem(p.contentItem, 0, 0)
            const top = p.originY !== undefined ? p.originY : 0
            if (p.contentHeight > p.height) {
                if (at.y < p.contentY || at.y + item.height > p.contentY + p.height)
                    p.contentY = Math.max(top, Math.min(at.y - 4, top + p.contentHeight - p.height))
            }
            if (p.contentWidth > p.width) {
                if (at.x < p.contentX || at.x + item.width > p.contentX + p.width)
                    p.contentX = Math.max(0, Math.min(at.x - 4, p.contentWidth - p.width))
            }
        }
    }

    function isWithin(item, ancestor) {
        for (let p = item; p; p = p.parent) {
            if (p === ancestor)
                return true
        }
        return false
    }

    // Presses the control where it shows, as the user would: true when the
    // press reached it. A field takes a whole click (it only gets the
    // keyboard); a button is let go elsewhere, so that nothing is clicked.
    function pressReaches(control, x, y) {
        if (control.selectByMouse !== undefined || control.editable === true) {
            mouseClick(control, x, y)
            return isWithin(window.activeFocusItem, control)
        }
        mousePress(control, x, y)
        const reached = control.pressed === true
        const away = control.mapFromItem(null, 3, window.height - 3)
        mouseMove(control, away.x, away.y)
        mouseRelease(control, away.x, away.y)
        return reached
    }

    // Every control of the page, one after the other, in sight and on top.
    function checkReachable(root, where) {
        const controls = controlsIn(root)
        verify(controls.length > 0, "controls on " + where)
        for (const control of controls) {
            reveal(control)
            waitForRendering(window.contentItem)
            const name = (control.objectName || control.text || control.placeholderText || String(control)) + " on " + where
            const x = control.width / 2
            const y = Math.min(control.height / 2, 12)
            const centre = control.mapToItem(null, x, y)
            verify(centre.x >= 0 && centre.x < window.width && centre.y >= 0 && centre.y < window.height,
                   name + " is inside the window, at " + centre.x + "," + centre.y)
            // A control that is off cannot be pressed, only seen.
            if (control.enabled)
                verify(pressReaches(control, x, y), name + " takes a press at " + centre.x + "," + centre.y)
        }
        return controls.length
    }

    function test_1_windowFitsTheScreen() {
        const screen = window.screen
        verify(window.width <= screen.desktopAvailableWidth && window.height <= screen.desktopAvailableHeight,
               "a window of " + window.width + "x" + window.height + " on a screen of "
               + screen.desktopAvailableWidth + "x" + screen.desktopAvailableHeight)
        verify(window.x >= 0 && window.y >= 0, "placed on the screen")
        verify(window.x + window.width <= screen.desktopAvailableWidth, "its right edge on the screen")
        verify(window.y + window.height <= screen.desktopAvailableHeight, "its bottom edge on the screen")
        verify(window.minimumWidth <= window.width && window.minimumHeight <= window.height)
    }

    function test_2_connectionPage() {
        checkReachable(child("connectionPage"), "the connection page")
    }

    function test_3_dashboard_data() {
        return [
            { tag: "periodic", profile: Profile.PERIODIC },
            { tag: "prepass", profile: Profile.PREPASS },
            { tag: "prepass on module", profile: Profile.PREPASS_ON_MODULE }
        ]
    }
    function test_3_dashboard(data) {
        if (!TavManager.board)
            connectThroughPage(Module.TREKON)
        compare(topBar().state, "dashboardPage")
        TavManager.tx.selectedProfile = data.profile
        waitForRendering(window.contentItem)
        checkReachable(child("topBar"), "the top bar")
        checkReachable(child("dashboardScroll"), "the dashboard, " + data.tag)
    }

    function test_4_settings_data() {
        return [
            { tag: "module", tab: 0 },
            { tag: "sensors", tab: 1 },
            { tag: "received", tab: 2 },
            { tag: "log", tab: 3 },
            { tag: "transmissions", tab: 4 }
        ]
    }
    function test_4_settings(data) {
        verify(TavManager.board !== null, "still connected")
        if (topBar().state !== "settingsPage") {
            mouseClick(child("topBarLeftButton"))
            settle()
        }
        const tabs = child("settingsTabs")
        tabs.currentIndex = data.tab
        waitForRendering(window.contentItem)
        checkReachable(tabs, "the settings tabs")
        checkReachable(child("settingsScroll"), "the settings, " + data.tag)
    }
}
