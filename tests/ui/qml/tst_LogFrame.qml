import QtQuick
import QtTest
import Style
import "qrc:/qml/types"

TestCase {
    id: testCase
    visible: true
    name: "LogFrame"
    width: 600
    height: 400

    Component {
        id: frameComponent
        LogFrame {
            width: 600
            height: 400
            maxLines: 100
        }
    }

    function line(i) {
        return "[10:00:00:" + String(i).padStart(3, "0") + "] [TAV] +OK " + i
    }

    function test_linesWaitForTheNextBatch() {
        const frame = createTemporaryObject(frameComponent, testCase)
        frame.append(line(1))
        frame.append(line(2))
        compare(frame.shownLines, 0, "lines are added in batches, not one by one")
        compare(frame.totalLines, 2)
        frame.flush()
        compare(frame.shownLines, 2)
        compare(frame.text(), line(1) + "\n" + line(2))
    }

    function test_keepsOnlyTheMostRecentLines() {
        const frame = createTemporaryObject(frameComponent, testCase)
        for (let i = 0; i < 250; ++i) {
            frame.append(line(i))
            if (i % 40 === 0)
                frame.flush()
        }
        frame.flush()
        compare(frame.shownLines, 100)
        compare(frame.totalLines, 250)
        verify(frame.truncated)
        const kept = frame.text().split("\n")
        compare(kept.length, 100)
        compare(kept[0], line(150))
        compare(kept[99], line(249))
        compare(frame.summary, "Showing the last 100 of 250 lines (older lines are dropped)")
    }

    function test_batchLargerThanTheLimitKeepsItsTail() {
        const frame = createTemporaryObject(frameComponent, testCase)
        for (let i = 0; i < 1000; ++i)
            frame.append(line(i))
        frame.flush()
        compare(frame.shownLines, 100)
        compare(frame.text().split("\n")[0], line(900))
    }

    function test_clearForgetsEverything() {
        const frame = createTemporaryObject(frameComponent, testCase)
        frame.append(line(1))
        frame.flush()
        frame.append(line(2))
        frame.clear()
        frame.flush()
        compare(frame.shownLines, 0)
        compare(frame.totalLines, 0)
        compare(frame.text(), "")
        verify(!frame.truncated)
        compare(frame.summary, "Showing all 0 lines (the last 100 are kept)")
    }

    function test_timerFlushesWithoutHelp() {
        const frame = createTemporaryObject(frameComponent, testCase)
        frame.append(line(7))
        tryCompare(frame, "shownLines", 1, 2000)
    }

    function test_requestsStandOut() {
        const frame = createTemporaryObject(frameComponent, testCase)
        compare(frame.lineColor("[10:00:00:000] [APP] AT+PING=?"), Style.color.norvanePink)
        compare(frame.lineColor("[10:00:00:000] [APP] AT command request timeout!"), Style.color.textSecondary)
        compare(frame.lineColor("[10:00:00:000] [TRK] +OK"), Style.color.text)
    }
}
