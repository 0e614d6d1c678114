pragma Singleton
import QtQuick
import Qt.labs.settings as Labs

// UI preferences kept between runs, in the application's settings store under
// their own group so they never mix with the transmission settings.
Labs.Settings {
    category: "UI"

    property int windowHeight: 850
    property int windowWidth: 1350
    // -1 until the window was closed once: it opens centred.
    property int windowX: -1
    property int windowY: -1
    // TavManager.BASIC = 0, TavManager.EXPERT = 1
    property int mode: 0
    // Module.TAV1 = 1, TAV2 = 2, RIX = 3, TREKON = 4
    property int module: 4
    property bool firstVisit: true
    property bool darkTheme: true
    property int repeatCount: 1
    property string lastPort: ""
    property url lastFolder: ""
    property bool logAutoScroll: true
    property bool reconnect: false
    // Lines the log keeps; the history clamps it to 100..1,000,000.
    property int logMaxLines: 100000
}
