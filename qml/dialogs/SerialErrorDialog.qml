import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The serial link failed: why, and what to do about it.
ModalDialog {
    id: serialErrorDialog

    property string message: ""
    // The connection the message is about; a newer one is left alone.
    property int connection: 0
    // Why the port would not open and what to do; "" for other failures.
    property string diagnosis: ""
    // The widest the texts are laid out.
    property real messageWidth: 0
    closePolicy: Popup.NoAutoClose
    title: Strings.serialErrorTitle
    standardButtons: Dialog.Ok

    RowLayout {
        spacing: Style.size.largeSpacing
        ToolButton {
            iconRole: "exclamation"
            icon.color: Style.color.error
            icon.width: 32
            icon.height: 32
            hoverEnabled: false
            focusPolicy: Qt.NoFocus
            background: null
        }
        ColumnLayout {
            spacing: Style.size.spacing
            Label {
                text: serialErrorDialog.message
                Layout.maximumWidth: serialErrorDialog.messageWidth
                wrapMode: Text.Wrap
            }
            Label {
                objectName: "serialErrorDiagnosis"
                text: serialErrorDialog.diagnosis
                visible: text !== ""
                secondary: true
                textFormat: Text.PlainText
                Layout.maximumWidth: serialErrorDialog.messageWidth
                wrapMode: Text.Wrap
            }
        }
    }
}
