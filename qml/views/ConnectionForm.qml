pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The connection page's choices: mode, EVK (and its detection), COM port,
// reconnection and baud rate.
Pane {
    id: form

    // The connection page: its choices and what they do.
    required property var page
    readonly property alias portCombo: portCombo
    readonly property alias baudCombo: baudCombo
    readonly property alias expertTip: expertTip

    Layout.fillWidth: true

    GridLayout {
        anchors.fill: parent
        columns: 2
        columnSpacing: Style.size.largeSpacing
        rowSpacing: Style.size.spacing

        Label {
            text: Strings.modeTitle
            header: true
        }
        RowLayout {
            ButtonGroup {
                id: modeGroup
            }
            RadioButton {
                id: basicRadio
                objectName: "basicRadio"
                text: Strings.basic
                ButtonGroup.group: modeGroup
                checked: Settings.mode === TavManager.BASIC
                onClicked: {
                    Settings.mode = TavManager.BASIC
                    TavManager.setMode(TavManager.BASIC)
                    baudCombo.currentIndex = 0
                }
            }
            RadioButton {
                id: expertRadio
                objectName: "expertRadio"
                text: Strings.expert
                ButtonGroup.group: modeGroup
                checked: Settings.mode === TavManager.EXPERT
                onClicked: {
                    Settings.mode = TavManager.EXPERT
                    TavManager.setMode(TavManager.EXPERT)
                    expertTip.show(Strings.moreSettings, 2000)
                }
                ToolTip {
                    id: expertTip
                    objectName: "expertTip"
                }
            }
        }

        Label {
            text: Strings.evkTitle
            header: true
        }
        Flow {
            Layout.fillWidth: true
            ButtonGroup {
                id: evkGroup
            }
            Repeater {
                model: [
                    // Qt 6.4's qmllint finds no enumeration of a Q_GADGET by its QML name.
                    { "label": "TAV1", "module": Module.TAV1 }, // qmllint disable unqualified
                    { "label": "TAV2", "module": Module.TAV2 },
                    { "label": "RIX (STM32WL)", "module": Module.RIX },
                    { "label": "Trekon", "module": Module.TREKON }
                ]
                RadioButton {
                    required property var modelData
                    objectName: "evk" + modelData.label
                    text: modelData.label
                    ButtonGroup.group: evkGroup
                    checked: form.page.selectedModule === modelData.module
                    onClicked: form.page.selectedModule = modelData.module
                }
            }
            Button {
                objectName: "detectButton"
                text: Strings.detect
                toolTipText: Strings.detectTip
                enabled: form.page.canConnect
                onClicked: form.page.detectModule()
            }
        }

        // Its line is kept before any detection: the port and Connect below
        // do not move when the answer comes.
        Item {}
        Label {
            id: detectLabel
            objectName: "detectResult"
            secondary: true
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: form.page.detectText
        }

        Label {
            text: Strings.comPortTitle
            header: true
        }
        RowLayout {
            ComboBox {
                id: portCombo
                objectName: "portCombo"
                Layout.fillWidth: true
                editable: true
                model: TavManager.serialPort.portListModel
                textRole: "display"
                onActivated: index => form.page.choosePort(index)
                onAccepted: {
                    form.page.chosenPort = editText
                    form.page.chosenSerial = TavManager.serialPort.portListModel.serialNumberOf(editText)
                }

                delegate: ItemDelegate {
                    id: portItem
                    required property int index
                    required property var model
                    width: ListView.view ? ListView.view.width : implicitWidth
                    highlighted: portCombo.highlightedIndex === index
                    contentItem: Column {
                        Label {
                            text: portItem.model.display
                        }
                        Label {
                            secondary: true
                            text: portItem.model.details
                            visible: text !== ""
                        }
                    }
                }
            }
            ToolButton {
                objectName: "refreshPortsButton"
                iconRole: "refresh"
                toolTipText: Strings.refreshList + " (F5)"
                onClicked: form.page.refreshPorts()
            }
        }

        Item {
            visible: missingPortLabel.visible
        }
        Label {
            id: missingPortLabel
            objectName: "missingPort"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            color: Style.color.error
            text: form.page.missingPort !== "" ? "Saved port " + form.page.missingPort + " is not plugged in" : ""
            visible: text !== ""
        }

        Item {
            visible: portDetails.visible
        }
        Label {
            id: portDetails
            objectName: "portDetails"
            secondary: true
            Layout.fillWidth: true
            elide: Text.ElideRight
            // Read again whenever the list or the choice changes.
            text: portCombo.count >= 0 && portCombo.currentIndex >= 0
                  ? TavManager.serialPort.portListModel.detailsOf(portCombo.editText.trim()) : ""
            visible: text !== ""
        }

        Label {
            text: Strings.reconnectTitle
            header: true
        }
        Switch {
            objectName: "reconnectSwitch"
            text: Strings.reconnectAutomatically
            checked: TavManager.reconnect
            onToggled: TavManager.reconnect = checked
        }

        Label {
            text: Strings.baudrateTitle
            header: true
            visible: baudCombo.visible
        }
        ComboBox {
            id: baudCombo
            objectName: "baudCombo"
            visible: Settings.mode === TavManager.EXPERT
            model: Strings.baudrates
            Layout.preferredWidth: 180
        }
    }
}
