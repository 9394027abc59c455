import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// Inserted text: the server to set, speed, size, colour, direction, the
// position, whether it takes effect, and the text itself. "完成" is the
// controller's right bar button.
Item {
    id: page
    required property Client.SpotWordsViewController controller

    ScrollPage {
        anchors.fill: parent

        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.shebeiField
        }

        GridLayout {
            Layout.fillWidth: true
            columns: 2
            columnSpacing: 12
            rowSpacing: 6
            Caption { text: qsTr("播放速度") }
            Caption { text: qsTr("字体大小") }
            NumberField {
                Accessible.name: qsTr("播放速度")
                text: page.controller.suduText
                onTextEdited: page.controller.suduText = text
            }
            NumberField {
                Accessible.name: qsTr("字体大小")
                text: page.controller.daxiaoText
                onTextEdited: page.controller.daxiaoText = text
            }
            Caption { text: qsTr("文字颜色") }
            Caption { text: qsTr("滚动方向") }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller.colorField
            }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller.fangxiangField
            }
        }

        Caption { text: qsTr("位置设定") }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            NumberField {
                label: "X"
                text: page.controller.weizhiXText
                onTextEdited: page.controller.weizhiXText = text
            }
            NumberField {
                label: "Y"
                text: page.controller.weizhiYText
                onTextEdited: page.controller.weizhiYText = text
            }
            NumberField {
                label: "Z"
                text: page.controller.weizhiZText
                onTextEdited: page.controller.weizhiZText = text
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Caption {
                Layout.fillWidth: true
                text: qsTr("状态设置是否生效")
            }
            Switch {
                checked: page.controller.effectOn
                Accessible.name: qsTr("状态设置是否生效")
                onToggled: page.controller.effectSwitchAction(checked)
            }
        }

        Caption { text: qsTr("插播内容") }
        TextArea {
            id: content
            objectName: "contentText"
            Layout.fillWidth: true
            Layout.preferredHeight: 150
            wrapMode: TextEdit.Wrap
            font.pixelSize: 16
            Accessible.name: qsTr("插播内容")
            text: page.controller.contentText
            onTextChanged: if (page.controller.contentText !== text) page.controller.contentText = text
            // Tab moves on to the next control rather than into the text.
            Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
            Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
            background: Rectangle {
                color: "white"
                radius: 6
                border.color: content.activeFocus ? "#1d3d57" : "#cfe7f7"
            }
        }
    }
}
