import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// System settings: the server, brightness and volume, the colour balance,
// the switches, the restart time, background colour, video source and
// rotation. Volume, colour, the screen switch, source and rotation go out as
// they change; the rest with "保存".
Item {
    id: page
    property QtObject controller

    component Caption: Label {
        color: "white"
        font.pixelSize: 15
        Layout.topMargin: 4
    }
    component Value: Label {
        color: "white"
        font.pixelSize: 15
        horizontalAlignment: Text.AlignRight
        Layout.preferredWidth: 40
    }
    component Level: Slider {
        Layout.fillWidth: true
        from: 0
        stepSize: 1
        snapMode: Slider.SnapAlways
    }
    component SwitchRow: RowLayout {
        property alias text: caption.text
        property alias checked: toggle.checked
        property alias interactive: toggle.enabled
        signal toggled(bool on)
        Layout.fillWidth: true
        Caption { id: caption; Layout.fillWidth: true }
        Switch { id: toggle; onToggled: parent.toggled(checked) }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: column.implicitHeight + 32
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        ColumnLayout {
            id: column
            x: 20
            y: 12
            width: page.width - 40
            spacing: 4

            Caption { text: qsTr("选择设备") }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller ? page.controller.shebeiField : null
            }

            Caption { text: qsTr("亮度") }
            RowLayout {
                Layout.fillWidth: true
                Level {
                    to: page.controller ? page.controller.liangduMaximum : 255
                    value: page.controller ? page.controller.liangduSliderValue : 200
                    onMoved: if (page.controller) page.controller.sliderValueChangeAction(value)
                }
                Value { text: page.controller ? page.controller.liangdu : "" }
                Button {
                    text: qsTr("默认")
                    onClicked: if (page.controller) page.controller.ButtonActionTouch(0)
                }
            }

            Caption { text: qsTr("音量") }
            RowLayout {
                Layout.fillWidth: true
                Level {
                    to: page.controller ? page.controller.yinliangMaximum : 15
                    value: page.controller ? page.controller.yinliangSliderValue : 7
                    onMoved: if (page.controller) page.controller.yinyangValueChange(value)
                }
                Value { text: page.controller ? page.controller.yinliang : "" }
                Button {
                    text: qsTr("默认")
                    onClicked: if (page.controller) page.controller.ButtonActionTouch(1)
                }
            }

            Caption { text: qsTr("色温设定") }
            GridLayout {
                Layout.fillWidth: true
                columns: 3
                columnSpacing: 8
                rowSpacing: 0
                Caption { text: qsTr("红色") }
                Level {
                    to: page.controller ? page.controller.colourMaximum : 255
                    value: page.controller ? page.controller.redSliderValue : 0
                    onMoved: if (page.controller) page.controller.redValueChange(value)
                }
                Value { text: page.controller ? page.controller.redValue : "" }
                Caption { text: qsTr("绿色") }
                Level {
                    to: page.controller ? page.controller.colourMaximum : 255
                    value: page.controller ? page.controller.greenSliderValue : 0
                    onMoved: if (page.controller) page.controller.greenValueChange(value)
                }
                Value { text: page.controller ? page.controller.greenValue : "" }
                Caption { text: qsTr("蓝色") }
                Level {
                    to: page.controller ? page.controller.colourMaximum : 255
                    value: page.controller ? page.controller.blueSliderValue : 0
                    onMoved: if (page.controller) page.controller.blueValueChange(value)
                }
                Value { text: page.controller ? page.controller.blueValue : "" }
            }

            // The restart and skip-login flags only show what the server has.
            SwitchRow {
                text: qsTr("定时重启")
                interactive: false
                checked: page.controller ? page.controller.kaijiSwitch : false
            }
            SwitchRow {
                text: qsTr("免登录")
                interactive: false
                checked: page.controller ? page.controller.loginSwitch : false
            }
            SwitchRow {
                text: qsTr("单独开关屏")
                checked: page.controller ? page.controller.singleSwitch : false
                onToggled: function(on) { if (page.controller) page.controller.sewenSwitchChange(on) }
            }

            Caption { text: qsTr("重启时间") }
            RowLayout {
                Layout.fillWidth: true
                DateTimeButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.setTimeField : null
                }
                Button {
                    text: qsTr("清除")
                    onClicked: if (page.controller) page.controller.ButtonActionTouch(2)
                }
            }

            GridLayout {
                Layout.fillWidth: true
                columns: 2
                columnSpacing: 12
                rowSpacing: 4
                Caption { text: qsTr("背景颜色设定") }
                Caption { text: qsTr("视频源切换") }
                PickerButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.beijingYanseField : null
                }
                PickerButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.shipinyuanField : null
                }
            }

            Caption { text: qsTr("屏幕旋转角度") }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller ? page.controller.xuanzhuanduField : null
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.topMargin: 12
                spacing: 16
                Button {
                    Layout.fillWidth: true
                    text: qsTr("保存")
                    highlighted: true
                    onClicked: if (page.controller) page.controller.ButtonActionTouch(3)
                }
                Button {
                    Layout.fillWidth: true
                    text: qsTr("取消")
                    onClicked: if (page.controller) page.controller.ButtonActionTouch(4)
                }
            }
        }
    }
}
