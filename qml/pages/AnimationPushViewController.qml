import QtQuick
import QtQuick.Controls

// The throwing screen: the effect's picture is dragged upwards; the
// controller decides, from where the drag ends, whether it was a throw.
// Positions are this page's own points, as the controller keeps them.
Item {
    id: page
    property QtObject controller

    function reportWidth() {
        if (controller && width > 0)
            controller.viewWidth = width
    }
    onWidthChanged: reportWidth()
    onControllerChanged: reportWidth()

    // Where a throw begins to count.
    Rectangle {
        x: 16
        width: page.width - 32
        height: 2
        y: page.controller ? page.controller.throwLine : 220
        color: "#cfe7f7"
        opacity: 0.5
    }

    Image {
        id: avatar
        width: page.controller ? page.controller.buttonSize : 70
        height: width
        x: page.controller ? page.controller.buttonX : 0
        y: page.controller ? page.controller.buttonY : 0
        visible: page.controller ? page.controller.buttonVisible : false
        fillMode: Image.PreserveAspectFit
        smooth: true
        source: page.controller && page.controller.picture !== "" ? "qrc:/qeva/images/" + page.controller.picture + ".png" : ""

        MouseArea {
            anchors.fill: parent
            enabled: avatar.visible
            property point grab
            function centre(mouse) {
                var p = mapToItem(page, mouse.x, mouse.y)
                return Qt.point(p.x - grab.x + avatar.width / 2, p.y - grab.y + avatar.height / 2)
            }
            onPressed: (mouse) => { grab = Qt.point(mouse.x, mouse.y) }
            onPositionChanged: (mouse) => {
                var c = centre(mouse)
                if (page.controller)
                    page.controller.dragMoved(c.x, c.y)
            }
            onReleased: (mouse) => {
                var c = centre(mouse)
                if (page.controller)
                    page.controller.dragEnded(c.x, c.y)
            }
        }
    }

    Button {
        x: page.controller ? page.controller.resetX : 0
        y: page.controller ? page.controller.resetY : 0
        width: page.controller ? page.controller.resetWidth : 200
        height: page.controller ? page.controller.resetHeight : 40
        text: qsTr("重置动画")
        onClicked: if (page.controller) page.controller.restartButtonFrame()
    }
}
