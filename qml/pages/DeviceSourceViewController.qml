import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The server's files: one numbered, tickable row per file and "确定" below.
// Select all is the controller's right bar button.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ListView {
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.rows : []
            delegate: Rectangle {
                id: row
                required property var modelData
                required property int index
                width: ListView.view.width
                height: 52
                color: "white"

                Label {
                    id: number
                    anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                    width: 32
                    text: row.modelData.number
                    font.pixelSize: 15
                    color: "#6b8799"
                }
                Label {
                    anchors { left: number.right; right: mark.left; rightMargin: 10; verticalCenter: parent.verticalCenter }
                    text: row.modelData.fileName
                    elide: Text.ElideMiddle
                    font.pixelSize: 16
                    color: "#1d3d57"
                }
                Label {
                    id: mark
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

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 68
            color: "#2b78ad"
            Button {
                anchors.fill: parent
                anchors.margins: 10
                text: qsTr("确定")
                font.pixelSize: 17
                onClicked: if (page.controller) page.controller.confirmAction()
            }
        }
    }
}
