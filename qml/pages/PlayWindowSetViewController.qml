import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The settings of the current window: full screen and on top, position,
// size, switch effect and interval. "完成" is the controller's right bar
// button.
Item {
    id: page
    property QtObject controller

    component Caption: Label {
        color: "white"
        font.pixelSize: 15
        Layout.topMargin: 6
    }
    // Positions may be shown negative as the server reports them; the
    // controller says what it cannot send.
    component NumberField: TextField {
        Layout.fillWidth: true
        inputMethodHints: Qt.ImhFormattedNumbersOnly
        validator: RegularExpressionValidator { regularExpression: /-?[0-9]{0,5}/ }
    }
    component Box: CheckBox {
        property int code
        property bool ticked
        checked: ticked
        palette.windowText: "white"
        font.pixelSize: 16
        onClicked: {
            const now = checked
            checked = Qt.binding(function() { return ticked })
            if (page.controller)
                page.controller.didSelectedCheckBox(code, now)
        }
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

            RowLayout {
                Layout.fillWidth: true
                spacing: 24
                Box {
                    code: 1
                    ticked: page.controller ? page.controller.fullScreenChecked : false
                    text: qsTr("   全屏")
                }
                Box {
                    code: 2
                    ticked: page.controller ? page.controller.upTopChecked : false
                    text: qsTr("   置顶")
                }
            }

            Caption { text: qsTr("窗口位置") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                NumberField {
                    placeholderText: "X"
                    text: page.controller ? page.controller.weizhiX : ""
                    onTextEdited: if (page.controller) page.controller.weizhiX = text
                }
                NumberField {
                    placeholderText: "Y"
                    text: page.controller ? page.controller.weizhiY : ""
                    onTextEdited: if (page.controller) page.controller.weizhiY = text
                }
            }

            Caption { text: qsTr("窗口大小") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                NumberField {
                    placeholderText: qsTr("宽")
                    text: page.controller ? page.controller.daxiaoX : ""
                    onTextEdited: if (page.controller) page.controller.daxiaoX = text
                }
                NumberField {
                    placeholderText: qsTr("高")
                    text: page.controller ? page.controller.daxiaoY : ""
                    onTextEdited: if (page.controller) page.controller.daxiaoY = text
                }
            }

            Caption { text: qsTr("切换方式") }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller ? page.controller.animationField : null
            }

            Caption { text: qsTr("切换间隔") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                NumberField {
                    text: page.controller ? page.controller.qiehuanjiange : ""
                    onTextEdited: if (page.controller) page.controller.qiehuanjiange = text
                }
                Label {
                    text: qsTr("秒")
                    color: "white"
                    font.pixelSize: 15
                }
            }
        }
    }
}
