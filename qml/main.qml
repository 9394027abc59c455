import QtQuick
import QtQuick.Controls
import "components"

// The phone-sized window: the root navigation stack (the discovery screen
// at its bottom), with the pop-ups and alerts of the UI kit on top.
ApplicationWindow {
    id: window
    width: 390
    height: 844
    visible: true
    title: qsTr("QEVLUX客户端")
    color: "#3e96d1"

    NavStack {
        anchors.fill: parent
        navigation: uikit.navigation
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
