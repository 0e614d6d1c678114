import QtQuick

// The logos for the light and the dark theme.
QtObject {
    // The theme: Style gives its own.
    property bool dark: true

    readonly property url makerLarge: dark ? "qrc:/images/norvane_logo_dark_large.svg" : "qrc:/images/norvane_logo_light_large.svg"
    readonly property url makerSmall: dark ? "qrc:/images/norvane_logo_dark_small.svg" : "qrc:/images/norvane_logo_light_small.svg"
    readonly property url developer: dark ? "qrc:/images/velaris_logo_dark.svg" : "qrc:/images/velaris_logo_light.svg"
    readonly property url partner: "qrc:/images/skyrelay_partner_logo.svg"
}
