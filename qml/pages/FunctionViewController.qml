import QtQuick
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The function menu of a chosen window: five entries by tag.
Item {
    id: page
    required property Client.FunctionViewController controller

    ScrollPage {
        anchors.fill: parent
        ChoiceButtons {
            Layout.fillWidth: true
            spacing: 14
            buttonHeight: 72
            fontSize: 17
            textRole: "title"
            model: page.controller.buttons
            onChosen: (index) => page.controller.buttonActionTouch(page.controller.buttons.get(index).tag)
        }
    }
}
