import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The information screen.
Item {
    id: page
    required property Client.SoftInfoViewController controller

    ScrollPage {
        anchors.fill: parent
        margin: 24
        spacing: 20
        Label {
            Layout.fillWidth: true
            text: page.controller.versionText
            color: "white"
            font.pixelSize: 18
            font.bold: true
            wrapMode: Text.Wrap
        }
        Label {
            Layout.fillWidth: true
            text: page.controller.introText
            color: "white"
            font.pixelSize: 16
            wrapMode: Text.Wrap
        }
    }
}
