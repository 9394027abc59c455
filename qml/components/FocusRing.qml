import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T

// A clear ring around the control that has the keyboard focus, when it got
// there by the keyboard (a click does not show it). It follows the control
// as pages scroll and slide.
Rectangle {
    id: ring
    objectName: "focusRing"
    parent: Overlay.overlay
    z: 1000
    // Every control of every style is a template control.
    readonly property T.Control target: ring.Window.activeFocusItem as T.Control
    readonly property bool shown: target !== null && target.visualFocus && target.visible
    visible: shown
    color: "transparent"
    border.color: "#ffb300"
    border.width: 3
    radius: 6

    function place() {
        if (!target || !shown || !parent)
            return
        const r = target.mapToItem(parent, 0, 0, target.width, target.height)
        x = r.x - 4
        y = r.y - 4
        width = r.width + 8
        height = r.height + 8
    }
    onTargetChanged: place()
    onShownChanged: place()
    Connections {
        target: ring.Window.window
        function onAfterAnimating() { ring.place() }
    }
}
