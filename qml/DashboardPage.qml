import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Payloads, profile, sequence and configuration of the connected board.
Page {
    id: page

    // The window-wide state lives on the main window.
    readonly property var window: Window.window

    readonly property var tx: TavManager.tx
    // The history takes lines in batches: the label is laid out once per
    // batch, not for every line of a chatty module.
    readonly property string lastLogLine: TavManager.logger.history.lastLine

    background: null

    // Two columns side by side where they fit, one above the other below
    // that; the page scrolls where the window is shorter than they need.
    PageScroll {
        id: scroll
        objectName: "dashboardScroll"
        anchors.fill: parent
        // The right column's share, never less than its controls need; the
        // texts in it wrap or elide instead of widening it.
        readonly property real sideWidth: Math.max(rightColumn.implicitWidth,
                                                   Math.min(520, (width - Style.size.boardMargin) * 0.45))
        // The payload list needs this much beside it, a scroll bar included.
        readonly property bool stacked: width < sideWidth + Style.size.boardMargin + 440
        minimumContentHeight: stacked ? columns.implicitHeight
                                      : Math.max(leftColumn.implicitHeight, rightColumn.implicitHeight)

        GridLayout {
            id: columns
            anchors.fill: parent
            columns: scroll.stacked ? 1 : 2
            columnSpacing: Style.size.boardMargin
            rowSpacing: Style.size.boardMargin

            ColumnLayout {
                id: leftColumn
                Layout.fillWidth: true
                Layout.fillHeight: true
                spacing: Style.size.boardMargin

                TxView {
                    id: txView
                    objectName: "txView"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.minimumHeight: 200
                    Layout.preferredHeight: 260
                }

                PrepassView {
                    objectName: "prepassView"
                    visible: page.window.g_prepassProfileSelected
                    Layout.fillWidth: true
                    Layout.minimumHeight: 320
                    Layout.preferredHeight: Math.max(320, scroll.height * 0.42)
                }

                SatelliteView {
                    objectName: "satelliteView"
                    visible: page.window.g_prepassOnModuleProfileSelected
                    Layout.fillWidth: true
                    Layout.minimumHeight: 320
                    Layout.preferredHeight: Math.max(320, scroll.height * 0.42)
                }
            }

            ColumnLayout {
                id: rightColumn
                Layout.fillWidth: scroll.stacked
                Layout.preferredWidth: scroll.stacked ? -1 : scroll.sideWidth
                Layout.maximumWidth: scroll.stacked ? Infinity : scroll.sideWidth
                Layout.fillHeight: true
                spacing: Style.size.boardMargin

                ProfileSelectionView {
                    objectName: "profileSelectionView"
                    Layout.fillWidth: true
                }

                SequenceView {
                    dialogParent: page
                    connected: page.window.g_connected
                    payloadCount: txView.payloadCount
                }

                ConfigurationView {
                    visible: page.window.g_trekonModuleSelected
                    enableInput: page.window.g_enableInput
                }

                Item {
                    Layout.fillHeight: true
                }

                UtcView {
                    Layout.fillWidth: true
                    connected: page.window.g_connected
                    tav1ModuleSelected: page.window.g_tav1ModuleSelected
                    enableInput: page.window.g_enableInput
                }

                Label {
                    objectName: "lastLogLine"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 0
                    text: page.lastLogLine
                    secondary: true
                    elide: Text.ElideRight
                    font.family: Style.font.mono
                    ToolTip.visible: lastLogHover.hovered && page.lastLogLine !== ""
                    ToolTip.text: "The full log is in the settings (gear icon)"
                    HoverHandler {
                        id: lastLogHover
                    }
                }
            }
        }
    }
}
