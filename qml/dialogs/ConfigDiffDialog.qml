import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import "../types"

// What importing a configuration file would change on the module, field by
// field; the upload starts only on the user's word.
Dialog {
    id: dialog

    // The ConfigCheck that compared the module with the file.
    property var check: null
    readonly property int differentCount: check ? check.differentCount : 0
    readonly property int fieldCount: check ? check.differences.length : 0
    // Fields that cannot be read back are written anyway.
    readonly property bool somethingToUpload: fieldCount > 0

    signal uploadRequested()

    title: "Import a configuration"
    modal: true
    Overlay.modal: Rectangle {
        color: Style.color.modalDim
    }
    standardButtons: somethingToUpload ? (Dialog.Ok | Dialog.Cancel) : Dialog.Close
    onAccepted: uploadRequested()
    Component.onCompleted: {
        const ok = standardButton(Dialog.Ok)
        if (ok)
            ok.text = "Upload"
    }
    onSomethingToUploadChanged: {
        const ok = standardButton(Dialog.Ok)
        if (ok)
            ok.text = "Upload"
    }

    ColumnLayout {
        spacing: Style.size.spacing
        width: Math.min(640, dialog.parent ? dialog.parent.width * 0.8 : 640)

        Label {
            objectName: "configDiffSummary"
            Layout.fillWidth: true
            wrapMode: Text.WordWrap
            text: !dialog.somethingToUpload
                  ? "The module already holds this configuration: nothing to upload."
                  : dialog.differentCount === 0
                    ? "The module holds every field it can give back; the others are written anyway."
                    : dialog.differentCount + (dialog.differentCount === 1 ? " field differs" : " fields differ")
                      + " from the file. Upload the file to the module?"
        }

        ListView {
            objectName: "configDiffList"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(contentHeight, 320)
            clip: true
            model: dialog.check ? dialog.check.differences : []
            delegate: RowLayout {
                width: ListView.view.width
                spacing: Style.size.spacing
                Label {
                    text: modelData.name
                    Layout.preferredWidth: 220
                    elide: Text.ElideRight
                }
                Label {
                    Layout.fillWidth: true
                    secondary: !modelData.readable
                    font.family: Style.font.mono
                    elide: Text.ElideRight
                    text: modelData.readable ? "module " + modelData.module + "  →  file " + modelData.file
                                             : "not readable, written as in the file"
                }
            }
        }
    }
}
