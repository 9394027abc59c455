import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A row of the play list in a RowList: number, name and tick box, light
// blue while it plays. A click plays it (activated), the box ticks it
// (toggled), a swipe to the left shows "删除" (removeRequested).
SwipeDelegate {
    id: row
    required property int index
    required property string number
    required property string fileName
    required property bool playing
    // "checked" is a button's own: the row's tick comes through the model.
    required property var model
    readonly property bool ticked: model.checked
    readonly property RowList view: ListView.view as RowList

    width: view ? view.width : 0
    height: 52
    padding: 0
    leftPadding: 16
    rightPadding: 12
    focusPolicy: Qt.NoFocus
    background: Rectangle {
        color: row.playing ? "#cfe7f7" : "white"
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 1
            color: "#e3edf4"
        }
    }
    contentItem: RowLayout {
        spacing: 0
        Label {
            Layout.preferredWidth: 32
            text: row.number
            font.pixelSize: 15
            color: "#6b8799"
        }
        Label {
            Layout.fillWidth: true
            Layout.rightMargin: 8
            text: row.fileName
            elide: Text.ElideMiddle
            font.pixelSize: 16
            color: "#1d3d57"
        }
        TickBox {
            focusPolicy: Qt.NoFocus
            checked: row.ticked
            Accessible.name: row.fileName
            onClicked: if (row.view) row.view.toggled(row.index)
        }
    }
    swipe.right: Button {
        readonly property PlayRow owner: parent as PlayRow
        height: owner ? owner.height : 52
        anchors.right: parent ? parent.right : undefined
        text: qsTr("删除")
        focusPolicy: Qt.NoFocus
        palette.button: "#d9534f"
        palette.buttonText: "white"
        onClicked: if (owner) owner.remove()
    }
    onClicked: if (view) { view.currentIndex = index; view.activated(index) }

    function remove() {
        swipe.close()
        if (view)
            view.removeRequested(index)
    }
}
