import QtQuick
import Qeva
import Qeva.Client as Client

// The side-menu container: the settings menu behind, the server list's
// navigation stack in front; opening moves the front to the right and
// shrinks it, over the controller's animation time. Only what is in view
// takes the keyboard focus: the menu while it is open, else the front.
Item {
    id: page
    required property Client.SLideZoomMenuController controller
    readonly property bool open: controller.isShow
    readonly property int duration: controller.animationDuration * 1000

    ScreenFrame {
        id: menu
        objectName: "sideMenu"
        anchors.fill: parent
        // Hidden once closed: nothing in it can take the focus then.
        visible: page.open || front.x > 0
        enabled: page.open
        focus: page.open
        showsBar: false
        controller: page.controller.leftViewController
    }

    FocusScope {
        id: front
        width: page.width
        height: page.height
        x: page.open ? page.width * 0.62 : 0
        scale: page.open ? 0.8 : 1
        focus: !page.open
        Behavior on x { NumberAnimation { duration: page.duration; easing.type: Easing.OutCubic } }
        Behavior on scale { NumberAnimation { duration: page.duration; easing.type: Easing.OutCubic } }

        Rectangle {
            anchors.fill: parent
            anchors.margins: -2
            color: "transparent"
            border.color: "#1d3d57"
            border.width: page.open ? 2 : 0
        }
        NavStack {
            anchors.fill: parent
            focus: true
            // The shrunken front only shows where the user was; a tap closes the menu.
            enabled: !page.open
            navigation: page.controller.rootViewController
        }

        // A tap on the shrunken front closes the menu.
        MouseArea {
            anchors.fill: parent
            enabled: page.controller.tapEnabled
            visible: enabled
            onClicked: page.controller.handleTap()
        }

        DragHandler {
            id: swipe
            target: null
            xAxis.enabled: true
            yAxis.enabled: false
            onActiveChanged: if (!active) page.controller.handlePan(centroid.position.x - centroid.pressPosition.x)
        }
    }
}
