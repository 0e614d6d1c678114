import QtQuick
import QtTest
import com.norvane.qml
import Settings
import "qrc:/qml/views"

TestCase {
    id: testCase
    visible: true
    name: "LogView"
    width: 900
    height: 600
    when: windowShown

    property bool g_connected: true
    property bool g_enableInput: true

    Component {
        id: viewComponent
        LogView {
            width: 900
            height: 600
        }
    }

    function init() {
        Settings.mode = TavManager.BASIC
        TavManager.calls.clear()
    }

    function child(view, name) {
        const item = findChild(view, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_showsWhatTheLoggerCreatesAndClears() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.logger.logCreated("[10:00:00:000] [APP] AT+PING=?")
        TavManager.logger.logCreated("[10:00:00:010] [TRK] +OK")
        view.frame.flush()
        compare(view.frame.shownLines, 2)
        child(view, "clearLogButton").clicked()
        compare(view.frame.shownLines, 0)
        compare(view.frame.totalLines, 0)
    }

    function test_exportWritesTheLinesShown_data() {
        return [
            { tag: "whole log", atOnly: false, message: "Wrote the 2 lines shown to out.log" },
            { tag: "AT commands only", atOnly: true, message: "Wrote the AT commands found in the 2 lines shown to out.log" }
        ]
    }
    function test_exportWritesTheLinesShown(data) {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.logger.logCreated("[10:00:00:000] [APP] AT+PING=?")
        TavManager.logger.logCreated("[10:00:00:010] [TRK] +OK")
        view.exportTo("file:///tmp/out.log", data.atOnly)
        compare(TavManager.logger.lastExportPath, "file:///tmp/out.log")
        compare(TavManager.logger.lastExportLogs, "[10:00:00:000] [APP] AT+PING=?\n[10:00:00:010] [TRK] +OK")
        compare(TavManager.logger.lastExportFiltered, data.atOnly)
        compare(view.exportMessage, data.message)
    }

    function test_exportSaysWhenOlderLinesWereDropped() {
        const view = createTemporaryObject(viewComponent, testCase)
        view.frame.maxLines = 2
        for (let i = 0; i < 5; ++i)
            TavManager.logger.logCreated("[10:00:00:00" + i + "] [TRK] +OK")
        view.exportTo("file:///tmp/out.log", false)
        compare(TavManager.logger.lastExportLogs.split("\n").length, 2)
        verify(view.exportMessage.endsWith("(older lines were already dropped)"), view.exportMessage)
    }

    function test_exportFailureIsReported() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.logger.exportSucceeds = false
        view.exportTo("file:///root/readonly/out.log", false)
        TavManager.logger.exportSucceeds = true
        compare(view.exportMessage, "ERROR: unable to write out.log")
    }

    function test_customCommandOnlyInExpertMode() {
        const view = createTemporaryObject(viewComponent, testCase)
        const field = child(view, "customCmdField")
        verify(!field.visible)
        Settings.mode = TavManager.EXPERT
        verify(field.visible)
        field.text = "  AT+FW=?  "
        child(view, "sendCustomCmdButton").clicked()
        compare(TavManager.calls.last(), "requestCustomCmd(AT+FW=?)")
        verify(!view.waitingCustomCmd, "the manager reported the command completed")
        field.text = "AT+ID=?"
        view.sendCustomCmd()
        field.text = ""
        view.browseHistory(-1)
        compare(field.text, "AT+ID=?")
        view.browseHistory(-1)
        compare(field.text, "AT+FW=?")
    }
}
