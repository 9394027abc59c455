import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The scrolling text of a scheme: the text, speed, size, colour, direction,
// position and whether it takes effect. "下一步" is the controller's right
// bar button.
Item {
    id: page
    required property Client.TimePlayWordsViewController controller

    ScrollPage {
        anchors.fill: parent

        Caption { text: qsTr("滚动文字") }
        TextArea {
            id: words
            Layout.fillWidth: true
            Layout.preferredHeight: 120
            wrapMode: TextEdit.Wrap
            font.pixelSize: 16
            placeholderText: qsTr("请输入文字")
            Accessible.name: qsTr("滚动文字")
            text: page.controller.wordString
            onTextChanged: if (page.controller.wordString !== text) page.controller.wordString = text
            Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
            Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
            background: Rectangle {
                color: "white"
                radius: 6
                border.color: words.activeFocus ? "#1d3d57" : "#cfe7f7"
            }
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
                text: page.controller.wordSizeText
                onTextEdited: page.controller.wordSizeText = text
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
                text: page.controller.xText
                onTextEdited: page.controller.xText = text
            }
            NumberField {
                label: "Y"
                text: page.controller.yText
                onTextEdited: page.controller.yText = text
            }
            NumberField {
                label: "Z"
                text: page.controller.zText
                onTextEdited: page.controller.zText = text
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
                onToggled: page.controller.switchChangeValueAction(checked)
            }
        }
    }
}
