import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// A transmission could not be started or went wrong: the engine's message.
ModalDialog {
    id: txErrorDialog

    property string message: ""
    property real messageWidth: 400

    title: Strings.txErrorTitle
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
        Label {
            text: txErrorDialog.message
            Layout.maximumWidth: txErrorDialog.messageWidth
            wrapMode: Text.Wrap
        }
    }
}
