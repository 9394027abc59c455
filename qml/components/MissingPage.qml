import QtQuick
import QtQuick.Controls
import Qeva.Client

// Shown for a screen whose page has not been written.
Item {
    id: page
    required property KTBaseViewController controller
    Label {
        anchors.centerIn: parent
        text: page.controller.pageName
        color: "white"
        opacity: 0.7
    }
}
