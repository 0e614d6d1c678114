import QtQuick
import QtTest
import com.norvane.qml

// The log page: what went over the line, export, and the custom commands of
// expert mode.
AppTestCase {
    id: testCase
    name: "LogView"

    function init() {
        Settings.mode = TavManager.BASIC
        TavManager.setMode(TavManager.BASIC)
        createWindow()
    }

    function cleanup() {
        destroyWindow()
    }

    function openLog() {
        mouseClick(child("topBarLeftButton"))
        settle()
        child("settingsTabs").currentIndex = 3
        return child("logView")
    }

    function test_showsTheExchangeAndClears() {
        connectTo(Module.TAV2)
        const view = openLog()
        // The lines carry only their time: the first one shows the day.
        const list = view.frame.listView
        view.frame.flush()
        list.positionViewAtBeginning()
        tryVerify(() => list.itemAtIndex(0) !== null && list.itemAtIndex(1) !== null)
        const today = new Date().toISOString().slice(0, 10)
        compare(child("logDayLine", list.itemAtIndex(0)).text, "\u2014 " + today + " UTC \u2014")
        verify(child("logDayLine", list.itemAtIndex(0)).visible)
        verify(!child("logDayLine", list.itemAtIndex(1)).visible, "the day is written once")
        const lines = logLines()
        verify(lines.some(l => /\] \[APP\] AT\+PING=\?$/.test(l)), lines.join("\n"))
        verify(lines.some(l => /\] \[TAV\] \+ID=04A1C7F2$/.test(l)), "the answer is tagged with the module")
        mouseClick(child("clearLogButton"))
        view.frame.flush()
        compare(view.frame.shownLines, 0)
        compare(view.frame.totalLines, 0)
    }

    // Follow goes on from the newest line once a search is cleared, and
    // shows it when the log comes back into view.
    function test_followGoesOnAfterASearchAndAReturn() {
        connectTo(Module.TAV2)
        const view = openLog()
        const list = view.frame.listView
        verify(Settings.logAutoScroll, "Follow is on")
        for (let i = 0; i < 4; ++i)
            TavManager.getHwInfo()
        view.frame.flush()
        verify(Keyboard.type(child("logSearchField"), "AT+PING"))
        verify(Keyboard.press(child("logSearchField"), Qt.Key_Return))
        tryVerify(() => !list.atYEnd, 2000, "the first match is far from the end")
        verify(Keyboard.press(child("logSearchField"), Qt.Key_Escape), "Escape clears the search")
        compare(view.frame.search.active, false)
        TavManager.getHwInfo()
        view.frame.flush()
        tryVerify(() => list.atYEnd, 2000, "following the new lines again")
        child("settingsTabs").currentIndex = 0
        TavManager.getHwInfo()
        view.frame.flush()
        child("settingsTabs").currentIndex = 3
        tryVerify(() => list.atYEnd, 2000, "the newest lines shown on return")
    }

    Component {
        id: clipboardReader
        TextEdit {}
    }

    function test_searchThenCopyTheSelectedLines() {
        connectTo(Module.TAV2)
        const view = openLog()
        const frame = view.frame
        frame.flush()
        verify(Keyboard.type(child("logSearchField"), "+id="))
        const search = frame.search
        verify(search.count >= 2, "the request and its answer")
        compare(child("logSearchCount").text, search.count + " of " + search.count)
        verify(Keyboard.press(child("logSearchField"), Qt.Key_Return))
        compare(search.current, 0, "Enter goes round to the first match")
        const first = search.currentRow
        tryVerify(() => frame.listView.itemAtIndex(first) !== null, 2000, "scrolled to the match")
        mouseClick(frame.listView.itemAtIndex(first), 5, 5)
        mouseClick(frame.listView.itemAtIndex(first + 1), 5, 5, Qt.LeftButton, Qt.ShiftModifier)
        compare(frame.model.selectedCount, 2)
        verify(Keyboard.press(frame.listView, Qt.Key_C, Qt.ControlModifier))
        const reader = createTemporaryObject(clipboardReader, testCase)
        reader.paste()
        const copied = reader.text.split("\n")
        compare(copied.length, 2)
        verify(copied[0].indexOf("+ID=") > 0, copied[0])
        compare(copied[1], logLines()[first + 1])

        child("logSearchRegex").checked = true
        child("logSearchRegex").toggled()
        child("logSearchField").text = "+ID=("
        verify(child("logSearchCount").text.startsWith("Not a valid expression"), child("logSearchCount").text)
        compare(search.count, 0)
    }

    function test_customCommandOnlyInExpertMode() {
        connectTo(Module.TAV2)
        openLog()
        const field = child("customCmdField")
        verify(!field.visible)
        Settings.mode = TavManager.EXPERT
        verify(field.visible)
    }

    function test_customCommandGoesOnTheWireAsTyped() {
        Settings.mode = TavManager.EXPERT
        connectTo(Module.TAV2)
        const view = openLog()
        const field = child("customCmdField")
        verify(field.enabled)
        verify(Keyboard.type(field, "  AT+FW=?  "))
        const before = requestCount(Module.TAV2)
        mouseClick(child("sendCustomCmdButton"))
        compare(requestsSince(Module.TAV2, before), ["AT+FW=?"])
        verify(!view.waitingCustomCmd, "the answer came")
        verify(logged("[TAV] +FW=TAV2 V3.2.4"))
        // Return sends as well; up recalls the earlier commands.
        field.text = "AT+ID=?"
        verify(Keyboard.press(field, Qt.Key_Return))
        compare(requestsSince(Module.TAV2, before), ["AT+FW=?", "AT+ID=?"])
        field.text = ""
        verify(Keyboard.press(field, Qt.Key_Up))
        compare(field.text, "AT+ID=?")
        verify(Keyboard.press(field, Qt.Key_Up))
        compare(field.text, "AT+FW=?")
    }

    function test_refusedCustomCommandShowsTheModulesError() {
        Settings.mode = TavManager.EXPERT
        connectTo(Module.TAV2)
        openLog()
        child("customCmdField").text = "AT+NOSUCH=?"
        mouseClick(child("sendCustomCmdButton"))
        verify(logged("[TAV] +ERROR=6"), logLines().slice(-3).join("\n"))
        verify(child("customCmdField").enabled, "ready for the next command")
    }

    function test_customCommandNeedsAConnection() {
        Settings.mode = TavManager.EXPERT
        openLog()
        verify(!child("customCmdField").enabled)
    }

    function test_exportWritesTheLinesShown_data() {
        return [
            { tag: "whole log", atOnly: false },
            { tag: "AT commands only", atOnly: true }
        ]
    }
    function test_exportWritesTheLinesShown(data) {
        connectTo(Module.TAV2)
        const view = openLog()
        const path = TestFiles.write("export.log", "")
        const shown = logLines().length
        view.exportTo("file://" + path, data.atOnly)
        compare(view.exportMessage, (data.atOnly ? "Wrote the AT commands found in the " : "Wrote the ")
                + shown + " lines shown to export.log")
        const written = TestFiles.read(path).trim().split("\n")
        if (data.atOnly) {
            compare(written[0], "AT+PING=?")
            verify(written.every(l => l.startsWith("AT+")), written.join("\n"))
        } else {
            verify(/^--- \d{4}-\d\d-\d\d UTC ---$/.test(written[0]), "the day opens the file: " + written[0])
            compare(written.length, shown + 1)
            verify(written.some(l => l.endsWith("[TAV] +ID=04A1C7F2")))
        }
    }

    function test_exportButtonsOpenTheSaveDialog_data() {
        return [
            { tag: "whole log", button: "exportLogButton", atOnly: false },
            { tag: "AT commands only", button: "exportAtLogButton", atOnly: true }
        ]
    }
    function test_exportButtonsOpenTheSaveDialog(data) {
        connectTo(Module.TAV2)
        const view = openLog()
        const dialog = view.exportDialog
        mouseClick(child(data.button))
        tryVerify(() => dialog.visible, 3000)
        compare(dialog.atOnly, data.atOnly)
        verify(dialog.title.indexOf(data.atOnly ? "AT commands" : "log lines shown") >= 0, dialog.title)
        dialog.reject()
        tryVerify(() => !dialog.visible, 3000)
    }

    function test_exportFailureIsReported() {
        connectTo(Module.TAV2)
        const view = openLog()
        view.exportTo("file:///nonexistent/dir/out.log", false)
        compare(view.exportMessage, "ERROR: unable to write out.log: No such file or directory")
    }
}
