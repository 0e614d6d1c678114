import QtQuick
import com.norvane.qml.singletons

// A decimal number field that takes "." or "," whatever the desktop's
// locale, and shows ".". `value` is NaN while the text is not a number in
// [minimum, maximum] with at most `decimals` decimals.
InputTextField {
    id: field

    property real minimum: -Infinity
    property real maximum: Infinity
    property int decimals: 6
    readonly property real value: Decimal.parse(text, minimum, maximum, decimals)
    readonly property bool valid: !isNaN(value)

    error: !valid
    inputMethodHints: Qt.ImhFormattedNumbersOnly
    validator: RegularExpressionValidator {
        regularExpression: /[+-]?[0-9]*([.,][0-9]*)?/
    }
    onTextEdited: {
        const shown = Decimal.shown(text)
        if (shown !== text) {
            const position = cursorPosition
            text = shown
            cursorPosition = position
        }
    }
}
