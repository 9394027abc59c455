import QtQuick
import QtQuick.Controls
import Qeva.Client

// The UI kit's pop-up: progress (blocks clicks and keys while it shows),
// error and success (let both through).
Item {
    id: popupLayer
    property PopupCenter popups: null
    readonly property bool showing: popups !== null && popups.visible
    readonly property int kind: showing ? popups.kind : PopupCenter.Progress

    // Catches input everywhere while the progress pop-up shows.
    Popup {
        parent: Overlay.overlay
        visible: popupLayer.popups !== null && popupLayer.popups.touchesBlocked
        modal: true
        dim: false
        focus: true
        closePolicy: Popup.NoAutoClose
        width: 0
        height: 0
        padding: 0
        background: null
    }

    Popup {
        id: bubble
        objectName: "popupBubble"
        parent: Overlay.overlay
        visible: popupLayer.showing
        closePolicy: Popup.NoAutoClose
        anchors.centerIn: parent
        z: 10
        padding: 20
        background: Rectangle {
            implicitWidth: 150
            radius: 10
            color: "#d9000000"
        }

        Column {
            spacing: 10
            BusyIndicator {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: popupLayer.kind === PopupCenter.Progress
                running: popupLayer.showing && visible
            }
            Label {
                anchors.horizontalCenter: parent.horizontalCenter
                visible: popupLayer.kind !== PopupCenter.Progress
                text: popupLayer.kind === PopupCenter.Error ? "✕" : "✓"
                color: "white"
                font.pixelSize: 34
            }
            Label {
                anchors.horizontalCenter: parent.horizontalCenter
                text: popupLayer.showing ? popupLayer.popups.text : ""
                color: "white"
                font.pixelSize: 15
            }
        }
    }
}
