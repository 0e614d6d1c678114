import QtQuick
import QtQuick.Controls
import com.norvane.qml
import com.norvane.qml.types

// The first visit's welcome: what the tool does and how to start.
ModalDialog {
    title: Strings.welcomeTitle
    standardButtons: Dialog.Close
    onClosed: Settings.firstVisit = false

    TutoScroll {
        anchors.fill: parent
        text: Strings.welcome
    }
}
