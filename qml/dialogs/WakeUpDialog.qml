import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The wait for a sleeping kit's wake-up button: how long it has lasted,
// Cancel, and after a minute what may be wrong, with Detect.
ModalDialog {
    id: dialog

    closePolicy: Popup.NoAutoClose
    title: TavManager.board ? TavManager.board.name : ""
    standardButtons: Dialog.Cancel
    onRejected: TavManager.cancelModuleRequest()

    ColumnLayout {
        spacing: Style.size.spacing
        RowLayout {
            spacing: Style.size.largeSpacing
            BusyIndicator {
                running: dialog.visible
            }
            Label {
                objectName: "wakeUpText"
                text: Strings.wakeUp
            }
        }
        Label {
            objectName: "wakeUpWaited"
            secondary: true
            text: "Waiting for " + TavManager.wakeWaitSeconds + " s"
        }
        Label {
            objectName: "wakeUpHint"
            text: TavManager.wakeWaitHint
            visible: text !== ""
            wrapMode: Text.Wrap
            Layout.maximumWidth: 420
        }
        Button {
            objectName: "wakeUpDetectButton"
            text: Strings.detect
            visible: TavManager.wakeWaitHint !== ""
            onClicked: {
                dialog.close()
                TavManager.detectInsteadOfWaiting()
            }
        }
    }
}
