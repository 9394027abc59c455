import QtQuick
import QtQuick.Controls
import Qeva.Client

// One screen: the navigation bar (back button, title, right bar button) and
// the screen's own page below it, no wider than reads well and centred when
// the window is wide.
FocusScope {
    id: frame
    property KTBaseViewController controller: null
    property KTBaseNavigationController navigation: null
    // A menu panel shows its page alone.
    property bool showsBar: true
    readonly property bool barHidden: !showsBar || (navigation !== null && navigation.navigationBarHidden)
    readonly property int maximumPageWidth: 720
    // The side-menu container lays out its own screens, each in a frame.
    readonly property bool container: controller !== null && controller.pageName === "SLideZoomMenuController"

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
            id: backButton
            visible: frame.controller !== null && frame.controller.hasBackButton
            enabled: frame.controller !== null && frame.controller.backButtonEnabled
            anchors { left: parent.left; verticalCenter: parent.verticalCenter }
            Accessible.name: qsTr("返回")
            background: Rectangle { color: backButton.down ? "#1d6fa5" : "transparent" }
            contentItem: Label {
                text: "‹"
                color: backButton.enabled ? "white" : "#9fc6e2"
                font.pixelSize: 30
                horizontalAlignment: Text.AlignHCenter
            }
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
            id: rightButton
            visible: frame.controller !== null && frame.controller.hasRightBarButton
            anchors { right: parent.right; verticalCenter: parent.verticalCenter }
            readonly property string title: frame.controller ? frame.controller.rightBarButtonTitle : ""
            Accessible.name: title !== "" ? title : qsTr("菜单")
            background: Rectangle { color: rightButton.down ? "#1d6fa5" : "transparent" }
            contentItem: Label {
                text: rightButton.title !== "" ? rightButton.title : "☰"
                color: "white"
                font.pixelSize: 16
                horizontalAlignment: Text.AlignHCenter
            }
            onClicked: frame.controller.clickedBarButtonItemAction()
        }
    }

    Loader {
        id: page
        width: frame.container ? parent.width : Math.min(parent.width, frame.maximumPageWidth)
        anchors { horizontalCenter: parent.horizontalCenter; top: bar.bottom; bottom: parent.bottom }
        focus: true
    }

    // The page takes its controller once, as it is made.
    property KTBaseViewController pageController: null
    function load() {
        if (controller === pageController)
            return
        pageController = controller
        if (controller)
            page.setSource(Shell.pageUrl(controller.pageName), { controller: controller })
        else
            page.source = ""
    }
    onControllerChanged: load()
    Component.onCompleted: load()
}
