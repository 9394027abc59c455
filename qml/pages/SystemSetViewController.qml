import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// System settings: the server, brightness and volume, the colour balance,
// the switches, the restart time, background colour, video source and
// rotation. Volume, colour, the screen switch, source and rotation go out as
// they change; the rest with "保存".
Item {
    id: page
    required property Client.SystemSetViewController controller

    component Value: Label {
        color: "white"
        font.pixelSize: 15
        horizontalAlignment: Text.AlignRight
        Layout.preferredWidth: 40
    }
    // A slider that reports where the user leaves it (drag or keys).
    component Level: Slider {
        id: level
        signal changedByUser(real value)
        Layout.fillWidth: true
        from: 0
        stepSize: 1
        snapMode: Slider.SnapAlways
        onMoved: changedByUser(value)
    }
    // The restart and skip-login flags only show what the server has: those
    // switches are read-only, and look it.
    component SwitchRow: RowLayout {
        id: switchRow
        property alias text: caption.text
        property alias checked: toggle.checked
        property bool interactive: true
        signal toggled(bool on)
        Layout.fillWidth: true
        Caption {
            id: caption
            Layout.fillWidth: true
            opacity: switchRow.interactive ? 1 : 0.6
        }
        Switch {
            id: toggle
            enabled: switchRow.interactive
            opacity: enabled ? 1 : 0.45
            Accessible.name: caption.text
            onToggled: switchRow.toggled(checked)
        }
    }

    ScrollPage {
        anchors.fill: parent
        spacing: 4

        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.shebeiField
        }

        Caption { text: qsTr("亮度") }
        RowLayout {
            Layout.fillWidth: true
            Level {
                Accessible.name: qsTr("亮度")
                to: page.controller.liangduMaximum
                value: page.controller.liangduSliderValue
                onChangedByUser: (value) => page.controller.sliderValueChangeAction(value)
            }
            Value { text: page.controller.liangdu }
            Button {
                text: qsTr("默认")
                onClicked: page.controller.ButtonActionTouch(Client.SystemSetViewController.LiangduDefaultTag)
            }
        }

        Caption { text: qsTr("音量") }
        RowLayout {
            Layout.fillWidth: true
            Level {
                Accessible.name: qsTr("音量")
                to: page.controller.yinliangMaximum
                value: page.controller.yinliangSliderValue
                onChangedByUser: (value) => page.controller.yinyangValueChange(value)
            }
            Value { text: page.controller.yinliang }
            Button {
                text: qsTr("默认")
                onClicked: page.controller.ButtonActionTouch(Client.SystemSetViewController.YinliangDefaultTag)
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
                Accessible.name: qsTr("红色")
                to: page.controller.colourMaximum
                value: page.controller.redSliderValue
                onChangedByUser: (value) => page.controller.redValueChange(value)
            }
            Value { text: page.controller.redValue }
            Caption { text: qsTr("绿色") }
            Level {
                Accessible.name: qsTr("绿色")
                to: page.controller.colourMaximum
                value: page.controller.greenSliderValue
                onChangedByUser: (value) => page.controller.greenValueChange(value)
            }
            Value { text: page.controller.greenValue }
            Caption { text: qsTr("蓝色") }
            Level {
                Accessible.name: qsTr("蓝色")
                to: page.controller.colourMaximum
                value: page.controller.blueSliderValue
                onChangedByUser: (value) => page.controller.blueValueChange(value)
            }
            Value { text: page.controller.blueValue }
        }

        SwitchRow {
            text: qsTr("定时重启")
            interactive: false
            checked: page.controller.kaijiSwitch
        }
        SwitchRow {
            text: qsTr("免登录")
            interactive: false
            checked: page.controller.loginSwitch
        }
        SwitchRow {
            text: qsTr("单独开关屏")
            checked: page.controller.singleSwitch
            onToggled: (on) => page.controller.sewenSwitchChange(on)
        }

        Caption { text: qsTr("重启时间") }
        RowLayout {
            Layout.fillWidth: true
            DateTimeButton {
                Layout.fillWidth: true
                field: page.controller.setTimeField
            }
            Button {
                text: qsTr("清除")
                onClicked: page.controller.ButtonActionTouch(Client.SystemSetViewController.ClearTimeTag)
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
                field: page.controller.beijingYanseField
            }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller.shipinyuanField
            }
        }

        Caption { text: qsTr("屏幕旋转角度") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.xuanzhuanduField
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 12
            spacing: 16
            Button {
                Layout.fillWidth: true
                text: qsTr("保存")
                highlighted: true
                onClicked: page.controller.ButtonActionTouch(Client.SystemSetViewController.SaveTag)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("取消")
                onClicked: page.controller.ButtonActionTouch(Client.SystemSetViewController.CancelTag)
            }
        }
    }
}
