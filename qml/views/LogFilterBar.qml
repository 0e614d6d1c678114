pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.norvane.qml
import com.norvane.qml.types

// Which of the log's lines show: by source, AT commands only, errors only.
RowLayout {
    id: bar

    required property LogFrame frame

    Layout.fillWidth: true
    spacing: 0

    Label {
        text: "Show:"
        secondary: true
        rightPadding: Style.size.spacing
    }
    Repeater {
        model: [{ name: "APP", source: 0 }, { name: "TAV", source: 1 }, { name: "TRK", source: 2 }]
        CheckBox {
            required property var modelData
            objectName: "logSource" + modelData.name
            text: modelData.name
            checked: bar.frame.model.sources & (1 << modelData.source)
            onToggled: bar.frame.model.sources = checked ? bar.frame.model.sources | (1 << modelData.source)
                                                        : bar.frame.model.sources & ~(1 << modelData.source)
        }
    }
    CheckBox {
        objectName: "logRequestsOnly"
        text: "AT commands only"
        checked: bar.frame.model.requestsOnly
        onToggled: bar.frame.model.requestsOnly = checked
    }
    CheckBox {
        objectName: "logErrorsOnly"
        text: "Errors only"
        checked: bar.frame.model.errorsOnly
        onToggled: bar.frame.model.errorsOnly = checked
    }
    Item {
        Layout.fillWidth: true
    }
}
