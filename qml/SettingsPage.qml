import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Module configuration, sensors, received messages and the log.
Page {
    id: page

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property alias logView: logView
    readonly property alias rxView: rxView

    background: null

    function showTab(index) {
        tabs.currentIndex = index
    }

    // Without a board only the log (and the theme) have something to show.
    StackView.onActivating: {
        if (!page.window.g_connected)
            tabs.currentIndex = 3
        else if (tabs.currentIndex === 1 && !page.window.g_trekonModuleSelected)
            tabs.currentIndex = 0
    }

    header: RowLayout {
        spacing: Style.size.spacing

        TabBar {
            id: tabs
            objectName: "settingsTabs"
            Layout.fillWidth: true
            background: null

            TabButton {
                text: Strings.moduleTab
                icon.source: Style.icon("setting")
                width: implicitWidth
            }
            TabButton {
                text: Strings.sensorsTab
                icon.source: Style.icon("select")
                visible: page.window.g_trekonModuleSelected
                width: visible ? implicitWidth : 0
            }
            TabButton {
                text: Strings.rxTab + (rxView.count > 0 ? " (" + rxView.count + ")" : "")
                icon.source: Style.icon("mail")
                width: implicitWidth
            }
            TabButton {
                text: Strings.logTab
                icon.source: Style.icon("table")
                width: implicitWidth
            }
            TabButton {
                objectName: "transmissionsTab"
                text: "Transmissions" + (TavManager.tx.txRecords.count > 0 ? " (" + TavManager.tx.txRecords.count + ")" : "")
                icon.source: Style.icon("table")
                width: implicitWidth
            }
        }

        // The views show a loaded file the module does not hold yet.
        Label {
            objectName: "settingsNotUploadedMark"
            visible: TavManager.notUploadedFile !== ""
            text: "Loaded from " + TavManager.notUploadedFile + ", not yet uploaded"
            color: Style.color.warning
            elide: Text.ElideMiddle
            Layout.maximumWidth: 320
        }
        ToolButton {
            objectName: "themeButton"
            iconRole: "day_night"
            toolTipText: Settings.darkTheme ? "Light theme" : "Dark theme"
            onClicked: Settings.darkTheme = !Settings.darkTheme
        }
        Image {
            source: Style.logo.developer
            sourceSize.height: 56
            Layout.preferredHeight: 28
            Layout.preferredWidth: 28 * implicitWidth / Math.max(1, implicitHeight)
            fillMode: Image.PreserveAspectFit
            opacity: 0.8
        }
        Image {
            source: Style.logo.partner
            sourceSize.height: 56
            Layout.preferredHeight: 28
            Layout.preferredWidth: 28 * implicitWidth / Math.max(1, implicitHeight)
            fillMode: Image.PreserveAspectFit
            opacity: 0.8
        }
    }

    // The lists take the height left; below the least that shows them
    // usefully, the page scrolls instead.
    PageScroll {
        id: settingsScroll
        objectName: "settingsScroll"
        anchors.fill: parent
        anchors.topMargin: Style.size.spacing
        minimumContentHeight: 400

        StackLayout {
            anchors.fill: parent
            currentIndex: tabs.currentIndex

            ModuleSettingsView {
                objectName: "moduleSettingsView"
            }
            SensorView {}
            RxView {
                id: rxView
            }
            LogView {
                id: logView
                objectName: "logView"
            }
            TransmissionsView {
                objectName: "transmissionsView"
            }
        }
    }
}
