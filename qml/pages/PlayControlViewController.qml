import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The play list of the current window: select all and the play mode above,
// one row per entry (number, name, check box; a swipe offers "删除"), the
// playing row highlighted, and two rows of buttons below. The volume panel
// lies over everything while it is open. Refresh is the controller's right
// bar button.
Item {
    id: page
    property QtObject controller

    // Tags as the controller's controlButtonAction knows them.
    readonly property int proceTag: 1
    readonly property int playTag: 2
    readonly property int zantingTag: 3
    readonly property int nextTag: 4
    readonly property int modelTag: 5
    readonly property int deleteTag: 6
    readonly property int stopTag: 7
    readonly property int yinliangTag: 8
    readonly property int fileTag: 9
    readonly property int moreTag1: 10
    readonly property int moreTag2: 11

    component ControlButton: Button {
        property int tag
        Layout.fillWidth: true
        Layout.preferredHeight: 46
        font.pixelSize: 14
        onClicked: if (page.controller) page.controller.controlButtonAction(tag)
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
                CheckBox {
                    text: qsTr("全选")
                    palette.windowText: "white"
                    checked: page.controller ? page.controller.allSelected : false
                    onClicked: {
                        checked = Qt.binding(function() { return page.controller ? page.controller.allSelected : false })
                        if (page.controller)
                            page.controller.clickedBarButtonItemActionWithTag(1)
                    }
                }
                Item { Layout.fillWidth: true }
                Label {
                    text: page.controller ? page.controller.playModelTitle : ""
                    color: "white"
                    font.pixelSize: 15
                }
            }
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.rows : []
            delegate: SwipeDelegate {
                id: row
                required property var modelData
                required property int index
                width: ListView.view.width
                height: 52
                padding: 0
                background: Rectangle {
                    color: row.modelData.playing ? "#cfe7f7" : "white"
                    Rectangle {
                        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                        height: 1
                        color: "#e3edf4"
                    }
                }
                contentItem: Item {
                    Label {
                        id: number
                        anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
                        width: 32
                        text: row.modelData.number
                        font.pixelSize: 15
                        color: "#6b8799"
                    }
                    Label {
                        anchors { left: number.right; right: box.left; rightMargin: 8; verticalCenter: parent.verticalCenter }
                        text: row.modelData.fileName
                        elide: Text.ElideMiddle
                        font.pixelSize: 16
                        color: "#1d3d57"
                    }
                    CheckBox {
                        id: box
                        anchors { right: parent.right; rightMargin: 8; verticalCenter: parent.verticalCenter }
                        checked: row.modelData.checked
                        onClicked: {
                            const now = checked
                            checked = Qt.binding(function() { return row.modelData.checked })
                            if (page.controller)
                                page.controller.clickedCellButtonWith(now ? 3 : 4, row.index)
                        }
                    }
                }
                swipe.right: Button {
                    height: row.height
                    anchors.right: parent.right
                    text: qsTr("删除")
                    palette.button: "#d9534f"
                    palette.buttonText: "white"
                    onClicked: {
                        row.swipe.close()
                        if (page.controller)
                            page.controller.deleteRow(row.index)
                    }
                }
                onClicked: if (page.controller) page.controller.didSelectRow(row.index)
            }

            Connections {
                target: page.controller
                function onRowHighlighted(row, scrollToMiddle) {
                    list.positionViewAtIndex(row, scrollToMiddle ? ListView.Center : ListView.Contain)
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
                visible: page.controller ? !page.controller.secondButtonRow : true
                ControlButton { tag: page.proceTag; text: qsTr("上一个") }
                ControlButton { tag: page.playTag; text: qsTr("播放") }
                ControlButton { tag: page.zantingTag; text: qsTr("暂停") }
                ControlButton { tag: page.nextTag; text: qsTr("下一个") }
                ControlButton { tag: page.stopTag; text: qsTr("停止") }
                ControlButton { tag: page.moreTag1; text: "›"; Layout.preferredWidth: 36; Layout.fillWidth: false }
            }
            RowLayout {
                anchors.fill: parent
                anchors.margins: 8
                spacing: 6
                visible: page.controller ? page.controller.secondButtonRow : false
                ControlButton { tag: page.moreTag2; text: "‹"; Layout.preferredWidth: 36; Layout.fillWidth: false }
                ControlButton { tag: page.modelTag; text: page.controller ? page.controller.playModelTitle : "" }
                ControlButton { tag: page.yinliangTag; text: qsTr("音量") }
                ControlButton { tag: page.fileTag; text: qsTr("添加") }
                ControlButton { tag: page.deleteTag; text: qsTr("清空") }
            }
        }
    }

    // The volume panel over a dimmed page.
    Item {
        anchors.fill: parent
        visible: page.controller ? page.controller.volumePanelVisible : false

        Rectangle {
            anchors.fill: parent
            color: "#80000000"
            MouseArea { anchors.fill: parent }
        }
        Rectangle {
            anchors.centerIn: parent
            width: parent.width * 0.8
            height: 170
            radius: 12
            color: "#f4f4f4"

            ToolButton {
                anchors { right: parent.right; top: parent.top }
                text: "×"
                font.pixelSize: 22
                onClicked: if (page.controller) page.controller.closeVolumePanel()
            }
            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 16
                spacing: 12
                Label {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("音量调节")
                    font.pixelSize: 17
                    font.bold: true
                }
                RowLayout {
                    Layout.fillWidth: true
                    Label { text: qsTr("音量:"); font.pixelSize: 15 }
                    Label {
                        text: page.controller ? page.controller.volumeText : "5"
                        font.pixelSize: 15
                        color: "#2b78ad"
                    }
                }
                Slider {
                    id: slider
                    Layout.fillWidth: true
                    from: 0
                    to: 10
                    value: page.controller ? page.controller.volume : 5
                    onPressedChanged: {
                        if (pressed || !page.controller)
                            return
                        const v = value
                        value = Qt.binding(function() { return page.controller ? page.controller.volume : 5 })
                        page.controller.sliderValueChange(v)
                    }
                }
            }
        }
    }
}
