pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The payload list: add, edit in place, options, progress and status of each.
Pane {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var payloads: TavManager.tx.payloadListModel
    // Counted on the model: the list view only catches up at its next layout.
    property int payloadCount: payloads.rowCount()
    property int currentIndex: 0

    title: "Payloads"

    function addPayload() {
        TavManager.tx.addPayloadItem(newMessage.text.toUpperCase())
        newMessage.text = ""
        list.positionViewAtEnd()
    }

    Connections {
        target: view.payloads
        function onRowsInserted() { view.payloadCount = view.payloads.rowCount() }
        function onRowsRemoved() { view.payloadCount = view.payloads.rowCount() }
        function onModelReset() { view.payloadCount = view.payloads.rowCount() }
    }

    // Bumped once the payload list holds the sizes of a newly reported
    // modulation, so that the message being typed is checked again. QML
    // handlers run before the core's own connections to the same signal,
    // hence the deferred bump.
    property int sizeRuleRevision: 0

    function bumpSizeRuleRevision() {
        sizeRuleRevision++
    }

    Connections {
        target: TavManager.tx.modulationModel
        // Qt 6.4's qmllint takes Qt.callLater for a property.
        function onAllowedSizeChanged() { Qt.callLater(view.bumpSizeRuleRevision) } // qmllint disable type
    }

    Connections {
        target: TavManager.tx
        function onCurrentIndexUpdated(index) {
            view.currentIndex = index
            list.positionViewAtIndex(index, ListView.Contain)
        }
        function onSequenceRunningChanged() {
            if (!TavManager.tx.sequenceRunning)
                view.currentIndex = 0
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        Label {
            Layout.fillWidth: true
            visible: view.payloadCount === 0
            secondary: true
            wrapMode: Text.Wrap
            text: "No payload yet. Type a hexadecimal message below (two characters per byte) "
                  + "or leave it empty for a numbered test message, then press Add."
        }

        ListView {
            id: list
            objectName: "payloadList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 2
            model: view.payloads
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: TxPayloadDelegate {
                width: list.width - 12
                current: index === view.currentIndex && TavManager.tx.sequenceRunning
                editable: view.window.g_enableInput
                optionsAvailable: view.window.g_tav2ModuleSelected || view.window.g_rixModuleSelected
                importantAvailable: view.window.g_importantTxOptionEnabled
                sizeRuleRevision: view.sizeRuleRevision
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.size.spacing

            InputTextField {
                id: newMessage
                objectName: "newPayloadField"
                Layout.fillWidth: true
                placeholderText: "New payload (hexadecimal)"
                font.family: Style.font.mono
                font.capitalization: Font.AllUppercase
                enabled: view.window.g_enableInput
                error: text !== "" && view.sizeRuleRevision >= 0 && !view.payloads.checkPayload(text, false)
                validator: RegularExpressionValidator {
                    regularExpression: /[0-9a-fA-F]*/
                }
                toolTipText: text === "" ? "An empty message gets a numbered test message"
                                         : (text.length / 2) + " bytes" + (error ? ": size not allowed by the current modulation" : "")
                onAccepted: view.addPayload()
            }
            Button {
                objectName: "addPayloadButton"
                text: "Add"
                icon.source: Style.icon("next")
                enabled: view.window.g_enableInput
                toolTipText: "Add this payload to the list"
                onClicked: view.addPayload()
            }
        }
    }
}
