import QtQuick
import QtTest
import com.norvane.qml
import TxManager
import "qrc:/qml/views"

TestCase {
    id: testCase
    visible: true
    name: "ProfileSelectionView"
    width: 600
    height: 400
    when: windowShown

    property bool g_enableInput: true
    property bool g_connected: true
    property bool g_tav1ModuleSelected: false
    property bool g_trekonModuleSelected: true

    Component {
        id: viewComponent
        ProfileSelectionView {
            width: 600
            height: 400
        }
    }

    function init() {
        TavManager.tx.selectedProfile = Profile.PERIODIC
        TavManager.calls.clear()
        g_tav1ModuleSelected = false
    }

    function child(view, name) {
        const item = findChild(view, name)
        verify(item !== null, "no " + name)
        return item
    }

    function test_buttonsSwitchTheProfile_data() {
        return [
            { tag: "prepass", profile: Profile.PREPASS },
            { tag: "prepass on module", profile: Profile.PREPASS_ON_MODULE },
            { tag: "periodic", profile: Profile.PERIODIC }
        ]
    }
    function test_buttonsSwitchTheProfile(data) {
        const view = createTemporaryObject(viewComponent, testCase)
        child(view, "profileButton" + data.profile).clicked()
        compare(TavManager.calls.last(), "setSelectedProfile(" + data.profile + ")")
        compare(TavManager.tx.selectedProfile, data.profile)
        verify(child(view, "profileButton" + data.profile).highlighted)
    }

    function test_tav1CannotPredictPasses() {
        g_tav1ModuleSelected = true
        const view = createTemporaryObject(viewComponent, testCase)
        verify(!child(view, "profileButton" + Profile.PREPASS_ON_MODULE).enabled)
        verify(child(view, "profileButton" + Profile.PREPASS).enabled)
    }

    function test_periodicSettingsWriteTheProfile() {
        const view = createTemporaryObject(viewComponent, testCase)
        const period = child(view, "periodSpin")
        compare(period.value, TavManager.tx.periodicProfile.period)
        period.value = 12
        period.valueModified()
        compare(TavManager.tx.periodicProfile.period, 12)
        TavManager.tx.periodicProfile.delay = 30
        compare(child(view, "delaySpin").value, 30)
    }

    function test_failedImportIsShown() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.selectedProfile = Profile.PREPASS
        TavManager.tx.importPrepassData("file:///tmp/bad.csv")
        compare(view.prepassMessage, "ERROR: Line 3: unreadable start date")
        verify(view.prepassError)
        TavManager.tx.importPrepassData("file:///tmp/good.csv")
        compare(view.prepassMessage, "")
        verify(!view.prepassError)
    }

    function test_switchRefusedIsShown() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.failProfileSwitch()
        compare(view.profileMessage, "ERROR: the profile could not be changed")
    }

    function test_moduleActionsInPrepassOnModule() {
        const view = createTemporaryObject(viewComponent, testCase)
        TavManager.tx.selectedProfile = Profile.PREPASS_ON_MODULE
        child(view, "uploadAopButton").clicked()
        compare(TavManager.calls.last(), "setAopDataAndConstellationStatus()")
        child(view, "nextPassButton").clicked()
        compare(TavManager.calls.last(), "getSatelliteNextPass()")
    }
}
