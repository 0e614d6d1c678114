import QtQuick
import QtQuick.Controls

ApplicationWindow {
    visible: true
    title: Qt.application.name
    width: 1350
    height: 850
}
