import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The function menu of a chosen window: five entries by tag.
Item {
    id: page
    property QtObject controller

    GridLayout {
        anchors.fill: parent
        anchors.margins: 20
        columns: 2
        rowSpacing: 16
        columnSpacing: 16
        Repeater {
            model: page.controller ? page.controller.buttons : []
            Button {
                Layout.fillWidth: true
                Layout.preferredHeight: 110
                Layout.columnSpan: index === 4 ? 2 : 1
                text: modelData.title
                font.pixelSize: 17
                onClicked: page.controller.buttonActionTouch(modelData.tag)
            }
        }
        Item { Layout.fillHeight: true; Layout.columnSpan: 2 }
    }
}
