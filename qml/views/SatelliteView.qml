pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The constellation: each satellite's status and orbit parameters, downloaded
// from the orbit-data service or reported by the module.
Pane {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var profile: TavManager.tx.prepassProfile
    readonly property var aopModel: TavManager.tx.prepassProfile.satelliteAopModel

    function createdText(unknown) {
        const date = view.aopModel.creationDateTime
        const known = date instanceof Date && !isNaN(date.getTime())
        return "Document created: " + (known ? Strings.utcText(date) + " UTC" : unknown)
    }
    property string message: ""
    property bool messageIsError: false

    title: Strings.satellitesTitle

    // A download started elsewhere (before a next-pass request) reports here too.
    Connections {
        target: view.profile
        function onAopDataDownloadFinished(error) {
            view.messageIsError = error !== ""
            view.message = error !== "" ? "ERROR: " + error + " " + view.profile.aopUrlHint : "Orbit data downloaded."
        }
    }

    Connections {
        target: TavManager
        function onOrbitDataOutcome(text, error) {
            view.messageIsError = error
            view.message = (error ? "ERROR: " : "") + text
            if (error)
                Notifications.add(text, true)
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        RowLayout {
            Layout.fillWidth: true
            spacing: Style.size.spacing

            Button {
                objectName: "downloadAopButton"
                text: "Download"
                icon.source: Style.icon("download")
                enabled: !TavManager.busy && !view.profile.downloading
                toolTipText: "Download the orbit parameters and status of every satellite"
                onClicked: TavManager.downloadAopData()
            }
            Button {
                objectName: "readAopButton"
                text: "From module"
                icon.source: Style.icon("refresh")
                flat: true
                enabled: view.window.g_connected && !view.window.g_tav1ModuleSelected && view.window.g_enableInput
                toolTipText: "Read the orbit parameters the module holds"
                onClicked: TavManager.readAopData()
            }
            Button {
                objectName: "sendAopButton"
                text: "To module"
                icon.source: Style.icon("export")
                flat: true
                enabled: view.window.g_connected && !view.window.g_tav1ModuleSelected && view.window.g_enableInput
                toolTipText: "Send the orbit parameters and the constellation status to the module"
                onClicked: TavManager.uploadAopData()
            }
            BusyIndicator {
                running: view.window.g_busyShown
                visible: running
                Layout.preferredWidth: 32
                Layout.preferredHeight: 32
            }
            Item {
                Layout.fillWidth: true
            }
        }

        Label {
            objectName: "orbitDataOutcome"
            Layout.fillWidth: true
            elide: Text.ElideRight
            color: view.messageIsError ? Style.color.error : Style.color.textSecondary
            text: view.message !== "" ? view.message
                  : view.createdText("not downloaded yet")
        }
        // Kept when empty: the list below stays where it is.
        Label {
            Layout.fillWidth: true
            secondary: true
            text: view.message !== "" ? view.createdText("unknown") : ""
        }

        ListView {
            id: list
            objectName: "satelliteList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 2
            model: view.aopModel
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: Rectangle {
                id: satellite
                required property int index
                required property string satelliteName
                required property string downlinkStatus
                required property string uplinkStatus
                required property string aopData
                required property string allcastId
                property bool expanded: false

                width: list.width - 12
                height: content.implicitHeight + 12
                radius: Style.size.radius
                color: index % 2 ? Style.color.rowAlternate : "transparent"

                ColumnLayout {
                    id: content
                    x: 8
                    y: 6
                    width: parent.width - 16
                    spacing: 4

                    // Wraps in a narrow column rather than hiding the statuses.
                    Flow {
                        Layout.fillWidth: true
                        spacing: Style.size.largeSpacing
                        ToolButton {
                            id: expandButton
                            iconRole: "expand"
                            rotation: satellite.expanded ? 180 : 0
                            toolTipText: satellite.expanded ? "Hide the orbit parameters" : "Show the orbit parameters"
                            onClicked: satellite.expanded = !satellite.expanded
                        }
                        Label {
                            text: satellite.satelliteName === Strings.notAvailable ? "Satellite " + satellite.allcastId : satellite.satelliteName
                            font.bold: true
                            width: Math.max(110, implicitWidth)
                            height: expandButton.height
                        }
                        Label {
                            text: "id " + satellite.allcastId
                            secondary: true
                            font.family: Style.font.mono
                            width: 40
                            height: expandButton.height
                        }
                        Row {
                            spacing: Style.size.spacing
                            Label { text: "Downlink:"; secondary: true; height: expandButton.height }
                            Label {
                                text: satellite.downlinkStatus.trim() === "" ? Strings.notAvailable : satellite.downlinkStatus.trim()
                                color: Style.satelliteStatusColor(satellite.downlinkStatus.trim())
                                width: Math.max(110, implicitWidth)
                                height: expandButton.height
                            }
                        }
                        Row {
                            spacing: Style.size.spacing
                            Label { text: "Uplink:"; secondary: true; height: expandButton.height }
                            Label {
                                text: satellite.uplinkStatus.trim() === "" ? Strings.notAvailable : satellite.uplinkStatus.trim()
                                color: Style.satelliteStatusColor(satellite.uplinkStatus.trim())
                                height: expandButton.height
                            }
                        }
                    }

                    TextEdit {
                        visible: satellite.expanded
                        Layout.fillWidth: true
                        Layout.leftMargin: 48
                        textFormat: Text.RichText
                        text: satellite.aopData
                        font.family: Style.font.mono
                        font.pointSize: Style.font.smallPointSize
                    }
                }
            }
        }
    }
}
