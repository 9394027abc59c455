import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The server's files: one numbered, tickable row per file and "确定" below.
// Select all is the controller's right bar button.
Item {
    id: page
    required property Client.DeviceSourceViewController controller

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

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

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 68
            color: "#2b78ad"
            Button {
                anchors.fill: parent
                anchors.margins: 10
                text: qsTr("确定")
                font.pixelSize: 17
                onClicked: page.controller.confirmAction()
            }
        }
    }
}
