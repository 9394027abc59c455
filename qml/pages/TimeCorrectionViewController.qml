import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// Time correction: the server to set; "完成" (the controller's right bar
// button) sets its clock to the phone's time and time zone.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        x: 20
        y: 16
        width: page.width - 40
        spacing: 6

        Label {
            text: qsTr("选择设备")
            color: "white"
            font.pixelSize: 15
        }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller ? page.controller.shebeiField : null
        }
    }
}
