import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The timed-play schemes of the window: a toolbar (refresh, select all),
// one tickable row per scheme, and the delete / modify / add buttons.
Item {
    id: page
    property QtObject controller

    readonly property int rowHeight: 60

    // Tells the controller which rows are in view (select-all ticks those first).
    function reportVisibleRows() {
        if (!page.controller)
            return
        page.controller.setVisibleRows(Math.floor(list.contentY / page.rowHeight),
                                       Math.ceil(list.height / page.rowHeight))
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
                    onClicked: if (page.controller) page.controller.clickedBarButtonItemActionWithTag(0)
                }
                Item { Layout.fillWidth: true }
                TickBox {
                    text: qsTr("全选")
                    checked: page.controller ? page.controller.allSelected : false
                    onClicked: if (page.controller) page.controller.clickedBarButtonItemActionWithTag(1)
                }
            }
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.dataSource : []
            onContentYChanged: page.reportVisibleRows()
            onHeightChanged: page.reportVisibleRows()
            delegate: Rectangle {
                id: row
                required property var modelData
                required property int index
                readonly property bool ticked: modelData.checked === "YES"
                width: ListView.view.width
                height: page.rowHeight
                color: ticked ? "#cfe7f7" : "white"

                Rectangle {
                    id: tick
                    width: 26
                    height: 26
                    radius: 4
                    anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                    color: row.ticked ? "#3e96d1" : "white"
                    border.color: row.ticked ? "#3e96d1" : "#9fb7c9"
                    border.width: 2
                    Label {
                        anchors.centerIn: parent
                        visible: row.ticked
                        text: "✓"
                        color: "white"
                        font.pixelSize: 18
                        font.bold: true
                    }
                }
                Label {
                    anchors { left: tick.right; leftMargin: 14; right: parent.right; rightMargin: 16; verticalCenter: parent.verticalCenter }
                    text: row.modelData.projectName
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
                    onClicked: if (page.controller) page.controller.didSelectRow(row.index)
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
                onClicked: if (page.controller) page.controller.buttonAction(0)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("修改方案")
                onClicked: if (page.controller) page.controller.buttonAction(1)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("增加方案")
                onClicked: if (page.controller) page.controller.buttonAction(2)
            }
        }
    }
}
