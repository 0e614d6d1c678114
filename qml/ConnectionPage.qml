pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

Page {
    id: page

    property int selectedModule: Settings.module
    // The port the user (or the page for them) chose last, kept by name while
    // the list changes under it.
    property string chosenPort: ""
    // The serial number of the device chosen, when it has one: a replugged
    // device is found again by it, else by its name.
    property string chosenSerial: ""
    // The port chosen that is not plugged in now; "" when it is.
    property string missingPort: ""

    background: null

    // The list follows the devices only while the page is in view.
    Binding {
        target: TavManager.serialPort
        property: "watching"
        value: page.StackView.status === StackView.Active
    }

    Component.onCompleted: {
        TavManager.setMode(Settings.mode)
        // The start-up option may have switched reconnection on already.
        if (Settings.reconnect)
            TavManager.reconnect = true
        selectStoredPort()
        if (Settings.firstVisit)
            welcomeDialog.open()
    }

    function selectStoredPort() {
        const index = connectionForm.portCombo.find(Settings.lastPort)
        // A saved port that is missing today is waited for, not replaced.
        if (index < 0 && Settings.lastPort !== "")
            page.markMissing(Settings.lastPort)
        else
            choosePort(index >= 0 ? index : 0)
    }

    function markMissing(name) {
        page.missingPort = name
        page.chosenPort = name
        connectionForm.portCombo.currentIndex = -1
        connectionForm.portCombo.editText = name
    }

    function choosePort(index) {
        connectionForm.portCombo.currentIndex = index
        page.chosenPort = index >= 0 ? connectionForm.portCombo.textAt(index) : ""
        page.chosenSerial = TavManager.serialPort.portListModel.serialNumberOf(page.chosenPort)
        page.missingPort = ""
        page.followPortVariant()
    }

    // No choice saved yet: the EVK follows a port that names its variant.
    readonly property bool firstChoice: Settings.lastPort === ""
    function followPortVariant() {
        if (!page.firstChoice)
            return
        const variant = TavManager.serialPort.portListModel.variantNamed(page.chosenPort)
        // Qt 6.4's qmllint finds no enumeration of a Q_GADGET by its QML name.
        const modules = { "TAV1": Module.TAV1, "TAV2": Module.TAV2, "RIX": Module.RIX, "TREKON": Module.TREKON } // qmllint disable unqualified
        if (variant !== "")
            page.selectedModule = modules[variant]
    }

    function followPorts() {
        const index = connectionForm.portCombo.find(page.chosenPort)
        if (index >= 0 && page.missingPort !== "")
            page.choosePort(index)
        else if (index >= 0)
            connectionForm.portCombo.currentIndex = index
        else if (page.chosenPort !== "")
            page.markMissing(page.chosenPort)
        else
            page.selectStoredPort()
    }

    function refreshPorts() {
        TavManager.serialPort.enumerate()
        page.choosePort(0)
    }

    readonly property bool canConnect: !busy.running && connectionForm.portCombo.editText.trim() !== ""
    readonly property bool shown: StackView.status === StackView.Active

    Shortcut {
        sequence: "F5"
        enabled: page.shown
        onActivated: page.refreshPorts()
    }
    Shortcut {
        sequence: "Ctrl+Return"
        enabled: page.shown && page.canConnect
        onActivated: page.connectBoard()
    }

    // What the last detection found, shown under the EVK list.
    property string detectText: ""

    function chooseBaud(choice) {
        const index = connectionForm.baudCombo.find(choice)
        if (index >= 0)
            connectionForm.baudCombo.currentIndex = index
    }

    // Two variants that answer alike are named, not chosen between.
    function applyDetection(result) {
        page.detectText = result.text
        if (result.modules.length === 1) {
            page.selectedModule = result.modules[0]
            page.chooseBaud(result.baudrate)
        }
    }

    function detectModule() {
        busy.running = true
        page.applyDetection(TavManager.detect(connectionForm.portCombo.editText.trim(), connectionForm.baudCombo.currentText))
        busy.running = false
    }

    function connectBoard() {
        const port = connectionForm.portCombo.editText.trim()
        // The port connected to is the one the list keeps while it changes.
        page.chosenPort = port
        page.chosenSerial = TavManager.serialPort.portListModel.serialNumberOf(port)
        Settings.lastPort = port
        busy.running = true
        TavManager.connect(page.selectedModule, port, connectionForm.baudCombo.currentText)
    }

    PageScroll {
        id: connectionScroll
        objectName: "connectionScroll"
        anchors.fill: parent
        minimumContentHeight: form.implicitHeight

        ColumnLayout {
            id: form
            spacing: Style.size.largeSpacing
            width: Math.min(560, connectionScroll.width - 2 * Style.size.spacing)
            // In the middle, or from the top once the window is too short.
            x: (connectionScroll.contentWidth - width) / 2
            y: Math.max(0, (connectionScroll.contentHeight - implicitHeight) / 2)

            ConnectionForm {
                id: connectionForm
                page: page
            }

            RowLayout {
                Layout.alignment: Qt.AlignHCenter
                spacing: Style.size.spacing

                Button {
                    objectName: "connectButton"
                    text: Strings.connect
                    highlighted: true
                    enabled: page.canConnect
                    toolTipText: Strings.connect + " (Ctrl+Return)"
                    Layout.preferredWidth: 200
                    onClicked: page.connectBoard()
                }
                ToolButton {
                    objectName: "helpButton"
                    iconRole: "question"
                    toolTipText: Strings.hello
                    onClicked: welcomeDialog.open()
                }
            }

            Label {
                objectName: "demoHint"
                Layout.fillWidth: true
                secondary: true
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                // Spaced letters keep the font from joining "--" into a dash.
                font.letterSpacing: 0.2
                text: Strings.demoHint
                visible: !TavManager.serialPort.listsNamedPorts
            }

            Image {
                Layout.alignment: Qt.AlignHCenter
                Layout.topMargin: Style.size.largeSpacing
                source: Settings.darkTheme ? "qrc:/images/norvane_logo_dark_large.svg" : "qrc:/images/norvane_logo_light_large.svg"
                sourceSize.width: Style.size.logoWidth * 2
                Layout.preferredWidth: Style.size.logoWidth
                Layout.preferredHeight: Style.size.logoWidth * implicitHeight / Math.max(1, implicitWidth)
                fillMode: Image.PreserveAspectFit
            }

            BusyIndicator {
                id: busy
                objectName: "connectBusy"
                Layout.alignment: Qt.AlignHCenter
                running: false
                visible: running
            }
        }
    }

    WelcomeDialog {
        id: welcomeDialog
        objectName: "welcomeDialog"
        parent: page
        anchors.centerIn: undefined
        width: page.width * 0.3
        height: page.width * 0.3
        x: page.width - width
        y: page.height - height
    }

    IdentityDialog {
        id: identityDialog
        objectName: "identityDialog"
        messageWidth: page.width * 0.5
        onModuleChosen: module => {
            page.selectedModule = module
            page.chooseBaud(identityDialog.baudrate)
            page.connectBoard()
        }
    }

    Connections {
        target: TavManager
        function onIdentityMismatchFound(message, modules, baudrate) {
            busy.running = false
            identityDialog.message = message
            identityDialog.modules = modules
            identityDialog.baudrate = baudrate
            identityDialog.open()
        }
        function onDetected(result) {
            page.applyDetection(result)
        }
        function onReconnectChanged() {
            Settings.reconnect = TavManager.reconnect
        }
        function onConnected() {
            busy.running = false
            connectionForm.expertTip.hide()
            // Qt 6.4's qmllint knows no property typed by a Q_GADGET's enumeration.
            Settings.module = TavManager.board.module // qmllint disable type
        }
        function onDisconnected() {
            busy.running = false
        }
    }

    Connections {
        target: TavManager.serialPort
        function onSerialError() {
            busy.running = false
        }
        function onPortListModelChanged() {
            page.followPorts()
        }
        // A device just plugged in is most likely the kit.
        // The device chosen coming back is chosen again (same serial number,
        // else same name); otherwise a device just plugged in is most likely
        // the kit.
        function onPortsAppeared(names) {
            const same = TavManager.serialPort.portListModel.sameDevice(page.chosenPort, page.chosenSerial, names)
            page.choosePort(connectionForm.portCombo.find(same !== "" ? same : names[names.length - 1]))
        }
    }
}
