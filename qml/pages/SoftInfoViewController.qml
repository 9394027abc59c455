import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The information screen.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 20
        Label {
            Layout.fillWidth: true
            text: page.controller ? page.controller.versionText : ""
            color: "white"
            font.pixelSize: 18
            font.bold: true
            wrapMode: Text.Wrap
        }
        Label {
            Layout.fillWidth: true
            text: page.controller ? page.controller.introText : ""
            color: "white"
            font.pixelSize: 16
            wrapMode: Text.Wrap
        }
        Item { Layout.fillHeight: true }
    }
}
