pragma Singleton
import QtQuick
import com.norvane.qml

QtObject {
    id: style

    readonly property bool dark: Settings.darkTheme

    readonly property QtObject color: QtObject {
        readonly property color norvanePink: "#E6007E"
        readonly property color norvaneYellow: "#FFCC00"

        readonly property color background: style.dark ? "#17171c" : "#f3f3f6"
        readonly property color pane: style.dark ? "#222229" : "#ffffff"
        readonly property color paneBorder: style.dark ? "#34343d" : "#dcdce3"
        readonly property color field: style.dark ? "#2b2b33" : "#f0f0f4"
        readonly property color text: style.dark ? "#f2f2f5" : "#1e1e24"
        readonly property color textSecondary: style.dark ? "#a8a8b3" : "#5d5d68"
        readonly property color topBarText: "#1e1e24"
        readonly property color accent: norvanePink

        readonly property color error: style.dark ? "#ff5a5f" : "#d32f2f"
        readonly property color success: style.dark ? "#5fd38d" : "#2e7d32"
        readonly property color warning: style.dark ? "#ffc247" : "#b26a00"
        readonly property color active: style.dark ? "#4fc3f7" : "#0277bd"
        readonly property color idle: style.dark ? "#8c8c99" : "#80808c"

        readonly property color rowAlternate: style.dark ? "#26262e" : "#f7f7fa"
        readonly property color rowActive: style.dark ? "#3a2a35" : "#fde3f1"
        readonly property color rowNext: style.dark ? "#3a3522" : "#fff4cc"
        // Behind modal dialogs: Material's own veil is light on a dark window.
        readonly property color modalDim: style.dark ? "#90000000" : "#66303030"
        readonly property color logBackground: style.dark ? "#111115" : "#fbfbfd"
    }

    readonly property QtObject size: QtObject {
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

    readonly property QtObject font: QtObject {
        readonly property string family: "Barlow"
        readonly property string mono: "Roboto Mono"
        readonly property int pointSize: 12
        readonly property int smallPointSize: 10
        readonly property int titlePointSize: 15
        readonly property int headerPointSize: 13
    }

    readonly property QtObject logo: QtObject {
        readonly property url makerLarge: style.dark ? "qrc:/images/norvane_logo_dark_large.svg" : "qrc:/images/norvane_logo_light_large.svg"
        readonly property url makerSmall: style.dark ? "qrc:/images/norvane_logo_dark_small.svg" : "qrc:/images/norvane_logo_light_small.svg"
        readonly property url developer: style.dark ? "qrc:/images/velaris_logo_dark.svg" : "qrc:/images/velaris_logo_light.svg"
        readonly property url partner: "qrc:/images/skyrelay_partner_logo.svg"
    }

    function icon(role) {
        return "qrc:/images/" + role + ".svg"
    }

    // Payload.Status: NONE 0, ERROR 1, PENDING 2, ACTIVE 3, COMPLETE 4
    function payloadStatusColor(status) {
        switch (status) {
        case 1: return color.error
        case 2: return color.warning
        case 3: return color.active
        case 4: return color.success
        default: return color.idle
        }
    }

    // Satellite status texts are "OFF" when the satellite does not serve.
    function satelliteStatusColor(text) {
        if (text === "OFF")
            return color.error
        return text === "" ? color.idle : color.success
    }
}
