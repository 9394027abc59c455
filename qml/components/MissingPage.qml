import QtQuick
import QtQuick.Controls

// Shown for a screen whose page has not been written.
Item {
    property QtObject controller
    Label {
        anchors.centerIn: parent
        text: controller ? controller.pageName : ""
        color: "white"
        opacity: 0.7
    }
}
