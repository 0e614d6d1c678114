pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Choose the UTC time TavGUI works with, or read and set the module's date.
ModalDialog {
    id: dialog

    // Seconds between the tool's time and the workstation's.
    property int offsetSeconds: 0
    property string message: ""
    // The window-wide state this dialog needs, from whoever shows it.
    property bool connected: false
    property bool tav1ModuleSelected: false
    property bool enableInput: true
    // The tumblers follow the clock until the user turns one of them.
    property bool chosenByUser: false
    readonly property bool moduleHasDate: dialog.connected && !dialog.tav1ModuleSelected
    readonly property int firstYear: new Date().getUTCFullYear() - 5

    function daysIn(year, month) {
        return new Date(Date.UTC(year, month + 1, 0)).getUTCDate()
    }

    // Puts each tumbler on its value at once, without scrolling through.
    function place(tumbler, index) {
        tumbler.currentIndex = index
        tumbler.positionViewAtIndex(index, Tumbler.Center)
    }

    function show(date) {
        place(yearTumbler, date.getUTCFullYear() - firstYear)
        place(monthTumbler, date.getUTCMonth())
        place(dayTumbler, date.getUTCDate() - 1)
        place(hourTumbler, date.getUTCHours())
        place(minuteTumbler, date.getUTCMinutes())
        place(secondTumbler, date.getUTCSeconds())
    }

    function chosen() {
        const year = firstYear + yearTumbler.currentIndex
        const day = Math.min(dayTumbler.currentIndex + 1, daysIn(year, monthTumbler.currentIndex))
        return new Date(Date.UTC(year, monthTumbler.currentIndex, day, hourTumbler.currentIndex,
                                 minuteTumbler.currentIndex, secondTumbler.currentIndex))
    }

    title: "UTC time"
    standardButtons: Dialog.Close
    // Tumblers only take a position once they are shown.
    onOpened: {
        message = ""
        chosenByUser = false
        show(new Date(Date.now() + offsetSeconds * 1000))
    }

    Timer {
        objectName: "utcDialogClock"
        interval: 1000
        repeat: true
        running: dialog.opened && !dialog.chosenByUser
        onTriggered: dialog.show(new Date(Date.now() + dialog.offsetSeconds * 1000))
    }

    ColumnLayout {
        spacing: Style.size.spacing

        Label {
            text: "Year - month - day   hour : minute : second (UTC)"
            secondary: true
        }

        RowLayout {
            spacing: 4
            Tumbler {
                id: yearTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: 11
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 70
                delegate: TumblerDelegate {
                    digits: 4
                    text: String(dialog.firstYear + modelData)
                }
            }
            Label { text: "-" }
            Tumbler {
                id: monthTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: 12
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 44
                delegate: TumblerDelegate {
                    text: String(modelData + 1).padStart(2, "0")
                }
            }
            Label { text: "-" }
            Tumbler {
                id: dayTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: dialog.daysIn(dialog.firstYear + yearTumbler.currentIndex, monthTumbler.currentIndex)
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 44
                delegate: TumblerDelegate {
                    text: String(modelData + 1).padStart(2, "0")
                }
            }
            Item { Layout.preferredWidth: Style.size.largeSpacing }
            Tumbler {
                id: hourTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: 24
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 44
                delegate: TumblerDelegate {}
            }
            Label { text: ":" }
            Tumbler {
                id: minuteTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: 60
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 44
                delegate: TumblerDelegate {}
            }
            Label { text: ":" }
            Tumbler {
                id: secondTumbler
                onMovingChanged: if (moving) dialog.chosenByUser = true
                model: 60
                visibleItemCount: 3
                Layout.preferredHeight: 132
                Layout.preferredWidth: 44
                delegate: TumblerDelegate {}
            }
        }

        RowLayout {
            spacing: Style.size.spacing
            Button {
                objectName: "applyUtcButton"
                text: "Use this time"
                highlighted: true
                enabled: dialog.enableInput
                toolTipText: "TavGUI schedules and logs with this time from now on"
                onClicked: {
                    TavManager.tx.setCustomUtcTime(Strings.isoText(dialog.chosen()))
                    dialog.message = "TavGUI now runs on " + Strings.utcText(dialog.chosen()) + " UTC."
                }
            }
            Button {
                objectName: "restoreUtcButton"
                text: "Workstation time"
                flat: true
                enabled: dialog.enableInput
                toolTipText: "Go back to the workstation's UTC clock"
                onClicked: {
                    TavManager.tx.setCustomUtcTime(Strings.isoText(new Date()))
                    dialog.show(new Date())
                    dialog.message = "TavGUI runs on the workstation's clock again."
                }
            }
        }

        RowLayout {
            visible: dialog.moduleHasDate
            spacing: Style.size.spacing
            GetButton {
                objectName: "getModuleDateButton"
                text: "Read module date"
                enabled: dialog.enableInput
                toolTipText: "Read the module's date; TavGUI takes it as its own time"
                onClicked: {
                    // The answer arrives before the call returns and moves the tool's clock.
                    TavManager.getModuleUtcDate()
                    dialog.show(new Date(Date.now() + dialog.offsetSeconds * 1000))
                }
            }
            SetButton {
                objectName: "setModuleDateButton"
                text: "Set module date"
                enabled: dialog.enableInput
                toolTipText: "Set the module's date to the time chosen above"
                onClicked: {
                    const ok = TavManager.setModuleUtcDate(Strings.isoText(dialog.chosen()))
                    dialog.message = ok ? "Module date set." : "ERROR: the module refused the date."
                    if (!ok)
                        Notifications.add("The module refused the date.", true)
                }
            }
        }

        Label {
            visible: dialog.message !== ""
            text: dialog.message
            color: dialog.message.startsWith("ERROR") ? Style.color.error : Style.color.textSecondary
        }
    }
}
