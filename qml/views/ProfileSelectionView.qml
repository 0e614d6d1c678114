pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// How the sequence is timed: periodic, on imported passes, or on the passes
// the module predicts itself.
Pane {
    id: view

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property alias csvDialog: csvDialog

    readonly property var tx: TavManager.tx
    readonly property var periodic: TavManager.tx.periodicProfile
    readonly property var prepass: TavManager.tx.prepassProfile
    property string prepassMessage: ""
    property bool prepassError: false
    property string profileMessage: ""

    title: Strings.profileTitle

    function selectProfile(profile) {
        view.profileMessage = ""
        view.tx.selectedProfile = profile
    }

    Connections {
        target: view.tx
        function onLoadPrepassDataCompleted(error) {
            view.prepassError = error !== undefined && error !== ""
            view.prepassMessage = view.prepassError ? "ERROR: " + error : ""
        }
        function onProfileSwitchFailed() {
            view.profileMessage = "ERROR: the profile could not be changed"
        }
    }

    FileDialog {
        id: csvDialog
        objectName: "csvDialog"
        title: "Import satellite passes (CSV exported from ArgosWeb)"
        fileMode: FileDialog.OpenFile
        nameFilters: ["CSV files (*.csv)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            view.prepassMessage = ""
            view.tx.importPrepassData(String(selectedFile))
        }
    }

    FileDialog {
        id: exportPassesDialog
        objectName: "exportPassesDialog"
        title: "Save the satellite passes (CSV)"
        acceptLabel: "Save"
        fileMode: FileDialog.SaveFile
        defaultSuffix: "csv"
        nameFilters: ["CSV files (*.csv)", "All files (*)"]
        currentFolder: Settings.lastFolder
        onAccepted: {
            Settings.lastFolder = currentFolder
            view.tx.exportPrepassData(String(selectedFile))
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Style.size.spacing

        RowLayout {
            spacing: 4
            Repeater {
                model: [
                    // Qt 6.4's qmllint finds no enumeration of a Q_GADGET by its QML name.
                    { "label": Strings.periodic, "profile": Profile.PERIODIC }, // qmllint disable unqualified
                    { "label": Strings.prepass, "profile": Profile.PREPASS },
                    { "label": Strings.prepassOnModule, "profile": Profile.PREPASS_ON_MODULE }
                ]
                Button {
                    required property var modelData
                    objectName: "profileButton" + modelData.profile
                    text: modelData.label
                    highlighted: view.tx.selectedProfile === modelData.profile
                    flat: !highlighted
                    // A TAV1 cannot predict passes itself.
                    enabled: view.window.g_enableInput && !(modelData.profile === Profile.PREPASS_ON_MODULE && view.window.g_tav1ModuleSelected)
                    onClicked: view.selectProfile(modelData.profile)
                }
            }
        }

        StatusLine {
            text: view.profileMessage
            error: true
        }

        StackLayout {
            objectName: "profileStack"
            Layout.fillWidth: true
            currentIndex: view.tx.selectedProfile

            // Periodic
            GridLayout {
                columns: 3
                columnSpacing: Style.size.largeSpacing
                rowSpacing: 2
                enabled: view.window.g_enableInput

                Label { text: "Period" }
                SpinBox {
                    objectName: "periodSpin"
                    from: 1
                    to: 255
                    editable: true
                    value: view.periodic.period
                    onValueModified: view.periodic.period = value
                }
                Label { text: "minutes between bursts"; secondary: true }

                Label { text: "Redundancy" }
                SpinBox {
                    objectName: "periodicRedundancySpin"
                    from: 1
                    to: 255
                    editable: true
                    value: view.periodic.redundancy
                    onValueModified: view.periodic.redundancy = value
                }
                Label { text: "transmissions per payload"; secondary: true }

                Label { text: "Delay" }
                SpinBox {
                    objectName: "delaySpin"
                    from: 1
                    to: 255
                    editable: true
                    value: view.periodic.delay
                    onValueModified: view.periodic.delay = value
                }
                Label { text: "seconds within a burst"; secondary: true }
            }

            // Prepass: passes imported from a CSV file or predicted from the orbit data
            ColumnLayout {
                spacing: Style.size.spacing

                RowLayout {
                    Button {
                        objectName: "importCsvButton"
                        text: "Import passes"
                        icon.source: Style.icon("import")
                        enabled: view.window.g_enableInput
                        toolTipText: "Import the CSV file of satellite passes exported from ArgosWeb"
                        onClicked: csvDialog.open()
                    }
                    Button {
                        objectName: "predictPassesButton"
                        text: "Predict passes"
                        icon.source: Style.icon("satellite")
                        enabled: view.window.g_enableInput
                        toolTipText: "Predict the passes over the beacon position from the orbit data in hand"
                        onClicked: {
                            view.prepassMessage = ""
                            view.tx.predictPasses()
                        }
                    }
                    Button {
                        objectName: "exportPassesButton"
                        text: "Export passes"
                        icon.source: Style.icon("export")
                        flat: true
                        enabled: passCount.count > 0
                        toolTipText: "Write the pass list as a CSV file that Import passes reads back"
                        onClicked: exportPassesDialog.open()
                    }
                    Button {
                        text: "Clear"
                        icon.source: Style.icon("delete")
                        flat: true
                        enabled: view.window.g_enableInput && passCount.count > 0
                        onClicked: {
                            view.prepassMessage = ""
                            view.tx.clearPrepassData()
                        }
                    }
                }
                Label {
                    objectName: "prepassSummary"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    wrapMode: Text.Wrap
                    color: view.prepassError ? Style.color.error : Style.color.textSecondary
                    text: view.prepassMessage !== "" ? view.prepassMessage
                          : view.tx.predicting ? "Predicting passes from the orbit data…"
                          : (passCount.count === 0 ? "No pass imported: the sequence needs at least one."
                                                   : passCount.count + " pass(es) " + (view.tx.prepassSource.startsWith("predicted") ? "predicted" : "imported")
                                                     + ". Payloads are sent once a minute during each pass."
                                                     + (view.tx.prepassWarnings.length > 0 ? "\n" + view.tx.prepassWarnings.join("\n") : ""))
                }
                Instantiator {
                    id: passCount
                    model: view.tx.prepassListModel
                    delegate: QtObject {}
                }
            }

            // Prepass on module: the module computes the next pass
            ModulePrepassPanel {
                connected: view.window.g_connected
                enableInput: view.window.g_enableInput
                trekonModuleSelected: view.window.g_trekonModuleSelected
            }
        }
    }
}
