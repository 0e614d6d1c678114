import QtQuick
import QtTest
import com.norvane.qml

// Decimal fields typed into as a user does, in whatever locale the desktop
// has: the suite runs this file again under a French and a German locale.
AppTestCase {
    id: testCase
    name: "DecimalFields"

    function init() {
        Settings.mode = TavManager.BASIC
        createWindow()
    }

    function cleanup() {
        destroyWindow()
    }

    function test_runsInTheExpectedLocale() {
        if (EXPECTED_LOCALE === "")
            skip("no locale asked for")
        compare(Qt.locale().name, EXPECTED_LOCALE)
    }

    function test_parseRule_data() {
        return [
            { tag: "comma", text: "43,5", value: 43.5 },
            { tag: "point", text: "43.5", value: 43.5 },
            { tag: "negative comma", text: "-0,25", value: -0.25 },
            { tag: "no whole part", text: ",5", value: 0.5 },
            { tag: "trailing separator", text: "12,", value: 12 },
            { tag: "two separators", text: "4,3.5", value: NaN },
            { tag: "grouping", text: "1 000", value: NaN },
            { tag: "exponent", text: "1e1", value: NaN },
            { tag: "too many decimals", text: "1.234", value: NaN },
            { tag: "above the top", text: "90,01", value: NaN },
            { tag: "separator alone", text: ",", value: NaN },
            { tag: "empty", text: "", value: NaN }
        ]
    }
    function test_parseRule(data) {
        const value = Decimal.parse(data.text, -90, 90, 2)
        if (isNaN(data.value))
            verify(isNaN(value), data.text + " gave " + value)
        else
            compare(value, data.value)
    }

    function test_typedElevationReachesTheModuleInItsFormat_data() {
        return [
            { tag: "comma", typed: "43,5" },
            { tag: "point", typed: "43.5" }
        ]
    }
    function test_typedElevationReachesTheModuleInItsFormat(data) {
        connectTo(Module.RIX)
        mouseClick(child("topBarLeftButton"))
        settle()
        const field = child("minElevationField")
        field.selectAll()
        verify(Keyboard.type(field, data.typed))
        compare(field.text, "43.5", "the field shows a point")
        const set = child("setPrepassConfigButton")
        verify(set.enabled, "the value is taken")
        const before = requestCount(Module.RIX)
        clickOn(set)
        const sent = requestsSince(Module.RIX, before)
        compare(sent.length, 1, sent.join(" "))
        compare(sent[0].replace("AT+PREPASS_CFG=", "").split(",")[4], "43.5", sent[0])
    }
}
