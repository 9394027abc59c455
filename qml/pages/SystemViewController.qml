import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The settings menu behind the server list. The entry without a title of
// its own closes the menu.
Item {
    id: page
    required property Client.SystemViewController controller

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 18
        spacing: 8

        Label {
            text: page.controller.title
            color: "white"
            font.pixelSize: 22
            font.bold: true
            Layout.bottomMargin: 10
        }
        ChoiceButtons {
            Layout.preferredWidth: 190
            buttonHeight: 44
            textRole: "title"
            blankText: "‹"
            blankName: qsTr("关闭菜单")
            model: page.controller.buttons
            onChosen: (index) => page.controller.systemButtonAction(page.controller.buttons.get(index).tag)
        }
        Item { Layout.fillHeight: true }
    }
}
