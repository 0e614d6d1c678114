pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// What loading a configuration file changes in the views, field by field.
// Loading talks to no module; the upload is the second choice, never the
// default, and Cancel changes nothing.
ModalDialog {
    id: dialog

    // The ConfigCheck that compared the file with the views.
    property var check: null
    readonly property int changeCount: check ? check.differences.length : 0

    signal loadRequested()
    signal uploadRequested()

    // Enter loads into the views, the default; Escape cancels.
    title: "Import a configuration"
    standardButtons: Dialog.Ok | Dialog.Apply | Dialog.Cancel
    acceptText: "Load into the views"
    onAccepted: loadRequested()
    onApplied: {
        close()
        uploadRequested()
    }
    onAboutToShow: {
        const load = standardButton(Dialog.Ok)
        load.objectName = "loadIntoViewsButton"
        load.highlighted = true
        const upload = standardButton(Dialog.Apply)
        upload.text = "Load, upload and verify"
        upload.objectName = "loadUploadVerifyButton"
        standardButton(Dialog.Cancel).objectName = "cancelImportButton"
    }

    ColumnLayout {
        spacing: Style.size.spacing
        width: Math.min(640, dialog.parent ? dialog.parent.width * 0.8 : 640)

        Label {
            objectName: "configDiffSummary"
            Layout.fillWidth: true
            wrapMode: Text.WordWrap
            text: dialog.changeCount === 0
                  ? "The views already show this configuration: loading it changes nothing."
                  : "Loading the file changes " + dialog.changeCount
                    + (dialog.changeCount === 1 ? " field" : " fields") + " of the views. Nothing goes to the "
                    + "module unless you upload."
        }

        ListView {
            objectName: "configDiffList"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(contentHeight, 320)
            clip: true
            model: dialog.check ? dialog.check.differences : []
            delegate: RowLayout {
                id: difference
                // One changed field: its name and its value in the views and in the file.
                required property var modelData
                width: ListView.view.width
                spacing: Style.size.spacing
                Label {
                    text: difference.modelData.name
                    Layout.preferredWidth: 220
                    Layout.alignment: Qt.AlignTop
                    wrapMode: Text.Wrap
                }
                // A long value wraps within its cell, whatever its characters.
                Label {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    font.family: Style.font.mono
                    wrapMode: Text.WrapAnywhere
                    text: "views " + (difference.modelData.views === "" ? "(none)" : difference.modelData.views) + "  →  file "
                          + (difference.modelData.file === "" ? "(none)" : difference.modelData.file)
                }
            }
        }
    }
}
