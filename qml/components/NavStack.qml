import QtQuick
import QtQuick.Controls
import Qeva.Client

// Mirrors a navigation stack of the UI kit: one frame per screen, pushed and
// popped as the controller's stack changes. Only the top frame is in view,
// so only its controls take the keyboard focus.
FocusScope {
    id: root
    property KTBaseNavigationController navigation: null

    StackView {
        id: stack
        anchors.fill: parent
        focus: true
    }

    Component {
        id: frameComponent
        ScreenFrame {}
    }

    function frameAt(index: int): ScreenFrame {
        return stack.get(index, StackView.DontLoad) as ScreenFrame
    }

    function sync() {
        if (!navigation) {
            stack.clear()
            return
        }
        const count = navigation.count
        let keep = 0
        while (keep < stack.depth && keep < count) {
            const frame = frameAt(keep)
            if (!frame || frame.controller !== navigation.at(keep))
                break
            keep++
        }
        // Popped at once: the screens that leave are deleted right after,
        // and their pages must be gone before them.
        if (keep === 0)
            stack.clear(StackView.Immediate)
        else if (keep < stack.depth)
            stack.pop(frameAt(keep - 1), StackView.Immediate)
        for (let i = keep; i < count; ++i)
            stack.push(frameComponent, { controller: navigation.at(i), navigation: navigation })
    }

    Connections {
        target: root.navigation
        function onChanged() { root.sync() }
    }
    onNavigationChanged: sync()
    Component.onCompleted: sync()
}
