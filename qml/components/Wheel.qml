import QtQuick
import QtQuick.Controls

// One column of a picker: the row in the middle band is the chosen one.
// It follows a drag, the mouse wheel, a click on a row, Up and Down,
// PageUp and PageDown, Home and End. moved() tells of every change the user
// makes; setting currentIndex from outside does not.
//
// The model is a list of texts, or a count of numbers shown with two
// digits from numbersFrom on when that is set.
ListView {
    id: wheel
    property int numbersFrom: -1
    property int rowHeight: 40
    property int visibleRows: 5
    signal moved(int index)

    implicitHeight: rowHeight * visibleRows
    clip: true
    activeFocusOnTab: true
    keyNavigationEnabled: false // Up/Down below, so that moved() is told
    boundsBehavior: Flickable.StopAtBounds
    highlightRangeMode: ListView.StrictlyEnforceRange
    preferredHighlightBegin: (height - rowHeight) / 2
    preferredHighlightEnd: (height + rowHeight) / 2
    highlightMoveDuration: 120
    snapMode: ListView.SnapToItem

    // The view hands the focus to its current row; the keys are the wheel's.
    onCurrentItemChanged: if (currentItem) currentItem.focus = false

    function twoDigits(n: int): string { return n < 10 ? "0" + n : "" + n }

    function step(by: int) {
        if (count === 0)
            return
        const next = Math.max(0, Math.min(count - 1, currentIndex + by))
        if (next !== currentIndex) {
            currentIndex = next
            moved(next)
        }
    }

    // A drag or flick that settles on another row.
    property bool dragging: false
    onMovementStarted: dragging = true
    onMovementEnded: {
        if (dragging)
            moved(currentIndex)
        dragging = false
    }

    Keys.onPressed: (event) => {
        switch (event.key) {
        case Qt.Key_Up: step(-1); break
        case Qt.Key_Down: step(1); break
        case Qt.Key_PageUp: step(-(visibleRows - 1)); break
        case Qt.Key_PageDown: step(visibleRows - 1); break
        case Qt.Key_Home: step(-count); break
        case Qt.Key_End: step(count); break
        default: return
        }
        event.accepted = true
    }

    // The middle band, ringed while the wheel has the keyboard.
    Rectangle {
        z: -1
        visible: wheel.currentItem !== null
        x: 0
        y: wheel.currentItem ? wheel.currentItem.y : 0
        width: wheel.width
        height: wheel.rowHeight
        color: "#1f3e96d1"
        border.color: wheel.activeFocus ? "#ffb300" : "#3e96d1"
        border.width: wheel.activeFocus ? 2 : 1
        radius: 4
    }

    delegate: Label {
        id: row
        required property var modelData
        required property int index
        readonly property Wheel view: ListView.view as Wheel
        width: view ? view.width : 0
        height: view ? view.rowHeight : 40
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        text: view && view.numbersFrom >= 0 ? view.twoDigits(view.numbersFrom + index) : String(modelData)
        font.pixelSize: 18
        color: ListView.isCurrentItem ? "#1d3d57" : "#6b8799"
        TapHandler {
            onTapped: if (row.view) row.view.step(row.index - row.view.currentIndex)
        }
    }

    // The wheel turns one row per notch (touchpads add up their small steps).
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        property real pending: 0
        onWheel: (event) => {
            pending += event.angleDelta.y
            const rows = pending > 0 ? Math.floor(pending / 120) : Math.ceil(pending / 120)
            if (rows !== 0) {
                pending -= rows * 120
                wheel.step(-rows)
            }
            event.accepted = true
        }
    }
}
