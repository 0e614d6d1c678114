pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The module answers as another variant than the one chosen: which, and a
// button to connect again as each variant it may be.
ModalDialog {
    id: identityDialog

    // The variant the user picks among those the module may be, to connect to it again.
    signal moduleChosen(int module)

    property string message: ""
    property var modules: []
    property string baudrate: "Default"
    // The widest the message is laid out.
    property real messageWidth: 0

    title: Strings.identityTitle
    standardButtons: Dialog.Close

    ColumnLayout {
        spacing: Style.size.spacing
        Label {
            objectName: "identityMessage"
            text: identityDialog.message
            wrapMode: Text.Wrap
            Layout.maximumWidth: identityDialog.messageWidth
        }
        RowLayout {
            spacing: Style.size.spacing
            Repeater {
                model: identityDialog.modules
                Button {
                    id: useButton
                    required property var modelData
                    objectName: "use" + Strings.moduleName(useButton.modelData)
                    text: "Use " + Strings.moduleName(useButton.modelData)
                    highlighted: true
                    onClicked: {
                        identityDialog.close()
                        identityDialog.moduleChosen(useButton.modelData)
                    }
                }
            }
        }
    }
}
