import QtQuick
import QtQuick.Controls
import Qeva
import Qeva.Client

// The client's window: the root navigation stack (the discovery screen at
// its bottom), or one screen alone when the page renderer draws it, with the
// alerts and pop-ups of the UI kit over everything.
//
// Keys as on a desktop: Tab moves through what is in view, Enter and Space
// press the focused button, Esc closes what is open or goes back like the
// back button, Alt+Left goes back.
ApplicationWindow {
    id: window

    // Set by the page renderer: draw this screen instead of the stack.
    property KTBaseViewController capturedScreen: null

    // Fits a laptop screen 768 pixels high with its panels.
    width: 400
    height: 680
    minimumWidth: 320
    minimumHeight: 480
    visible: true
    title: qsTr("QEVLUX客户端")
    color: "#3e96d1"
    // Controls that do nothing now look it.
    palette.disabled.button: "#c9d3da"
    palette.disabled.buttonText: "#7d8d99"
    palette.disabled.windowText: "#7d8d99"
    palette.disabled.text: "#7d8d99"

    Component.onCompleted: Shell.pressButtonsWithEnter(window)

    FocusScope {
        id: content
        anchors.fill: parent
        focus: true

        Keys.onEscapePressed: (event) => { event.accepted = Shell.goBack() }
        // A text field keeps Backspace for itself, even when empty: only
        // a Backspace nothing took goes back.
        Keys.onPressed: (event) => {
            if ((event.key === Qt.Key_Left && (event.modifiers & Qt.AltModifier)) || event.key === Qt.Key_Back
                    || (event.key === Qt.Key_Backspace && event.modifiers === Qt.NoModifier))
                event.accepted = Shell.goBack()
        }

        NavStack {
            anchors.fill: parent
            visible: window.capturedScreen === null
            focus: visible
            navigation: visible ? UiKit.navigation : null
        }
        ScreenFrame {
            anchors.fill: parent
            visible: window.capturedScreen !== null
            focus: visible
            controller: window.capturedScreen
        }
    }

    AlertLayer {
        alerts: UiKit.alerts
    }
    PopupLayer {
        popups: UiKit.popups
    }
    FocusRing {}
}
