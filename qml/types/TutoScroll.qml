import QtQuick
import QtQuick.Controls as C

// A scrollable rich-text explanation (the welcome text, help texts).
C.ScrollView {
    id: scroll

    property alias text: content.text

    clip: true
    contentWidth: availableWidth

    TextEdit {
        id: content
        width: scroll.availableWidth
        textFormat: Text.RichText
        onLinkActivated: link => Qt.openUrlExternally(link)
    }
}
