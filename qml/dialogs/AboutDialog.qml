pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// What this is, which version, on which Qt, and the licences of the fonts
// compiled into it.
ModalDialog {
    id: dialog

    title: "About " + Qt.application.name
    standardButtons: Dialog.Ok

    ColumnLayout {
        spacing: Style.size.spacing

        Image {
            source: Style.logo.makerLarge
            sourceSize.width: Style.size.logoWidth * 2
            Layout.preferredWidth: Style.size.logoWidth
            Layout.preferredHeight: Style.size.logoWidth * implicitHeight / Math.max(1, implicitWidth)
            fillMode: Image.PreserveAspectFit
        }
        Label {
            objectName: "aboutVersion"
            text: Qt.application.name + " " + Qt.application.version
            font.bold: true
        }
        Label {
            objectName: "aboutQtVersion"
            text: "Built with Qt, running on Qt " + QtRuntime.version
            secondary: true
        }
        Label {
            text: Strings.aboutPurpose
            wrapMode: Text.Wrap
            Layout.maximumWidth: 460
        }
        // How to try the tool without a module.
        Label {
            objectName: "aboutTryWithoutHardware"
            visible: text !== ""
            text: Strings.aboutTryWithoutHardware
            // Spaced letters keep the font from joining "--" into a dash.
            font.letterSpacing: 0.2
            wrapMode: Text.Wrap
            Layout.maximumWidth: 460
        }
        Label {
            text: "Fonts"
            header: true
            Layout.topMargin: Style.size.spacing
        }
        Repeater {
            model: Strings.fontLicences
            Label {
                required property var modelData
                text: "<b>" + modelData.family + "</b>, " + modelData.copyright + ". " + modelData.licence + "."
                textFormat: Text.StyledText
                wrapMode: Text.Wrap
                Layout.maximumWidth: 460
            }
        }
    }
}
