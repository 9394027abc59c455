import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A page of fields in one column that scrolls when the window is short,
// with a scroll bar, and brings the field that takes the focus into view.
Flickable {
    id: flick
    default property alias content: column.data
    property alias spacing: column.spacing
    property int margin: 20

    contentWidth: width
    contentHeight: column.implicitHeight + 32
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: PageScrollBar {}

    ColumnLayout {
        id: column
        x: flick.margin
        y: 16
        width: flick.width - 2 * flick.margin
        spacing: 6
    }

    function reveal(item: Item) {
        if (!item || contentHeight <= height)
            return
        let inside = false
        for (let p = item.parent; p; p = p.parent)
            if (p === column) { inside = true; break }
        if (!inside)
            return
        const r = item.mapToItem(column, 0, 0, item.width, item.height)
        const top = r.y + column.y - 8, bottom = r.y + column.y + r.height + 8
        if (top < contentY)
            contentY = Math.max(0, top)
        else if (bottom > contentY + height)
            contentY = Math.min(contentHeight - height, bottom - height)
    }
    Connections {
        target: flick.Window.window
        function onActiveFocusItemChanged() { flick.reveal(flick.Window.activeFocusItem) }
    }
}
