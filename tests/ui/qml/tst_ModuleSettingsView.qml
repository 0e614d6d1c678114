import QtQuick
import QtTest
import com.norvane.qml

// The module's configuration as the settings page shows and changes it, on
// the simulated modules.
AppTestCase {
    id: testCase
    name: "ModuleSettingsView"

    property var cleanups: []

    function init() {
        Settings.mode = TavManager.BASIC
        createWindow()
    }

    function cleanup() {
        destroyWindow()
        for (const [module, command] of cleanups) {
            if (command === "restart")
                Simulators.restart(module)
            else
                Simulators.control(module, command)
        }
        cleanups = []
    }

    // Injects a fault into a simulator until the end of the test.
    function inject(module, command, undo) {
        compare(Simulators.control(module, command), "OK")
        cleanups = cleanups.concat([[module, undo]])
    }

    function openSettings() {
        mouseClick(child("topBarLeftButton"))
        settle()
        return child("moduleSettingsView")
    }

    function test_tav1TransmissionInExpertModeOnly_data() {
        return [
            { tag: "basic", mode: TavManager.BASIC },
            { tag: "expert", mode: TavManager.EXPERT }
        ]
    }
    function test_tav1TransmissionInExpertModeOnly(data) {
        Settings.mode = data.mode
        TavManager.setMode(data.mode)
        connectTo(Module.TAV1)
        openSettings()
        const expert = data.mode === TavManager.EXPERT
        compare(child("txFrequency").visible, expert)
        compare(child("txPowerField").visible, expert)
        if (expert) {
            compare(child("txFrequency").text, "401650000 Hz")
            compare(child("txPowerField").text, "500")
        } else {
            compare(child("txFrequency").text, "NA", "a basic connection does not read it")
        }
    }

    function test_tav1PowerAndFrequencyGoThroughTheModule() {
        Settings.mode = TavManager.EXPERT
        TavManager.setMode(TavManager.EXPERT)
        connectTo(Module.TAV1)
        cleanups = [["TAV1", "restart"]]
        openSettings()
        const power = child("txPowerField")
        const set = child("setTxPowerButton")
        power.text = "99"
        verify(!set.enabled, "below the module's range")
        power.text = "750"
        verify(set.enabled)
        let before = requestCount(Module.TAV1)
        mouseClick(set)
        compare(requestsSince(Module.TAV1, before), ["AT+PWR=750"])
        // What the user typed gives way to what the module answers.
        power.text = "1234"
        before = requestCount(Module.TAV1)
        mouseClick(child("getTxPowerButton"))
        compare(requestsSince(Module.TAV1, before), ["AT+PWR=?"])
        compare(power.text, "750", "the module kept the new power")
        before = requestCount(Module.TAV1)
        mouseClick(child("getTxFrequencyButton"))
        compare(requestsSince(Module.TAV1, before), ["AT+ATXFRQ=?"])
        compare(child("txFrequency").text, "401650000 Hz")
    }

    function test_unansweredFrequencyShowsNa() {
        Settings.mode = TavManager.EXPERT
        TavManager.setMode(TavManager.EXPERT)
        connectTo(Module.TAV1)
        openSettings()
        inject("TAV1", "error ATXFRQ 5", "error ATXFRQ off")
        mouseClick(child("getTxFrequencyButton"))
        compare(child("txFrequency").text, "NA")
    }

    function test_positionIsKeptOnlyWhenTheModuleTakesIt_data() {
        return [
            { tag: "accepted", refuse: false, message: "Position set." },
            { tag: "refused", refuse: true, message: "ERROR: unable to set the position." }
        ]
    }
    function test_positionIsKeptOnlyWhenTheModuleTakesIt(data) {
        connectTo(Module.TAV2)
        const profile = TavManager.tx.prepassProfile
        const start = profile.position
        start.latitude = 10
        start.longitude = 20
        profile.position = start
        const view = openSettings()
        if (data.refuse)
            inject("TAV2", "error POS 5", "error POS off")
        child("latitudeField").text = "43.5"
        child("longitudeField").text = "1.25"
        const before = requestCount(Module.TAV2)
        clickOn(child("setPositionButton"))
        compare(requestsSince(Module.TAV2, before), ["AT+POS=43.5,1.25"])
        compare(profile.position.latitude, data.refuse ? 10 : 43.5)
        compare(profile.position.longitude, data.refuse ? 20 : 1.25)
        compare(view.message, data.message)
    }

    function test_positionOutOfRangeCannotBeSet() {
        connectTo(Module.TAV2)
        openSettings()
        child("latitudeField").text = "95"
        verify(!child("setPositionButton").enabled)
        child("latitudeField").text = "-45"
        child("longitudeField").text = "181"
        verify(!child("setPositionButton").enabled)
    }

    function test_readingTheModuleReplacesWhatWasTyped() {
        connectTo(Module.TREKON)
        openSettings()
        child("latitudeField").text = "1"
        child("longitudeField").text = "2"
        clickOn(child("getPositionButton"))
        compare(child("latitudeField").text, "43.5584")
        compare(child("longitudeField").text, "1.4866")
        child("minElevationField").text = "33"
        child("minPassDurationSpin").value = 1
        clickOn(child("getPrepassConfigButton"))
        compare(child("minElevationField").text, "15")
        compare(child("minPassDurationSpin").value, 5)
    }

    function test_prepassConfigGoesToTheModule() {
        connectTo(Module.RIX)
        const view = openSettings()
        child("predictionDurationSpin").value = 3
        child("minElevationField").text = "12.5"
        child("minPassDurationSpin").value = 8
        const before = requestCount(Module.RIX)
        clickOn(child("setPrepassConfigButton"))
        const sent = requestsSince(Module.RIX, before)
        compare(sent.length, 1, sent.join(" "))
        const fields = sent[0].replace("AT+PREPASS_CFG=", "").split(",")
        compare(fields.length, 10, sent[0])
        compare(fields[4], "12.5", "minimum elevation")
        compare(fields[6], "8", "minimum pass duration")
        const days = (Date.parse(fields[3]) - Date.parse(fields[2])) / 86400000
        compare(days, 3, "the prediction window")
        compare(view.message, "Prediction settings set.")
    }

    function test_trekonRedundancyGoesToTheModule() {
        connectTo(Module.TREKON)
        mouseClick(child("profileButton" + Profile.PERIODIC))
        openSettings()
        child("moduleRedundancySpin").value = 5
        const before = requestCount(Module.TREKON)
        clickOn(child("setRedundancyButton"))
        compare(requestsSince(Module.TREKON, before), ["AT+TAV_REDUN=5"])
        compare(TavManager.tx.periodicProfile.redundancy, 5)
    }

    function test_loraInfoIsSentOnlyWhenLoraIsEnabled_data() {
        return [
            { tag: "disabled", enabled: false, words: ["AT+LORA_EN"] },
            { tag: "enabled", enabled: true, words: ["AT+LORA_EN", "AT+LORA_AEUI", "AT+LORA_AKEY", "AT+LORA_REDUN", "AT+LORA_ACK"] }
        ]
    }
    function test_loraInfoIsSentOnlyWhenLoraIsEnabled(data) {
        connectTo(Module.TREKON)
        openSettings()
        const toggle = child("loraEnableSwitch")
        if (toggle.checked !== data.enabled)
            clickOn(toggle)
        compare(TavManager.tx.loraEnabled, data.enabled)
        const set = child("setLoraButton")
        verify(set.enabled)
        const before = requestCount(Module.TREKON)
        clickOn(set)
        const words = requestsSince(Module.TREKON, before).map(r => r.split("=")[0])
        for (const word of data.words)
            verify(words.indexOf(word) >= 0, word + " in " + words.join(" "))
        if (!data.enabled)
            compare(words, ["AT+LORA_EN"])
        compare(requestsSince(Module.TREKON, before)[0], "AT+LORA_EN=" + (data.enabled ? "1" : "0"))
        compare(child("moduleSettingsView").message, "LoRa settings set.")
    }

    function test_euiFieldsAskTheCore() {
        connectTo(Module.TREKON)
        openSettings()
        const eui = child("appEuiField")
        eui.text = "70:B3:D5:7E:D0:01:02:03"
        verify(!eui.error)
        eui.editingFinished()
        compare(TavManager.tx.loraConfig.appEui, "70B3D57ED0010203")
        eui.text = "70B3D5"
        verify(eui.error, "too short for an EUI")
        eui.editingFinished()
        compare(TavManager.tx.loraConfig.appEui, "70B3D57ED0010203", "a refused EUI is not taken")
        verify(!child("setLoraButton").enabled)
    }

    function test_identityIsShown() {
        connectTo(Module.TAV2)
        openSettings()
        compare(child("identityId").text, "04A1C7F2")
    }
}
