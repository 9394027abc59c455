import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The timed-play schemes of the window: a toolbar (refresh, select all),
// one tickable row per scheme, and the delete / modify / add buttons.
Item {
    id: page
    required property Client.AddTimePlayViewController controller

    readonly property int rowHeight: 60

    // Tells the controller which rows are in view (select-all ticks those first).
    function reportVisibleRows() {
        controller.setVisibleRows(Math.floor(list.contentY / rowHeight), Math.ceil(list.height / rowHeight))
    }

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
                Button {
                    text: qsTr("刷新")
                    onClicked: page.controller.clickedBarButtonItemActionWithTag(Client.AddTimePlayViewController.RefreshTag)
                }
                Item { Layout.fillWidth: true }
                TickBox {
                    text: qsTr("全选")
                    checked: page.controller.allSelected
                    onClicked: page.controller.clickedBarButtonItemActionWithTag(Client.AddTimePlayViewController.SelectAllTag)
                }
            }
        }

        RowList {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            model: page.controller.schemes
            onContentYChanged: page.reportVisibleRows()
            onHeightChanged: page.reportVisibleRows()
            onActivated: (index) => page.controller.didSelectRow(index)
            delegate: Rectangle {
                id: row
                required property int index
                required property string projectName
                required property bool checked
                readonly property RowList view: ListView.view as RowList
                width: view ? view.width : 0
                height: 60
                color: checked ? "#cfe7f7" : "white"

                Rectangle {
                    id: tick
                    width: 26
                    height: 26
                    radius: 4
                    anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                    color: row.checked ? "#3e96d1" : "white"
                    border.color: row.checked ? "#3e96d1" : "#9fb7c9"
                    border.width: 2
                    Label {
                        anchors.centerIn: parent
                        visible: row.checked
                        text: "✓"
                        color: "white"
                        font.pixelSize: 18
                        font.bold: true
                    }
                }
                Label {
                    anchors { left: tick.right; leftMargin: 14; right: parent.right; rightMargin: 16; verticalCenter: parent.verticalCenter }
                    text: row.projectName
                    elide: Text.ElideRight
                    font.pixelSize: 17
                    color: "#1d3d57"
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
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 12
            spacing: 10
            Button {
                Layout.fillWidth: true
                text: qsTr("删除方案")
                onClicked: page.controller.buttonAction(Client.AddTimePlayViewController.DeleteTag)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("修改方案")
                onClicked: page.controller.buttonAction(Client.AddTimePlayViewController.ModifyTag)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("增加方案")
                onClicked: page.controller.buttonAction(Client.AddTimePlayViewController.AddTag)
            }
        }
    }
}
