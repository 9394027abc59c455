import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The files of a timed-play scheme: a header (select all, add, delete) and
// one numbered, tickable row per file. "完成" is the controller's right bar
// button.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            color: "#2f88c2"
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 12
                anchors.rightMargin: 12
                spacing: 10
                TickBox {
                    text: qsTr("全选")
                    checked: page.controller ? page.controller.allSelected : false
                    onClicked: if (page.controller) page.controller.clickedCellButtonWith(1, checked ? 0 : 1)
                }
                Item { Layout.fillWidth: true }
                Button {
                    text: qsTr("添加文件")
                    onClicked: if (page.controller) page.controller.clickedCellButtonWith(9, 3)
                }
                Button {
                    text: qsTr("删除")
                    onClicked: if (page.controller) page.controller.clickedCellButtonWith(9, 4)
                }
            }
        }

        ListView {
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.rows : []
            delegate: Rectangle {
                id: row
                required property var modelData
                required property int index
                width: ListView.view.width
                height: 52
                color: "white"

                Label {
                    id: number
                    anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                    width: 32
                    text: row.modelData.number
                    font.pixelSize: 15
                    color: "#6b8799"
                }
                Label {
                    anchors { left: number.right; right: mark.left; rightMargin: 10; verticalCenter: parent.verticalCenter }
                    text: row.modelData.fileName
                    elide: Text.ElideMiddle
                    font.pixelSize: 16
                    color: "#1d3d57"
                }
                Label {
                    id: mark
                    anchors { right: parent.right; rightMargin: 18; verticalCenter: parent.verticalCenter }
                    text: "✓"
                    visible: row.modelData.checked
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
                    onClicked: if (page.controller) page.controller.didSelectRow(row.index)
                }
            }
        }
    }
}
