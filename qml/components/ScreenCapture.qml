import QtQuick

// One screen with the pop-ups and alerts on top, as the offscreen renderer
// draws it.
Item {
    id: capture
    property QtObject controller
    width: 390
    height: 844

    ScreenFrame {
        anchors.fill: parent
        controller: capture.controller
    }
    AlertLayer {
        anchors.fill: parent
        alerts: uikit.alerts
    }
    PopupLayer {
        anchors.fill: parent
        popups: uikit.popups
    }
}
