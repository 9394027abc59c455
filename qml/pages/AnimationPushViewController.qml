import QtQuick
import QtQuick.Controls
import Qeva.Client as Client

// The throwing screen: the effect's picture is dragged upwards; the
// controller decides, from where the drag ends, whether it was a throw.
// Positions are this page's own points, as the controller keeps them.
// From the keyboard: Up (or Enter) throws the focused picture.
Item {
    id: page
    required property Client.AnimationPushViewController controller

    function reportWidth() {
        if (width > 0)
            controller.viewWidth = width
    }
    onWidthChanged: reportWidth()
    Component.onCompleted: reportWidth()

    // Where a throw begins to count.
    Rectangle {
        x: 16
        width: page.width - 32
        height: 2
        y: page.controller.throwLine
        color: "#cfe7f7"
        opacity: 0.5
    }

    AbstractButton {
        id: avatar
        objectName: "effectPicture"
        width: page.controller.buttonSize
        height: width
        x: page.controller.buttonX
        y: page.controller.buttonY
        visible: page.controller.buttonVisible
        Accessible.name: qsTr("动画效果")

        // A throw from the keyboard: up past the line and let go.
        function throwUp() {
            page.controller.dragEnded(x + width / 2, page.controller.throwLine - height)
        }
        Keys.onUpPressed: throwUp()
        // Enter and Space; a mouse press is the drag's below.
        onClicked: throwUp()

        contentItem: Image {
            fillMode: Image.PreserveAspectFit
            smooth: true
            source: Client.Shell.imageUrl(page.controller.picture)
        }

        MouseArea {
            anchors.fill: parent
            enabled: avatar.visible
            property point grab
            function centre(mouse: MouseEvent): point {
                const p = mapToItem(page, mouse.x, mouse.y)
                return Qt.point(p.x - grab.x + avatar.width / 2, p.y - grab.y + avatar.height / 2)
            }
            onPressed: (mouse) => { grab = Qt.point(mouse.x, mouse.y) }
            onPositionChanged: (mouse) => {
                const c = centre(mouse)
                page.controller.dragMoved(c.x, c.y)
            }
            onReleased: (mouse) => {
                const c = centre(mouse)
                page.controller.dragEnded(c.x, c.y)
            }
        }
    }

    Button {
        x: page.controller.resetX
        y: page.controller.resetY
        width: page.controller.resetWidth
        height: page.controller.resetHeight
        text: qsTr("重置动画")
        onClicked: page.controller.restartButtonFrame()
    }
}
