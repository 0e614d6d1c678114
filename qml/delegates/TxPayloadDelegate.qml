import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// One payload: its hexadecimal message edited in place, its options, how many
// of its transmissions are done, and its status.
Rectangle {
    id: row

    required property int index
    required property var model
    required property string message
    required property int redundancy
    required property bool optionAck
    required property bool optionMail
    required property bool optionImportant
    required property int txCount
    required property int status
    required property int sentCount
    required property int failedCount
    required property string refusal

    property bool current: false
    property bool optionsAvailable: false
    property bool importantAvailable: false
    property bool editable: true
    // Result of the last check by the payload list, updated on every check.
    property bool checkedValid: status !== Status.ERROR
    // Changes with the sizes the module's modulation allows, so that the
    // message being edited is checked again.
    property int sizeRuleRevision: 0

    readonly property var payloads: TavManager.tx.payloadListModel
    // Why the module cannot carry the message (the text being edited while
    // the field has the focus); empty when it can.
    readonly property string reason: messageField.activeFocus
        ? (sizeRuleRevision >= 0 ? payloads.refusalText(messageField.text, optionAck || optionMail) : "")
        : (checkedValid ? "" : refusal)
    readonly property bool valid: reason === ""
    readonly property var statusNames: ["Idle", "Error", "Pending", "Active", "Complete"]

    implicitHeight: valid ? 48 : 64
    radius: Style.size.radius
    color: !valid ? Qt.rgba(Style.color.error.r, Style.color.error.g, Style.color.error.b, 0.12)
        : current && status !== Status.NONE ? Style.color.rowActive : (index % 2 ? Style.color.rowAlternate : "transparent")

    Connections {
        target: row.payloads
        function onPayloadChecked(checkedIndex, accepted) {
            if (checkedIndex === row.index)
                row.checkedValid = accepted
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: Style.size.spacing
        anchors.rightMargin: Style.size.spacing
        spacing: Style.size.spacing

        Label {
            text: "P" + row.index
            font.family: Style.font.mono
            Layout.preferredWidth: 36
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 0

        InputTextField {
            id: messageField
            objectName: "payloadMessage" + row.index
            Layout.fillWidth: true
            text: row.message
            enabled: row.editable
            error: !row.valid
            font.family: Style.font.mono
            font.capitalization: Font.AllUppercase
            validator: RegularExpressionValidator {
                regularExpression: /[0-9a-fA-F]*/
            }
            toolTipText: row.valid ? (text.length / 2) + (text.length === 2 ? " byte" : " bytes") : row.reason
            onEditingFinished: {
                if (text.toUpperCase() !== row.message)
                    row.model.message = text
            }
        }

        Label {
            objectName: "payloadRefusal" + row.index
            visible: !row.valid
            text: row.reason
            color: Style.color.error
            font.pointSize: Style.font.smallPointSize
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        }

        CheckableButton {
            objectName: "payloadAck" + row.index
            text: "Ack"
            checked: row.optionAck
            visible: row.optionsAvailable
            enabled: row.editable
            toolTipText: "Ask the satellite for an acknowledgement"
            onToggled: row.model.optionAck = checked
        }
        CheckableButton {
            objectName: "payloadMail" + row.index
            icon.source: Style.icon("mail")
            checked: row.optionMail
            visible: row.optionsAvailable
            enabled: row.editable
            toolTipText: "Request a downlink message"
            onToggled: row.model.optionMail = checked
        }
        CheckableButton {
            objectName: "payloadImportant" + row.index
            icon.source: Style.icon("exclamation")
            checked: row.optionImportant
            visible: row.importantAvailable
            enabled: row.editable
            toolTipText: "Important: sent more times during a pass"
            onToggled: row.model.optionImportant = checked
        }

        Label {
            objectName: "payloadTxCount" + row.index
            text: row.txCount + "/" + row.redundancy
            font.family: Style.font.mono
            horizontalAlignment: Text.AlignRight
            Layout.preferredWidth: 56
            ToolTip.visible: txHover.hovered
            ToolTip.text: "Transmissions done / redundancy"
            HoverHandler {
                id: txHover
            }
        }

        Label {
            objectName: "payloadResults" + row.index
            visible: row.sentCount + row.failedCount > 0
            text: row.sentCount + " sent" + (row.failedCount > 0 ? ", " + row.failedCount + " failed" : "")
            color: row.failedCount > 0 ? Style.color.error : Style.color.text
            Layout.preferredWidth: 110
            ToolTip.visible: resultsHover.hovered
            ToolTip.text: "Transmissions of this sequence the module sent, and those that failed"
            HoverHandler {
                id: resultsHover
            }
        }

        Rectangle {
            width: 10
            height: 10
            radius: 5
            color: Style.payloadStatusColor(row.status)
        }
        Label {
            objectName: "payloadStatus" + row.index
            text: row.statusNames[row.status] ?? ""
            color: Style.payloadStatusColor(row.status)
            Layout.preferredWidth: 72
        }

        ToolButton {
            objectName: "payloadRemove" + row.index
            iconRole: "delete"
            toolTipText: "Remove this payload"
            enabled: row.editable
            onClicked: row.payloads.remove(row.index)
        }
    }
}
