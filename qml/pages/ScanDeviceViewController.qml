import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The discovery screen: the device picture, or while scanning the turning
// radar and its progress; the count line; the user name; the scan button.
Item {
    id: page
    required property Client.ScanDeviceViewController controller
    readonly property bool scanning: controller.scanAnimationVisible

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 14

        Item {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: 120
            Layout.maximumHeight: 260

            // The device picture: a display on its stand.
            Item {
                anchors.centerIn: parent
                width: 200; height: 170
                scale: Math.min(1, parent.height / height)
                visible: !page.scanning
                Rectangle {
                    id: monitor
                    width: parent.width; height: 120
                    radius: 8
                    color: "#1d3d57"
                    border.color: "white"; border.width: 4
                    Label { anchors.centerIn: parent; text: "QEVA"; color: "white"; font.pixelSize: 30; font.bold: true }
                }
                Rectangle { anchors.top: monitor.bottom; anchors.horizontalCenter: parent.horizontalCenter; width: 16; height: 30; color: "white" }
                Rectangle { anchors.bottom: parent.bottom; anchors.horizontalCenter: parent.horizontalCenter; width: 90; height: 8; radius: 4; color: "white" }
            }

            // The scan animation: a sweep that turns with the controller's angle.
            Item {
                id: radar
                anchors.centerIn: parent
                width: 220; height: 220
                scale: Math.min(1, parent.height / height)
                visible: page.scanning
                Repeater {
                    model: 3
                    Rectangle {
                        required property int index
                        anchors.centerIn: parent
                        width: parent ? parent.width * (index + 1) / 3 : 0; height: width
                        radius: width / 2
                        color: "transparent"
                        border.color: "#cfe7f7"; border.width: 2
                    }
                }
                Rectangle {
                    x: radar.width / 2; y: radar.height / 2 - 2
                    width: radar.width / 2; height: 4
                    color: "white"
                    transformOrigin: Item.Left
                    rotation: page.controller.angle * 180 / Math.PI
                }
            }
        }

        ProgressBar {
            Layout.fillWidth: true
            visible: page.scanning
            from: 0; to: 1
            value: page.controller.progress
        }

        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: "white"
            font.pixelSize: 16
            text: page.controller.messageText
        }

        Caption {
            text: qsTr("用户名")
        }
        TextField {
            id: userName
            objectName: "userNameField"
            Layout.fillWidth: true
            placeholderText: qsTr("用户名")
            Accessible.name: qsTr("用户名")
            text: page.controller.userName
            // Each keystroke: a login frame built meanwhile carries the name as it stands.
            onTextEdited: page.controller.userName = text
        }

        Button {
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            Layout.topMargin: 6
            text: page.controller.scanButtonTitle
            font.pixelSize: 18
            onClicked: page.controller.scanButtonAction()
        }
    }
}
