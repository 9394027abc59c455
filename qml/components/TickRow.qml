import QtQuick
import QtQuick.Controls

// A row of a RowList that a click ticks or unticks: its number (when it
// has one), its name and a tick mark.
Rectangle {
    id: row
    required property int index
    property string numberText: ""
    property string text: ""
    property bool ticked: false
    readonly property RowList view: ListView.view as RowList

    width: view ? view.width : 0
    height: 52
    color: "white"

    Label {
        id: number
        visible: row.numberText !== ""
        anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
        width: visible ? 32 : 0
        text: row.numberText
        font.pixelSize: 15
        color: "#6b8799"
    }
    Label {
        anchors { left: number.right; leftMargin: row.numberText !== "" ? 0 : 16; right: mark.left; rightMargin: 10; verticalCenter: parent.verticalCenter }
        text: row.text
        elide: Text.ElideMiddle
        font.pixelSize: 16
        color: "#1d3d57"
    }
    Label {
        id: mark
        anchors { right: parent.right; rightMargin: 18; verticalCenter: parent.verticalCenter }
        text: "✓"
        visible: row.ticked
        color: "#3e96d1"
        font.pixelSize: 22
        font.bold: true
    }
    Rectangle {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 1
        color: "#e3edf4"
    }
    MouseArea {
        anchors.fill: parent
        onClicked: if (row.view) { row.view.currentIndex = row.index; row.view.activated(row.index) }
    }
}
