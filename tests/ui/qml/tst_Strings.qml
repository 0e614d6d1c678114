import QtQuick
import QtTest
import com.norvane.qml

TestCase {
    name: "Strings"

    function test_duration_data() {
        return [
            { tag: "zero", seconds: 0, text: "00:00" },
            { tag: "minutes and seconds", seconds: 125, text: "02:05" },
            { tag: "over an hour", seconds: 3725, text: "1:02:05" },
            { tag: "negative shows zero", seconds: -4, text: "00:00" },
            { tag: "fraction dropped", seconds: 59.9, text: "00:59" }
        ]
    }
    function test_duration(data) {
        compare(Strings.duration(data.seconds), data.text)
    }

    function test_utcTextShowsUtcWhateverTheLocalZone() {
        const d = new Date(Date.UTC(2024, 2, 5, 14, 3, 7))
        compare(Strings.utcText(d), "2024-03-05 14:03:07")
        compare(Strings.utcText(""), "NA")
        compare(Strings.utcText(undefined), "NA")
        compare(Strings.utcText("not a date"), "not a date")
    }

    function test_isoTextHasNoMilliseconds() {
        const d = new Date(Date.UTC(2024, 11, 31, 23, 59, 58, 456))
        compare(Strings.isoText(d), "2024-12-31T23:59:58Z")
    }

    function test_moduleName() {
        compare(Strings.moduleName(4), "TREKON")
        compare(Strings.moduleName(3), "RIX")
        compare(Strings.moduleName(9), "NA")
    }

    function test_baudrateChoicesInOrder() {
        compare(Strings.baudrates, ["Default", "9600", "115200"])
    }
}
