pragma Singleton
import QtQuick
import com.norvane.qml.singletons

QtObject {
    id: style

    readonly property bool dark: Settings.darkTheme

    readonly property StyleColors color: StyleColors { dark: style.dark }

    readonly property StyleSizes size: StyleSizes {}

    readonly property StyleFonts font: StyleFonts {}

    readonly property StyleLogos logo: StyleLogos { dark: style.dark }

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
