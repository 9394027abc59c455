import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The scrolling text of a scheme: the text, speed, size, colour, direction,
// position and whether it takes effect. "下一步" is the controller's right
// bar button.
Item {
    id: page
    property QtObject controller

    component Caption: Label {
        color: "white"
        font.pixelSize: 15
        Layout.topMargin: 4
    }
    component NumberField: TextField {
        Layout.fillWidth: true
        inputMethodHints: Qt.ImhDigitsOnly
        validator: RegularExpressionValidator { regularExpression: /[0-9]{0,5}/ }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: column.implicitHeight + 32
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        ColumnLayout {
            id: column
            x: 20
            y: 16
            width: page.width - 40
            spacing: 6

            TextArea {
                id: words
                Layout.fillWidth: true
                Layout.preferredHeight: 120
                wrapMode: TextEdit.Wrap
                font.pixelSize: 16
                placeholderText: qsTr("请输入文字")
                text: page.controller ? page.controller.wordString : ""
                onTextChanged: if (page.controller && page.controller.wordString !== text) page.controller.wordString = text
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
                    text: page.controller ? page.controller.suduText : ""
                    onTextEdited: if (page.controller) page.controller.suduText = text
                }
                NumberField {
                    text: page.controller ? page.controller.wordSizeText : ""
                    onTextEdited: if (page.controller) page.controller.wordSizeText = text
                }
                Caption { text: qsTr("文字颜色") }
                Caption { text: qsTr("滚动方向") }
                PickerButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.colorField : null
                }
                PickerButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.fangxiangField : null
                }
            }

            Caption { text: qsTr("位置设定") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                NumberField {
                    placeholderText: "X"
                    text: page.controller ? page.controller.xText : ""
                    onTextEdited: if (page.controller) page.controller.xText = text
                }
                NumberField {
                    placeholderText: "Y"
                    text: page.controller ? page.controller.yText : ""
                    onTextEdited: if (page.controller) page.controller.yText = text
                }
                NumberField {
                    placeholderText: "Z"
                    text: page.controller ? page.controller.zText : ""
                    onTextEdited: if (page.controller) page.controller.zText = text
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Caption {
                    Layout.fillWidth: true
                    text: qsTr("状态设置是否生效")
                }
                Switch {
                    checked: page.controller ? page.controller.effectOn : true
                    onToggled: if (page.controller) page.controller.switchChangeValueAction(checked)
                }
            }
        }
    }
}
