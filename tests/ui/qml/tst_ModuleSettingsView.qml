import QtQuick
import QtTest
import com.norvane.qml
import TavBoard
import TxManager
import Settings
import "qrc:/qml/views"

TestCase {
    id: testCase
    visible: true
    name: "ModuleSettingsView"
    width: 1200
    height: 900
    when: windowShown

    property var g_board: TavManager.board
    property bool g_connected: g_board !== null
    property bool g_enableInput: true
    property bool g_expertMode: true
    property bool g_tav1ModuleSelected: g_board !== null && g_board.module === Module.TAV1
    property bool g_tav2ModuleSelected: g_board !== null && g_board.module === Module.TAV2
    property bool g_rixModuleSelected: g_board !== null && g_board.module === Module.RIX
    property bool g_trekonModuleSelected: g_board !== null && g_board.module === Module.TREKON
    property bool g_periodicProfileSelected: TavManager.tx.selectedProfile === Profile.PERIODIC

    Component {
        id: viewComponent
        ModuleSettingsView {
            width: 1200
            height: 900
        }
    }

    function init() {
        TavManager.succeed = true
        TavManager.tx.loraEnabled = false
        TavManager.calls.clear()
    }

    function cleanup() {
        if (TavManager.board)
            TavManager.disconnect()
    }

    function child(view, name) {
        const item = findChild(view, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_tav1FrequencyShowsNaUntilRead() {
        TavManager.connect(Module.TAV1, "/dev/ttyUSB0", "Default")
        const view = createTemporaryObject(viewComponent, testCase)
        const frequency = child(view, "txFrequency")
        compare(frequency.text, "NA")
        TavManager.board.setTxFrequency(401650000)
        compare(frequency.text, "401650000 Hz")
    }

    function test_positionIsKeptOnlyWhenTheModuleTakesIt_data() {
        return [
            { tag: "accepted", succeed: true, latitude: 43.5, message: "Position set." },
            { tag: "refused", succeed: false, latitude: 0, message: "ERROR: unable to set the position." }
        ]
    }
    function test_positionIsKeptOnlyWhenTheModuleTakesIt(data) {
        TavManager.connect(Module.TAV2, "/dev/ttyUSB0", "Default")
        const profile = TavManager.tx.prepassProfile
        const start = profile.position
        start.latitude = 0
        start.longitude = 0
        profile.position = start
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.succeed = data.succeed
        child(view, "latitudeField").text = "43.5"
        child(view, "longitudeField").text = "1.25"
        const setButton = findChild(view, "setPositionButton")
        verify(setButton !== null)
        setButton.clicked()
        compare(TavManager.calls.last(), "setGnssPosition(43.5,1.25)")
        compare(profile.position.latitude, data.latitude)
        compare(view.message, data.message)
    }

    function test_loraInfoIsSentOnlyWhenLoraIsEnabled_data() {
        return [
            { tag: "disabled", enabled: false, calls: ["setLoRaEnable()"] },
            { tag: "enabled", enabled: true, calls: ["setLoRaEnable()", "setLoRaInfo()"] }
        ]
    }
    function test_loraInfoIsSentOnlyWhenLoraIsEnabled(data) {
        TavManager.connect(Module.TREKON, "/dev/ttyUSB0", "Default")
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.loraEnabled = data.enabled
        TavManager.calls.clear()
        const setButton = findChild(view, "setLoraButton")
        verify(setButton !== null)
        verify(setButton.enabled)
        setButton.clicked()
        compare(TavManager.calls.calls, data.calls)
    }

    function test_euiFieldsAskTheCore() {
        TavManager.connect(Module.TREKON, "/dev/ttyUSB0", "Default")
        const view = createTemporaryObject(viewComponent, testCase)
        const eui = child(view, "appEuiField")
        eui.text = "70:B3:D5:7E:D0:01:02:03"
        verify(!eui.error)
        eui.editingFinished()
        compare(TavManager.tx.loraConfig.appEui, "70B3D57ED0010203")
        eui.text = "70B3D5"
        verify(eui.error, "too short for an EUI")
        eui.editingFinished()
        compare(TavManager.tx.loraConfig.appEui, "70B3D57ED0010203")
        verify(!findChild(view, "setLoraButton").enabled)
    }

    function test_prepassConfigGoesToTheModule() {
        TavManager.connect(Module.RIX, "/dev/ttyUSB0", "Default")
        const view = createTemporaryObject(viewComponent, testCase)
        child(view, "predictionDurationSpin").value = 3
        child(view, "minElevationField").text = "12.5"
        child(view, "minPassDurationSpin").value = 8
        findChild(view, "setPrepassConfigButton").clicked()
        compare(TavManager.calls.last(), "setPrepassConfig(3,12.5,8)")
    }
}
