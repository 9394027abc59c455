import QtQuick
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The settings of the current window: full screen and on top, position,
// size, switch effect and interval. "完成" is the controller's right bar
// button.
Item {
    id: page
    required property Client.PlayWindowSetViewController controller

    ScrollPage {
        anchors.fill: parent

        RowLayout {
            Layout.fillWidth: true
            spacing: 24
            TickBox {
                text: qsTr("   全屏")
                checked: page.controller.fullScreenChecked
                onClicked: page.controller.didSelectedCheckBox(Client.PlayWindowSetViewController.FullScreenBox, !checked)
            }
            TickBox {
                text: qsTr("   置顶")
                checked: page.controller.upTopChecked
                onClicked: page.controller.didSelectedCheckBox(Client.PlayWindowSetViewController.UpTopBox, !checked)
            }
        }

        // Positions may be shown negative as the server reports them; the
        // controller says what it cannot send.
        Caption { text: qsTr("窗口位置"); Layout.topMargin: 6 }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            NumberField {
                label: "X"
                signed: true
                text: page.controller.weizhiX
                onTextEdited: page.controller.weizhiX = text
            }
            NumberField {
                label: "Y"
                signed: true
                text: page.controller.weizhiY
                onTextEdited: page.controller.weizhiY = text
            }
        }

        Caption { text: qsTr("窗口大小"); Layout.topMargin: 6 }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            NumberField {
                label: qsTr("宽")
                signed: true
                text: page.controller.daxiaoX
                onTextEdited: page.controller.daxiaoX = text
            }
            NumberField {
                label: qsTr("高")
                signed: true
                text: page.controller.daxiaoY
                onTextEdited: page.controller.daxiaoY = text
            }
        }

        Caption { text: qsTr("切换方式"); Layout.topMargin: 6 }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.animationField
        }

        Caption { text: qsTr("切换间隔"); Layout.topMargin: 6 }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            NumberField {
                signed: true
                Accessible.name: qsTr("切换间隔")
                text: page.controller.qiehuanjiange
                onTextEdited: page.controller.qiehuanjiange = text
            }
            Caption { text: qsTr("秒") }
        }
    }
}
