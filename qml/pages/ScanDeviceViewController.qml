import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The discovery screen: the device picture, or while scanning the turning
// radar and its progress; the count line; the user name; the scan button.
Item {
    id: page
    property QtObject controller
    readonly property bool scanning: controller ? controller.scanAnimationVisible : false

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 18

        Item {
            Layout.fillWidth: true
            Layout.preferredHeight: 260

            // The device picture: a display on its stand.
            Item {
                anchors.centerIn: parent
                width: 200; height: 170
                visible: !page.scanning
                Rectangle {
                    id: screen
                    width: parent.width; height: 120
                    radius: 8
                    color: "#1d3d57"
                    border.color: "white"; border.width: 4
                    Label { anchors.centerIn: parent; text: "QEVA"; color: "white"; font.pixelSize: 30; font.bold: true }
                }
                Rectangle { anchors.top: screen.bottom; anchors.horizontalCenter: parent.horizontalCenter; width: 16; height: 30; color: "white" }
                Rectangle { anchors.bottom: parent.bottom; anchors.horizontalCenter: parent.horizontalCenter; width: 90; height: 8; radius: 4; color: "white" }
            }

            // The scan animation: a sweep that turns with the controller's angle.
            Item {
                id: radar
                anchors.centerIn: parent
                width: 220; height: 220
                visible: page.scanning
                Repeater {
                    model: 3
                    Rectangle {
                        anchors.centerIn: parent
                        width: radar.width * (index + 1) / 3; height: width
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
                    rotation: page.controller ? page.controller.angle * 180 / Math.PI : 0
                }
            }
        }

        ProgressBar {
            Layout.fillWidth: true
            visible: page.scanning
            from: 0; to: 1
            value: page.controller ? page.controller.progress : 0
        }

        Label {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: "white"
            font.pixelSize: 16
            text: page.controller ? page.controller.messageText : ""
        }

        TextField {
            Layout.fillWidth: true
            placeholderText: qsTr("用户名")
            text: page.controller ? page.controller.userName : ""
            onEditingFinished: if (page.controller) page.controller.userName = text
        }

        Item { Layout.fillHeight: true }

        Button {
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            text: page.controller ? page.controller.scanButtonTitle : ""
            font.pixelSize: 18
            onClicked: page.controller.scanButtonAction()
        }
    }
}
