import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// The log's search: the field, its options, the matches and moving between
// them, with their shortcuts.
RowLayout {
    id: bar

    required property LogFrame frame
    // The widest the match count or the search's error is shown.
    property real maximumTextWidth: 0

    Layout.fillWidth: true
    spacing: Style.size.spacing

    InputTextField {
        id: searchField
        objectName: "logSearchField"
        Layout.fillWidth: true
        placeholderText: "Search the log (Ctrl+F)"
        error: bar.frame.search.error !== ""
        toolTipText: bar.frame.search.error !== "" ? bar.frame.search.error
                     : "Enter: next match, Shift+Enter: previous, F3 as well"
        onTextChanged: bar.frame.search.text = text
        function step(event) {
            if (event.modifiers & Qt.ShiftModifier)
                bar.frame.search.previous()
            else
                bar.frame.search.next()
        }
        Keys.onReturnPressed: event => step(event)
        Keys.onEnterPressed: event => step(event)
        Keys.onEscapePressed: text = ""
    }
    CheckBox {
        objectName: "logSearchRegex"
        text: "Expression"
        checked: bar.frame.search.regularExpression
        onToggled: bar.frame.search.regularExpression = checked
    }
    Label {
        objectName: "logSearchCount"
        secondary: bar.frame.search.error === ""
        color: bar.frame.search.error !== "" ? Style.color.error : Style.color.textSecondary
        text: bar.frame.search.error !== "" ? bar.frame.search.error
            : !bar.frame.search.active ? ""
            : bar.frame.search.count === 0 ? "No match"
            : (bar.frame.search.current + 1) + " of " + bar.frame.search.count
        elide: Text.ElideRight
        Layout.maximumWidth: bar.maximumTextWidth
    }
    ToolButton {
        text: "\u25B2"
        display: AbstractButton.TextOnly
        toolTipText: "Previous match (Shift+Enter)"
        enabled: bar.frame.search.count > 0
        onClicked: bar.frame.search.previous()
    }
    ToolButton {
        text: "\u25BC"
        display: AbstractButton.TextOnly
        toolTipText: "Next match (Enter, F3)"
        enabled: bar.frame.search.count > 0
        onClicked: bar.frame.search.next()
    }

    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequence: StandardKey.Find // qmllint disable unqualified
        enabled: bar.visible
        onActivated: searchField.forceActiveFocus()
    }
    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequences: [StandardKey.FindNext, "F3"] // qmllint disable unqualified
        enabled: bar.visible && bar.frame.search.active
        onActivated: bar.frame.search.next()
    }
    Shortcut {
        // Qt 6.4's qmllint does not know QKeySequence's StandardKey.
        sequences: [StandardKey.FindPrevious, "Shift+F3"] // qmllint disable unqualified
        enabled: bar.visible && bar.frame.search.active
        onActivated: bar.frame.search.previous()
    }
}
