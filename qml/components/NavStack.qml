import QtQuick
import QtQuick.Controls

// Mirrors a navigation stack of the UI kit: one frame per screen, pushed and
// popped as the controller's stack changes.
Item {
    id: root
    property QtObject navigation

    StackView {
        id: stack
        anchors.fill: parent
    }

    Component {
        id: frameComponent
        ScreenFrame {}
    }

    function sync() {
        if (!navigation) {
            stack.clear()
            return
        }
        var screens = navigation.screens
        var keep = 0
        while (keep < stack.depth && keep < screens.length) {
            var item = stack.get(keep, StackView.DontLoad)
            if (!item || item.controller !== screens[keep])
                break
            keep++
        }
        if (keep === 0)
            stack.clear()
        else if (keep < stack.depth)
            stack.pop(stack.get(keep - 1, StackView.DontLoad))
        for (var i = keep; i < screens.length; ++i)
            stack.push(frameComponent, { controller: screens[i], navigation: navigation })
    }

    Connections {
        target: root.navigation
        function onChanged() { root.sync() }
    }
    onNavigationChanged: sync()
    Component.onCompleted: sync()
}
