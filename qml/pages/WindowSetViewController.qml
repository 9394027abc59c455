import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The window list: the server whose windows are shown, one tickable row per
// window, and the buttons that add a window and close the ticked ones.
Item {
    id: page
    property QtObject controller

    component Caption: Label {
        color: "white"
        font.pixelSize: 15
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 8

        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller ? page.controller.shebeiField : null
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

            ListView {
                id: list
                anchors.fill: parent
                model: page.controller ? page.controller.rows : []
                delegate: Item {
                    id: row
                    required property var modelData
                    required property int index
                    width: ListView.view.width
                    height: 52

                    Label {
                        anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                        text: row.modelData.name
                        font.pixelSize: 16
                        color: "#1d3d57"
                    }
                    Label {
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

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            spacing: 12
            Button {
                Layout.fillWidth: true
                Layout.preferredHeight: 48
                text: qsTr("新增窗口")
                enabled: page.controller ? page.controller.addWindowEnabled : false
                onClicked: page.controller.ButtonActionTouch(1)
            }
            Button {
                Layout.fillWidth: true
                Layout.preferredHeight: 48
                text: qsTr("关闭窗口")
                onClicked: if (page.controller) page.controller.ButtonActionTouch(2)
            }
        }
    }
}
