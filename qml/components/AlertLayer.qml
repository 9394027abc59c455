import QtQuick
import QtQuick.Controls

// The pending alert (a box in the middle) or choice sheet (from the bottom);
// a tapped button answers it.
Item {
    id: layer
    property QtObject alerts
    readonly property bool pending: alerts ? alerts.pending : false
    readonly property bool sheet: alerts ? alerts.style === 1 : false
    visible: pending

    Rectangle {
        anchors.fill: parent
        color: "#80000000"
        MouseArea { anchors.fill: parent }
    }

    Rectangle {
        visible: !layer.sheet
        anchors.centerIn: parent
        width: parent.width * 0.75
        height: alertColumn.implicitHeight + 24
        radius: 12
        color: "#f4f4f4"
        Column {
            id: alertColumn
            anchors { left: parent.left; right: parent.right; top: parent.top; margins: 12 }
            spacing: 10
            Label {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: layer.alerts ? layer.alerts.title : ""
                font.bold: true
                font.pixelSize: 17
                visible: text !== ""
            }
            Label {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: layer.alerts ? layer.alerts.message : ""
                visible: text !== ""
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 10
                Repeater {
                    model: layer.alerts && !layer.sheet ? layer.alerts.buttons : []
                    Button {
                        text: modelData
                        onClicked: layer.alerts.answer(index)
                    }
                }
            }
        }
    }

    Column {
        visible: layer.sheet
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom; margins: 10 }
        spacing: 6
        Label {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: layer.alerts ? layer.alerts.title : ""
            color: "white"
            visible: text !== ""
        }
        Repeater {
            model: layer.alerts && layer.sheet ? layer.alerts.buttons : []
            Button {
                width: parent.width
                text: modelData
                onClicked: layer.alerts.answer(index)
            }
        }
    }
}
