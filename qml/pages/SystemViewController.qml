import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The settings menu behind the server list. The entry without a title of
// its own closes the menu.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 18
        spacing: 8

        Label {
            text: page.controller ? page.controller.title : ""
            color: "white"
            font.pixelSize: 22
            font.bold: true
            Layout.bottomMargin: 10
        }
        Repeater {
            model: page.controller ? page.controller.buttons : []
            Button {
                Layout.preferredWidth: 190
                Layout.preferredHeight: 44
                text: modelData.title !== "" ? modelData.title : "‹"
                flat: modelData.title === ""
                font.pixelSize: 16
                onClicked: page.controller.systemButtonAction(modelData.tag)
            }
        }
        Item { Layout.fillHeight: true }
    }
}
