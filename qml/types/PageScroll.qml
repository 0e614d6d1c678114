import QtQuick
import QtQuick.Controls as C

// A page's content that scrolls where the window is smaller than the content
// needs: the content fills the view, and is laid out at its minimum size
// (scrolled) below that. The control with the keyboard focus is scrolled into
// view, so Tab never leaves it out of sight.
Flickable {
    id: scroll

    // The least size the content is laid out at.
    property real minimumContentWidth: 0
    property real minimumContentHeight: 0
    // The content's own item, which the children of this one go into.
    readonly property alias body: body
    default property alias content: body.data

    readonly property bool scrollsVertically: minimumContentHeight > height
    readonly property bool scrollsHorizontally: minimumContentWidth > width

    clip: true
    // A bar that shows takes its own room instead of covering the content.
    contentWidth: Math.max(width - (scrollsVertically ? verticalBar.width : 0), minimumContentWidth)
    contentHeight: Math.max(height - (scrollsHorizontally ? horizontalBar.height : 0), minimumContentHeight)
    boundsBehavior: Flickable.StopAtBounds
    flickableDirection: Flickable.AutoFlickIfNeeded
    // Nothing to scroll, nothing to drag.
    interactive: scrollsVertically || scrollsHorizontally
    pressDelay: 0

    C.ScrollBar.vertical: C.ScrollBar {
        id: verticalBar
        policy: scroll.scrollsVertically ? C.ScrollBar.AlwaysOn : C.ScrollBar.AlwaysOff
    }
    C.ScrollBar.horizontal: C.ScrollBar {
        id: horizontalBar
        policy: scroll.scrollsHorizontally ? C.ScrollBar.AlwaysOn : C.ScrollBar.AlwaysOff
    }

    // Scrolls the least that shows the whole item, or its top left corner
    // when it is larger than the view.
    function reveal(item) {
        if (!item || !scroll.visible)
            return
        let inside = false
        for (let p = item.parent; p; p = p.parent) {
            if (p === body) {
                inside = true
                break
            }
        }
        if (!inside)
            return
        const margin = 8
        const at = item.mapToItem(body, 0, 0)
        if (at.y < contentY)
            contentY = Math.max(0, at.y - margin)
        else if (at.y + item.height > contentY + height)
            contentY = Math.min(contentHeight - height, Math.min(at.y - margin, at.y + item.height + margin - height))
        if (at.x < contentX)
            contentX = Math.max(0, at.x - margin)
        else if (at.x + item.width > contentX + width)
            contentX = Math.min(contentWidth - width, Math.min(at.x - margin, at.x + item.width + margin - width))
    }

    Connections {
        target: scroll.Window.window
        function onActiveFocusItemChanged() {
            scroll.reveal(scroll.Window.activeFocusItem)
        }
    }

    Item {
        id: body
        width: scroll.contentWidth
        height: scroll.contentHeight
    }
}
