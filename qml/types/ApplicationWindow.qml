import QtQuick
import QtQuick.Controls as C
import QtQuick.Controls.Material
import com.norvane.qml.singletons

// The application's window: theme, accent and the two fonts compiled into the
// executable. The main window restores its size and is shown at once.
C.ApplicationWindow {
    id: window

    property bool mainWindow: false
    readonly property alias textFont: barlow
    readonly property alias monoFont: robotoMono

    visible: mainWindow
    // What a 1920x1080 screen at a scale of 2 leaves, a panel and a title
    // bar taken: the pages scroll and stack their columns to fit.
    minimumWidth: mainWindow ? 880 : 0
    minimumHeight: mainWindow ? 460 : 0

    Material.theme: Settings.darkTheme ? Material.Dark : Material.Light
    Material.accent: Style.color.norvanePink
    Material.primary: Style.color.norvanePink
    Material.foreground: Style.color.text
    Material.background: Style.color.background
    color: Style.color.background

    font.family: barlow.status === FontLoader.Ready ? barlow.name : Style.font.family
    font.pointSize: Style.font.pointSize

    FontLoader {
        id: barlow
        source: "qrc:/fonts/Barlow-Regular.ttf"
    }
    FontLoader {
        id: robotoMono
        source: "qrc:/fonts/RobotoMono-VariableFont.ttf"
    }
}
