import QtQuick
import QtQuick.Controls

// A tick box with a caption, drawn without the style's images: the ticked
// look matches the tick of the list rows. It does not tick itself: bind
// checked to the controller and tell the controller on clicked.
AbstractButton {
    id: box
    property color textColor: "white"
    checkable: false
    implicitWidth: mark.width + (caption.text !== "" ? caption.implicitWidth + 8 : 0)
    implicitHeight: 32
    opacity: enabled ? 1 : 0.45
    Accessible.role: Accessible.CheckBox
    Accessible.checkable: true
    Accessible.checked: checked

    Rectangle {
        id: mark
        width: 24
        height: 24
        radius: 4
        anchors.verticalCenter: parent.verticalCenter
        color: box.checked ? "#1d6fa5" : "white"
        border.color: box.checked ? "#1d6fa5" : "#9fb7c9"
        border.width: 2
        Label {
            anchors.centerIn: parent
            visible: box.checked
            text: "✓"
            color: "white"
            font.pixelSize: 16
            font.bold: true
        }
    }
    Label {
        id: caption
        anchors { left: mark.right; leftMargin: 8; verticalCenter: parent.verticalCenter }
        text: box.text
        color: box.textColor
        font.pixelSize: 15
    }
}
