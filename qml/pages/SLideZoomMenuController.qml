import QtQuick
import QtQuick.Controls
import "../components"

// The side-menu container: the settings menu behind, the server list's
// navigation stack in front; opening moves the front to the right and
// shrinks it, over the controller's animation time.
Item {
    id: page
    property QtObject controller
    readonly property bool open: controller ? controller.isShow : false
    readonly property int duration: controller ? controller.animationDuration * 1000 : 350

    Loader {
        id: menu
        anchors.fill: parent
        readonly property QtObject menuController: page.controller ? page.controller.leftViewController : null
        source: menuController ? shell.pageUrl(menuController.pageName) : ""
        onLoaded: item.controller = Qt.binding(function() { return menu.menuController })
    }

    Item {
        id: front
        width: page.width
        height: page.height
        x: page.open ? page.width * 0.62 : 0
        scale: page.open ? 0.8 : 1
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
            navigation: page.controller ? page.controller.rootViewController : null
        }

        // A tap on the shrunken front closes the menu.
        MouseArea {
            anchors.fill: parent
            enabled: page.controller ? page.controller.tapEnabled : false
            visible: enabled
            onClicked: page.controller.handleTap()
        }

        DragHandler {
            id: swipe
            target: null
            xAxis.enabled: true
            yAxis.enabled: false
            onActiveChanged: if (!active && page.controller) page.controller.handlePan(centroid.position.x - centroid.pressPosition.x)
        }
    }
}
