import QtQuick
import QtQuick.Controls as C
import com.norvane.qml.singletons

// A modal dialog in the middle of the window. Enter gives the OK answer and
// Escape the Cancel (or Close) one; a dialog with an OK button alone takes
// Escape as acknowledging it too. The OK button says what it does when
// `acceptText` is given ("Disconnect", "Upload").
C.Dialog {
    id: dialog

    readonly property bool hasOk: (standardButtons & C.Dialog.Ok) !== 0
    readonly property bool hasCancel: (standardButtons & (C.Dialog.Cancel | C.Dialog.Close)) !== 0
    property string acceptText: ""

    // The box makes its buttons once the dialog is complete: they are named
    // each time the dialog shows.
    onAboutToShow: {
        const ok = hasOk ? standardButton(C.Dialog.Ok) : null
        if (ok && acceptText !== "")
            ok.text = acceptText
    }

    parent: C.Overlay.overlay
    anchors.centerIn: parent
    modal: true
    focus: true
    C.Overlay.modal: Rectangle {
        color: Style.color.modalDim
    }

    // As for Button: no elevation layer where no shader effect is drawn,
    // which left the dialog's body transparent.
    Binding {
        target: dialog.background
        property: "layer.enabled"
        value: false
        when: dialog.background.GraphicsInfo.api === GraphicsInfo.Software
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: dialog.visible && dialog.hasOk
        onActivated: dialog.accept()
    }
    Shortcut {
        sequence: "Escape"
        enabled: dialog.visible && (dialog.hasOk || dialog.hasCancel)
        onActivated: dialog.hasCancel ? dialog.reject() : dialog.accept()
    }
}
