import QtQuick
import QtQuick.Layouts
import Qeva.Client

// A screen that sends one order to a chosen server: the server field; "完成"
// (the controller's right bar button) sends the order.
Item {
    id: page
    required property ServerOrderViewController controller

    ScrollPage {
        anchors.fill: parent
        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.shebeiField
        }
    }
}
