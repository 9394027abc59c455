import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The play list of the current window: select all and the play mode above,
// one row per entry (number, name, check box; a swipe offers "删除"), the
// playing row highlighted, and two rows of buttons below. The volume panel
// lies over everything while it is open. Refresh is the controller's right
// bar button.
//
// Keys on the list: Enter plays the current row, Space ticks it, Delete
// asks to delete it, as the swipe's "删除" does.
Item {
    id: page
    required property Client.PlayControlViewController controller

    // What the controller's cells and bar report.
    readonly property int checkAction: 3
    readonly property int uncheckAction: 4
    readonly property int allSelectBarButton: 1

    component ControlButton: Button {
        required property int tag
        Layout.fillWidth: true
        Layout.preferredHeight: 46
        font.pixelSize: 14
    }

    function press(tag: int) {
        controller.controlButtonAction(tag)
    }
    function toggleRow(index: int) {
        const checked = controller.rows.get(index).checked
        controller.clickedCellButtonWith(checked ? uncheckAction : checkAction, index)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            color: "#2f88c2"
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 12
                anchors.rightMargin: 12
                TickBox {
                    text: qsTr("全选")
                    checked: page.controller.allSelected
                    onClicked: page.controller.clickedBarButtonItemActionWithTag(page.allSelectBarButton)
                }
                Item { Layout.fillWidth: true }
                Label {
                    text: page.controller.playModelTitle
                    color: "white"
                    font.pixelSize: 15
                }
            }
        }

        RowList {
            id: list
            objectName: "playList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            spaceToggles: true
            model: page.controller.rows
            onActivated: (index) => page.controller.didSelectRow(index)
            onToggled: (index) => page.toggleRow(index)
            onRemoveRequested: (index) => page.controller.deleteRow(index)

            delegate: PlayRow {}

            Connections {
                target: page.controller
                // Only a freshly loaded list is scrolled (to the middle); a
                // play state or a tap highlights the row where it stands.
                function onRowHighlighted(row: int, scrollToMiddle: bool) {
                    if (scrollToMiddle)
                        list.positionViewAtIndex(row, ListView.Center)
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 62
            color: "#2b78ad"
            RowLayout {
                anchors.fill: parent
                anchors.margins: 8
                spacing: 6
                visible: !page.controller.secondButtonRow
                ControlButton { tag: Client.PlayControlViewController.ProceTag; text: qsTr("上一个"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.PlayTag; text: qsTr("播放"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.ZantingTag; text: qsTr("暂停"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.NextTag; text: qsTr("下一个"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.StopTag; text: qsTr("停止"); onClicked: page.press(tag) }
                ControlButton {
                    tag: Client.PlayControlViewController.MoreTag1
                    text: "›"
                    Accessible.name: qsTr("更多")
                    Layout.preferredWidth: 36
                    Layout.fillWidth: false
                    onClicked: page.press(tag)
                }
            }
            RowLayout {
                anchors.fill: parent
                anchors.margins: 8
                spacing: 6
                visible: page.controller.secondButtonRow
                ControlButton {
                    tag: Client.PlayControlViewController.MoreTag2
                    text: "‹"
                    Accessible.name: qsTr("返回")
                    Layout.preferredWidth: 36
                    Layout.fillWidth: false
                    onClicked: page.press(tag)
                }
                ControlButton { tag: Client.PlayControlViewController.ControlModelTag; text: page.controller.playModelTitle; onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.YinliangTag; text: qsTr("音量"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.FileTag; text: qsTr("添加"); onClicked: page.press(tag) }
                ControlButton { tag: Client.PlayControlViewController.DeleteTag; text: qsTr("清空"); onClicked: page.press(tag) }
            }
        }
    }

    // The volume panel over the dimmed window, the title bar included.
    Popup {
        id: volumePanel
        objectName: "volumePanel"
        parent: Overlay.overlay
        visible: page.controller.volumePanelVisible
        modal: true
        focus: true
        closePolicy: Popup.NoAutoClose
        anchors.centerIn: parent
        width: Math.min(parent ? parent.width - 60 : 320, 380)
        padding: 16
        background: Rectangle {
            radius: 12
            color: "#f4f4f4"
        }

        FocusScope {
            focus: true
            anchors.fill: parent
            implicitHeight: volumeColumn.implicitHeight
            Keys.onEscapePressed: page.controller.closeVolumePanel()
            ColumnLayout {
                id: volumeColumn
                width: parent.width
                spacing: 12
                RowLayout {
                    Layout.fillWidth: true
                    Label {
                        Layout.fillWidth: true
                        horizontalAlignment: Text.AlignHCenter
                        text: qsTr("音量调节")
                        font.pixelSize: 17
                        font.bold: true
                    }
                    ToolButton {
                        text: "×"
                        font.pixelSize: 22
                        Accessible.name: qsTr("关闭")
                        onClicked: page.controller.closeVolumePanel()
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    Label { text: qsTr("音量:"); font.pixelSize: 15 }
                    Label {
                        text: page.controller.volumeText
                        font.pixelSize: 15
                        color: "#2b78ad"
                    }
                }
                Slider {
                    id: slider
                    objectName: "volumeSlider"
                    Layout.fillWidth: true
                    focus: true
                    from: 0
                    to: 10
                    stepSize: 1
                    value: page.controller.volume
                    Accessible.name: qsTr("音量")
                    // Let go of the slider (or a key step): the value goes out.
                    onPressedChanged: if (!pressed) page.controller.sliderValueChange(value)
                    Keys.onReleased: (event) => {
                        if ([Qt.Key_Left, Qt.Key_Right, Qt.Key_Up, Qt.Key_Down, Qt.Key_Home, Qt.Key_End,
                             Qt.Key_PageUp, Qt.Key_PageDown].indexOf(event.key) >= 0 && !event.isAutoRepeat)
                            page.controller.sliderValueChange(value)
                    }
                }
            }
        }
    }
}
