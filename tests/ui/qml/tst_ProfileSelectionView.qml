import QtQuick
import QtTest
import com.norvane.qml

// Choosing how the sequence is timed, with a simulated module connected.
AppTestCase {
    id: testCase
    name: "ProfileSelectionView"

    function init() {
        createWindow()
    }

    property bool restartTrekon: false

    function cleanup() {
        destroyWindow()
        if (restartTrekon)
            Simulators.restart("TREKON")
        restartTrekon = false
    }

    function profileButton(profile) {
        return child("profileButton" + profile)
    }

    function addPayload(text) {
        child("newPayloadField").text = text
        mouseClick(child("addPayloadButton"))
    }

    function test_buttonsSwitchTheProfile_data() {
        return [
            { tag: "prepass", profile: Profile.PREPASS, view: "prepassView" },
            { tag: "prepass on module", profile: Profile.PREPASS_ON_MODULE, view: "satelliteView" },
            { tag: "periodic", profile: Profile.PERIODIC, view: "" }
        ]
    }
    function test_buttonsSwitchTheProfile(data) {
        connectTo(Module.RIX)
        mouseClick(profileButton(data.profile))
        compare(TavManager.tx.selectedProfile, data.profile)
        verify(profileButton(data.profile).highlighted)
        for (const other of [Profile.PERIODIC, Profile.PREPASS, Profile.PREPASS_ON_MODULE]) {
            if (other !== data.profile)
                verify(!profileButton(other).highlighted, "one profile at a time")
        }
        compare(child("prepassView").visible, data.view === "prepassView")
        compare(child("satelliteView").visible, data.view === "satelliteView")
        compare(child("profileStack").currentIndex, data.profile)
    }

    // The dialog needs Qt's own QML modules at run time: a missing one used to
    // take the whole application down when the button was pressed.
    function test_importButtonOpensTheFileDialog() {
        connectTo(Module.RIX)
        mouseClick(profileButton(Profile.PREPASS))
        const dialog = child("profileSelectionView").csvDialog
        verify(!dialog.visible)
        mouseClick(child("importCsvButton"))
        tryVerify(() => dialog.visible, 3000)
        compare(dialog.title, "Import satellite passes (CSV exported from ArgosWeb)")
        dialog.reject()
        tryVerify(() => !dialog.visible, 3000)
    }

    function test_tav1CannotPredictPasses() {
        TavManager.tx.selectedProfile = Profile.PREPASS_ON_MODULE
        connectTo(Module.TAV1)
        compare(TavManager.tx.selectedProfile, Profile.PREPASS, "a TAV1 falls back to imported passes")
        verify(profileButton(Profile.PREPASS).highlighted)
        verify(!profileButton(Profile.PREPASS_ON_MODULE).enabled)
        verify(profileButton(Profile.PREPASS).enabled)
        verify(profileButton(Profile.PERIODIC).enabled)
    }

    function test_trekonTellsWhetherItPredictsPasses_data() {
        return [
            { tag: "prediction on", enable: "1", profile: Profile.PREPASS_ON_MODULE },
            { tag: "prediction off", enable: "0", profile: Profile.PERIODIC }
        ]
    }
    function test_trekonTellsWhetherItPredictsPasses(data) {
        TavManager.tx.selectedProfile = Profile.PREPASS
        connectTo(Module.TREKON)
        compare(TavManager.tx.selectedProfile, Profile.PREPASS_ON_MODULE, "the simulated kit predicts passes")
        // The kit's own setting, as another tool leaves it.
        restartTrekon = true
        TavManager.requestCustomCmd("AT+PREPASS_EN=" + data.enable)
        mouseClick(profileButton(Profile.PREPASS))
        TavManager.getPrepassEnable()
        compare(TavManager.tx.selectedProfile, data.profile)
        verify(profileButton(data.profile).highlighted)
    }

    function test_periodicSettingsWriteTheProfile() {
        connectTo(Module.TAV2)
        mouseClick(profileButton(Profile.PERIODIC))
        addPayload("")
        const period = child("periodSpin")
        compare(period.value, TavManager.tx.periodicProfile.period)
        period.value = 12
        period.valueModified()
        compare(TavManager.tx.periodicProfile.period, 12)
        const redundancy = child("periodicRedundancySpin")
        redundancy.value = 6
        redundancy.valueModified()
        compare(TavManager.tx.periodicProfile.redundancy, 6)
        compare(child("payloadTxCount0").text, "0/6", "the payloads take the periodic redundancy")
        TavManager.tx.periodicProfile.delay = 30
        compare(child("delaySpin").value, 30)
    }

    function test_prepassProfilesUseThePayloadsOwnRedundancy() {
        connectTo(Module.TAV2)
        mouseClick(profileButton(Profile.PERIODIC))
        TavManager.tx.periodicProfile.redundancy = 2
        addPayload("")
        compare(child("payloadTxCount0").text, "0/2")
        mouseClick(profileButton(Profile.PREPASS))
        compare(child("payloadTxCount0").text, "0/4")
        mouseClick(profileButton(Profile.PERIODIC))
        compare(child("payloadTxCount0").text, "0/2")
    }

    function test_importedPassesAreCountedAndAFailedImportIsShown() {
        connectTo(Module.TAV2)
        mouseClick(profileButton(Profile.PREPASS))
        const view = child("profileSelectionView")
        verify(!TavManager.tx.importPrepassData("/nonexistent/passes.csv"))
        compare(view.prepassMessage, "ERROR: Unable to open prepass file /nonexistent/passes.csv: No such file or directory")
        verify(view.prepassError)
        // Passes of the sample file are long over: the file is refused, saying so.
        verify(!TavManager.tx.importPrepassData("file://" + TEST_DATA_DIR + "/prepass_sample.csv"))
        compare(view.prepassMessage, "ERROR: Unable to import prepass data from prepass_sample.csv: all passes of the file have ended (last at 2024-05-02 00:33:30 UTC)")
        compare(TavManager.tx.prepassListModel.rowCount(), 0)

        const csv = TestFiles.write("passes.csv",
            "Satellite;Start;Highest elevation;End;Duration;Max elevation;Start azimuth;Middle azimuth;End azimuth\n"
            + passLine("NOAA-19", 1) + passLine("METOP-B", 3))
        verify(csv !== "")
        verify(TavManager.tx.importPrepassData("file://" + csv))
        compare(view.prepassMessage, "")
        verify(!view.prepassError)
        compare(TavManager.tx.prepassListModel.rowCount(), 2)
        compare(child("prepassSummary").text, "2 pass(es) imported. Payloads are sent once a minute during each pass.")
        TavManager.tx.clearPrepassData()
    }

    // One pass of the CSV export, starting `hours` from now.
    function passLine(satellite, hours) {
        const at = (minutes) => {
            const d = new Date(Date.now() + hours * 3600000 + minutes * 60000)
            const two = (n) => String(n).padStart(2, "0")
            return two(d.getUTCDate()) + "/" + two(d.getUTCMonth() + 1) + "/" + d.getUTCFullYear() + " "
                   + two(d.getUTCHours()) + ":" + two(d.getUTCMinutes()) + ":" + two(d.getUTCSeconds())
        }
        return satellite + ";" + at(0) + ";" + at(6) + ";" + at(12) + ";00:12:00;38,2;352,4;274,1;196,0\n"
    }

    function test_nextPassIsAskedFromTheModule() {
        connectTo(Module.TREKON)
        mouseClick(profileButton(Profile.PREPASS_ON_MODULE))
        const before = requestCount(Module.TREKON)
        mouseClick(child("nextPassButton"))
        compare(requestsSince(Module.TREKON, before)[0].split("=")[0], "AT+NEXTPASS")
        verify(!TavManager.tx.computingSatelliteNextPass)
        // The simulated kit names no satellite: its pass is shown all the same.
        const passes = TavManager.tx.prepassProfile.nextPassModel
        const start = passes.data(passes.index(0, 0), Qt.UserRole + 2)
        verify(/^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$/.test(start), "the module gave a pass: " + start)
        tryCompare(child("nextPassLabel"), "text", "Next pass: at " + start + " UTC")

        // Another module has its pass still to compute.
        TavManager.disconnect()
        connectTo(Module.TAV2)
        mouseClick(profileButton(Profile.PREPASS_ON_MODULE))
        tryCompare(child("nextPassLabel"), "text", "Next pass: not computed yet")
    }

    function test_orbitDataGoToTheModule() {
        connectTo(Module.TREKON)
        mouseClick(profileButton(Profile.PREPASS_ON_MODULE))
        const before = requestCount(Module.TREKON)
        let during = null
        const probe = () => {
            if (during === null && TavManager.busyText.startsWith("Uploading orbit data (1/"))
                during = { upload: child("uploadAopButton").enabled, disconnect: child("disconnectButton").enabled }
        }
        TavManager.busyTextChanged.connect(probe)
        mouseClick(child("uploadAopButton"))
        TavManager.busyTextChanged.disconnect(probe)
        const sent = requestsSince(Module.TREKON, before)
        verify(sent.length > 0 && sent.every(r => r.startsWith("AT+AOP=")), sent.join(" "))
        verify(during !== null, "the progress was shown")
        verify(!during.upload && !during.disconnect, "neither a second upload nor Disconnect meanwhile")
        compare(child("orbitDataOutcome").text, "Orbit data of " + TavManager.tx.prepassProfile.satelliteAopModel.rowCount()
                + " satellites uploaded to the module")
    }

    function test_profileIsLockedWhileASequenceRuns() {
        connectTo(Module.TAV2)
        mouseClick(profileButton(Profile.PERIODIC))
        addPayload("00112233445566778899AABBCCDDEEFF0011223344556677")
        mouseClick(child("startStopButton"))
        verify(TavManager.tx.sequenceRunning)
        verify(!profileButton(Profile.PREPASS).enabled)
        // Whatever tries anyway is refused and said so.
        TavManager.tx.selectedProfile = Profile.PREPASS
        compare(TavManager.tx.selectedProfile, Profile.PERIODIC)
        compare(child("profileSelectionView").profileMessage, "ERROR: the profile could not be changed")
        mouseClick(child("startStopButton"))
        tryVerify(() => !TavManager.tx.sequenceRunning && !TavManager.tx.ackPending, 8000)
        verify(profileButton(Profile.PREPASS).enabled)
    }
}
