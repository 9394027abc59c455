import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The files of a timed-play scheme: a header (select all, add, delete) and
// one numbered, tickable row per file. "完成" is the controller's right bar
// button.
Item {
    id: page
    required property Client.PlaySelectViewController controller

    // What the list header reports to the controller.
    readonly property int checkBoxAction: 1
    readonly property int buttonAction: 9
    readonly property int addButton: 3
    readonly property int deleteButton: 4

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
                    checked: page.controller.allSelected
                    onClicked: page.controller.clickedCellButtonWith(page.checkBoxAction, checked ? 0 : 1)
                }
                Item { Layout.fillWidth: true }
                Button {
                    text: qsTr("添加文件")
                    onClicked: page.controller.clickedCellButtonWith(page.buttonAction, page.addButton)
                }
                Button {
                    text: qsTr("删除")
                    onClicked: page.controller.clickedCellButtonWith(page.buttonAction, page.deleteButton)
                }
            }
        }

        RowList {
            Layout.fillWidth: true
            Layout.fillHeight: true
            model: page.controller.rows
            onActivated: (index) => page.controller.didSelectRow(index)
            delegate: TickRow {
                required property string number
                required property string fileName
                required property bool checked
                numberText: number
                text: fileName
                ticked: checked
            }
        }
    }
}
