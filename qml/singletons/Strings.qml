pragma Singleton
import QtQuick

QtObject {
    readonly property string welcomeTitle: "Welcome to TavGUI"
    readonly property string welcome: "<p>TavGUI lets you evaluate and configure a TAV transmitter module, "
        + "or the evaluation kit (EVK) that carries one, without typing a single AT command.</p>"
        + "<p><b>1. Mode.</b> <i>Basic</i> shows what you need to send messages. <i>Expert</i> adds the "
        + "baud rate choice, the custom AT command field of the log and the TAV1 frequency and power.</p>"
        + "<p><b>2. EVK.</b> Pick the module you plugged in: TAV1, TAV2, RIX (STM32WL) or Trekon.</p>"
        + "<p><b>3. COM port.</b> Choose the serial port of the board. The list follows the devices "
        + "as you plug them in and picks the one that just appeared.</p>"
        + "<p><b>4. Connect.</b> A Trekon kit sleeps to save its battery: when TavGUI asks for it, "
        + "press the wake up button of the board.</p>"
        + "<p>Once connected, the <b>dashboard</b> holds your payloads (hexadecimal messages), the "
        + "transmission profile (periodic, imported satellite passes, or passes predicted by the "
        + "module) and the start and stop of the sequence. The gear icon of the top bar opens the "
        + "<b>settings</b>: module configuration, sensors, received messages and the full log, which "
        + "you can copy or export.</p>"
        + "<p>Times are UTC throughout. The power icon disconnects the board.</p>"
        + "<p>Press the question mark of the connection page to read this again.</p>"

    // Connection page
    readonly property string modeTitle: "Mode"
    readonly property string basic: "Basic"
    readonly property string expert: "Expert"
    readonly property string moreSettings: "More settings available!"
    readonly property string evkTitle: "EVK"
    readonly property string comPortTitle: "COM port"
    readonly property string refreshList: "Refresh list"
    readonly property string baudrateTitle: "Baudrate"
    readonly property string connect: "Connect"
    readonly property string hello: "Hello!"
    readonly property var baudrates: ["Default", "9600", "115200"]
    readonly property string reconnectTitle: "Connection"
    readonly property string reconnectAutomatically: "Reconnect automatically"
    // How to try the tool without hardware, for every place that tells it.
    readonly property string demoHint: "No kit at hand? Start TavGUI as tavgui --demo: one "
        + "simulated module of each variant is listed first among the ports, as \"Demo TREKON (simulated)\" "
        + "and the like, and every page works on them."

    // Top bar
    readonly property string connectionTitle: "Connect your TAV Evaluation Kit (EVK)"
    readonly property string expertModeTitle: "Expert Mode"
    readonly property string basicModeTitle: "Basic Mode"
    readonly property string settingsTitle: "Settings"
    readonly property string requestInfo: "Request TAV info"
    readonly property string disconnectTip: "Disconnect"

    // Dialogs
    readonly property string wakeUp: "Please press wake up button"
    readonly property string detect: "Detect"
    readonly property string identityTitle: "Another EVK answers"
    readonly property string detectTip: "Find which EVK is on the port (reads only)"
    readonly property string serialErrorTitle: "Serial port"
    readonly property string txErrorTitle: "Transmission"

    // Dashboard
    readonly property string payloadsTitle: "Payloads"
    readonly property string profileTitle: "Transmission profile"
    readonly property string periodic: "Periodic"
    readonly property string prepass: "Prepass"
    readonly property string prepassOnModule: "Prepass on module"
    readonly property string sequenceTitle: "Sequence"
    readonly property string configTitle: "Configuration"
    readonly property string prepassTitle: "Satellite passes"
    readonly property string satellitesTitle: "Satellites"
    readonly property string utcTitle: "UTC time"

    // Settings page
    readonly property string moduleTab: "Module"
    readonly property string sensorsTab: "Sensors"
    readonly property string rxTab: "Rx"
    readonly property string logTab: "Log"
    readonly property string notConnected: "Connect a board to read and change its configuration."

    // About
    readonly property string aboutPurpose: "Evaluation and configuration tool for the TAV transmitter modules "
        + "and their evaluation kits, speaking their AT commands over a serial line."
    // The connection page's hint, told again.
    readonly property string aboutTryWithoutHardware: demoHint
    readonly property var fontLicences: [
        { "family": "Barlow", "copyright": "Copyright 2017 The Barlow Project Authors",
          "licence": "SIL Open Font License, Version 1.1" },
        { "family": "Roboto Mono", "copyright": "Copyright 2015 The Roboto Mono Project Authors",
          "licence": "SIL Open Font License, Version 1.1" }
    ]

    // Notifications
    readonly property string notificationsTitle: "Notifications"
    readonly property string noNotifications: "Nothing to report."

    // Texts for a value the module did not give.
    readonly property string notAvailable: "NA"

    function moduleName(module) {
        return ["NA", "TAV1", "TAV2", "RIX", "TREKON"][module] ?? "NA"
    }

    // 125 -> "02:05"; beyond an hour "1:02:05".
    function duration(seconds) {
        const s = Math.max(0, Math.floor(seconds))
        const h = Math.floor(s / 3600)
        const mm = String(Math.floor(s / 60) % 60).padStart(2, "0")
        const ss = String(s % 60).padStart(2, "0")
        return h > 0 ? h + ":" + mm + ":" + ss : mm + ":" + ss
    }

    // A date shown in UTC as "2024-03-05 14:03:07"; texts (the models give
    // their dates as text already) are shown as they are.
    function utcText(value) {
        if (value === undefined || value === null || value === "")
            return notAvailable
        if (!(value instanceof Date))
            return String(value)
        if (isNaN(value.getTime()))
            return notAvailable
        return value.toISOString().slice(0, 19).replace("T", " ")
    }

    // The ISO text the core and the module read, without milliseconds.
    function isoText(date) {
        return date.toISOString().replace(/\.\d{3}Z$/, "Z")
    }
}
