import QtQuick
import QtQuick.Controls

// The UI kit's pop-up: progress (blocks touches), error and success (do not).
Item {
    id: layer
    property QtObject popups
    readonly property bool showing: popups ? popups.visible : false
    readonly property int kind: popups ? popups.kind : 0 // 0 progress, 1 error, 2 success

    MouseArea {
        anchors.fill: parent
        enabled: layer.popups ? layer.popups.touchesBlocked : false
        visible: enabled
    }

    Rectangle {
        visible: layer.showing
        anchors.centerIn: parent
        width: Math.max(150, content.implicitWidth + 40)
        height: content.implicitHeight + 40
        radius: 10
        color: "#d9000000"

        Column {
            id: content
            anchors.centerIn: parent
            spacing: 10
            BusyIndicator {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: layer.kind === 0
                running: layer.showing && layer.kind === 0
            }
            Label {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: layer.kind !== 0
                text: layer.kind === 1 ? "✕" : "✓"
                color: "white"
                font.pixelSize: 34
            }
            Label {
                anchors.horizontalCenter: parent.horizontalCenter
                text: layer.popups ? layer.popups.text : ""
                color: "white"
                font.pixelSize: 15
            }
        }
    }
}
