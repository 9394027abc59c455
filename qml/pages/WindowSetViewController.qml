import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The window list: the server whose windows are shown, one tickable row per
// window, and the buttons that add a window and close the ticked ones.
Item {
    id: page
    required property Client.WindowSetViewController controller


    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 8

        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.shebeiField
        }

        Caption {
            Layout.topMargin: 10
            text: qsTr("窗口列表")
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 6
            color: "white"
            clip: true

            RowList {
                anchors.fill: parent
                model: page.controller.rows
                onActivated: (index) => page.controller.didSelectRow(index)
                delegate: TickRow {
                    required property string name
                    required property bool checked
                    text: name
                    ticked: checked
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            spacing: 12
            Button {
                Layout.fillWidth: true
                Layout.preferredHeight: 48
                text: qsTr("新增窗口")
                enabled: page.controller.addWindowEnabled
                onClicked: page.controller.ButtonActionTouch(Client.WindowSetViewController.AddWindowButton)
            }
            Button {
                Layout.fillWidth: true
                Layout.preferredHeight: 48
                text: qsTr("关闭窗口")
                onClicked: page.controller.ButtonActionTouch(Client.WindowSetViewController.CloseWindowButton)
            }
        }
    }
}
