import QtQuick
import QtQuick.Controls

// One screen: the navigation bar (title, back button, right bar button)
// and the screen's own page below it.
Item {
    id: frame
    property QtObject controller
    property QtObject navigation
    readonly property bool barHidden: navigation ? navigation.navigationBarHidden : false

    Rectangle {
        anchors.fill: parent
        color: "#3e96d1"
    }

    Rectangle {
        id: bar
        visible: !frame.barHidden
        height: visible ? 48 : 0
        anchors { left: parent.left; right: parent.right; top: parent.top }
        color: "#2b78ad"

        ToolButton {
            id: back
            visible: frame.controller ? frame.controller.hasBackButton : false
            enabled: frame.controller ? frame.controller.backButtonEnabled : false
            anchors { left: parent.left; verticalCenter: parent.verticalCenter }
            contentItem: Label { text: "‹"; color: back.enabled ? "white" : "#9fc6e2"; font.pixelSize: 30; horizontalAlignment: Text.AlignHCenter }
            onClicked: frame.controller.backButtonTapped()
        }
        Label {
            anchors.centerIn: parent
            width: parent.width - 150
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            text: frame.controller ? frame.controller.title : ""
            color: "white"
            font.pixelSize: 18
            font.bold: true
        }
        ToolButton {
            id: right
            visible: frame.controller ? frame.controller.hasRightBarButton : false
            anchors { right: parent.right; verticalCenter: parent.verticalCenter }
            contentItem: Label {
                text: frame.controller && frame.controller.rightBarButtonTitle !== "" ? frame.controller.rightBarButtonTitle : "☰"
                color: "white"; font.pixelSize: 16; horizontalAlignment: Text.AlignHCenter
            }
            onClicked: frame.controller.clickedBarButtonItemAction()
        }
    }

    Loader {
        id: page
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        source: frame.controller ? shell.pageUrl(frame.controller.pageName) : ""
        onLoaded: item.controller = Qt.binding(function() { return frame.controller })
    }
}
