import QtQuick

// The colours of the light and the dark theme.
QtObject {
    // The theme: Style gives its own.
    property bool dark: true

    readonly property color norvanePink: "#E6007E"
    readonly property color norvaneYellow: "#FFCC00"

    readonly property color background: dark ? "#17171c" : "#f3f3f6"
    readonly property color pane: dark ? "#222229" : "#ffffff"
    readonly property color paneBorder: dark ? "#34343d" : "#dcdce3"
    readonly property color field: dark ? "#2b2b33" : "#f0f0f4"
    readonly property color text: dark ? "#f2f2f5" : "#1e1e24"
    readonly property color textSecondary: dark ? "#a8a8b3" : "#5d5d68"
    readonly property color topBarText: "#1e1e24"
    readonly property color accent: norvanePink

    readonly property color error: dark ? "#ff5a5f" : "#d32f2f"
    readonly property color success: dark ? "#5fd38d" : "#2e7d32"
    readonly property color warning: dark ? "#ffc247" : "#b26a00"
    readonly property color active: dark ? "#4fc3f7" : "#0277bd"
    readonly property color idle: dark ? "#8c8c99" : "#80808c"

    readonly property color rowAlternate: dark ? "#26262e" : "#f7f7fa"
    readonly property color rowActive: dark ? "#3a2a35" : "#fde3f1"
    readonly property color rowNext: dark ? "#3a3522" : "#fff4cc"
    // Behind modal dialogs: Material's own veil is light on a dark window.
    readonly property color modalDim: dark ? "#90000000" : "#66303030"
    readonly property color logBackground: dark ? "#111115" : "#fbfbfd"
}
