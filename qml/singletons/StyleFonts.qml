import QtQuick

// The fonts' families and sizes.
QtObject {
    readonly property string family: "Barlow"
    readonly property string mono: "Roboto Mono"
    readonly property int pointSize: 12
    readonly property int smallPointSize: 10
    readonly property int titlePointSize: 15
    readonly property int headerPointSize: 13
}
