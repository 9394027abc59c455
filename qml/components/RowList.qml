import QtQuick
import QtQuick.Controls

// A list of rows that the keyboard reaches too: Tab brings the focus onto
// the list (one stop, however long it is), Up/Down/PageUp/PageDown/Home/End
// move the current row (ringed), Enter acts on it as a click does
// (activated), Space too unless the rows have a tick of their own
// (toggled), Delete asks to remove it (removeRequested).
ListView {
    id: list
    property string emptyText: ""
    property bool spaceToggles: false
    signal activated(int index)
    signal toggled(int index)
    signal removeRequested(int index)

    clip: true
    activeFocusOnTab: count > 0
    boundsBehavior: Flickable.StopAtBounds
    // The list moves only when the user moves it (or the page asks): a
    // changed current row does not scroll it by itself.
    currentIndex: -1
    highlightFollowsCurrentItem: false
    ScrollBar.vertical: PageScrollBar {}

    function visibleRows(): int {
        return currentItem && currentItem.height > 0 ? Math.max(1, Math.floor(height / currentItem.height) - 1) : 1
    }
    function moveBy(rows: int) {
        if (count === 0)
            return
        currentIndex = Math.max(0, Math.min(count - 1, currentIndex + rows))
        positionViewAtIndex(currentIndex, ListView.Contain)
    }

    onActiveFocusChanged: if (activeFocus && currentIndex < 0 && count > 0) currentIndex = 0
    // The view hands the focus to its current row; the keys are the list's,
    // so it keeps the focus itself (a row would take Space as its click).
    onCurrentItemChanged: if (currentItem) currentItem.focus = false
    Keys.onPressed: (event) => {
        switch (event.key) {
        case Qt.Key_Up: moveBy(-1); break
        case Qt.Key_Down: moveBy(1); break
        case Qt.Key_PageUp: moveBy(-visibleRows()); break
        case Qt.Key_PageDown: moveBy(visibleRows()); break
        case Qt.Key_Home: moveBy(-count); break
        case Qt.Key_End: moveBy(count); break
        case Qt.Key_Return:
        case Qt.Key_Enter:
            if (currentIndex >= 0)
                activated(currentIndex)
            break
        case Qt.Key_Space:
            if (currentIndex >= 0) {
                if (spaceToggles)
                    toggled(currentIndex)
                else
                    activated(currentIndex)
            }
            break
        case Qt.Key_Delete:
            if (currentIndex >= 0)
                removeRequested(currentIndex)
            break
        default:
            return
        }
        event.accepted = true
    }

    // The ring of the current row while the list has the focus.
    Rectangle {
        z: 3
        visible: list.activeFocus && list.currentItem !== null
        x: list.currentItem ? list.currentItem.x : 0
        y: list.currentItem ? list.currentItem.y : 0
        width: list.currentItem ? list.currentItem.width : 0
        height: list.currentItem ? list.currentItem.height : 0
        color: "transparent"
        border.color: "#ffb300"
        border.width: 3
    }

    Label {
        anchors.centerIn: parent
        visible: list.count === 0 && list.emptyText !== ""
        text: list.emptyText
        color: "white"
        font.pixelSize: 16
    }
}
