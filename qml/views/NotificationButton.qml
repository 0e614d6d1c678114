pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The bell of the top bar, with the count of unread notifications, and the
// list of notifications it opens.
ToolButton {
    id: bellButton

    // Where the list opens, from the top of the window.
    property real listY: 0

    objectName: "notificationsButton"
    iconRole: "bell"
    icon.color: Style.color.topBarText
    toolTipText: Strings.notificationsTitle + (Notifications.unread > 0 ? " (" + Notifications.unread + " unread)" : "")
    onClicked: notificationList.open()

    Rectangle {
        objectName: "unreadBadge"
        visible: Notifications.unread > 0
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 2
        height: 16
        width: Math.max(16, unreadText.implicitWidth + 8)
        radius: 8
        color: Style.color.error
        Label {
            id: unreadText
            objectName: "unreadCount"
            anchors.centerIn: parent
            text: Notifications.unread > 99 ? "99+" : String(Notifications.unread)
            color: "white"
            font.pointSize: Style.font.smallPointSize
            font.bold: true
        }
    }

    // The list opens under the bell and marks everything read.
    Popup {
        id: notificationList
        objectName: "notificationList"
        parent: Overlay.overlay
        x: parent ? parent.width - width - Style.size.boardMargin : 0
        y: bellButton.listY
        width: 480
        height: Math.min(420, listColumn.implicitHeight + topPadding + bottomPadding)
        onOpened: Notifications.markAllRead()
        onClosed: Notifications.markAllRead()

        ColumnLayout {
            id: listColumn
            anchors.fill: parent
            spacing: Style.size.spacing

            RowLayout {
                Layout.fillWidth: true
                Label {
                    text: Strings.notificationsTitle
                    header: true
                    Layout.fillWidth: true
                }
                Button {
                    objectName: "clearNotificationsButton"
                    text: "Clear"
                    flat: true
                    enabled: Notifications.count > 0
                    onClicked: Notifications.clear()
                }
            }
            Label {
                visible: Notifications.count === 0
                text: Strings.noNotifications
                secondary: true
            }
            ListView {
                objectName: "notificationView"
                visible: Notifications.count > 0
                model: Notifications
                clip: true
                spacing: 4
                Layout.fillWidth: true
                Layout.preferredHeight: Math.min(contentHeight, 340)
                ScrollBar.vertical: ScrollBar {}
                delegate: RowLayout {
                    id: entry
                    required property string time
                    required property string text
                    required property bool error
                    width: ListView.view.width - 12
                    spacing: Style.size.spacing
                    Label {
                        text: entry.time
                        secondary: true
                        font.family: Style.font.mono
                        Layout.alignment: Qt.AlignTop
                    }
                    Label {
                        text: entry.text
                        color: entry.error ? Style.color.error : Style.color.text
                        wrapMode: Text.Wrap
                        Layout.fillWidth: true
                    }
                }
            }
        }
    }
}
