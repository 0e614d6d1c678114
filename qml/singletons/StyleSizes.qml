import QtQuick

// Margins, spacings and the sizes of the recurring items, in pixels.
QtObject {
    readonly property int boardMargin: 12
    readonly property int spacing: 8
    readonly property int largeSpacing: 16
    readonly property int radius: 6
    readonly property int icon: 24
    readonly property int smallIcon: 18
    readonly property int topBarHeight: 56
    readonly property int logoWidth: 150
    readonly property int fieldWidth: 160
    readonly property int buttonHeight: 36
    readonly property int rowHeight: 30
}
