import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The clock overlay: the server to set, the kind of clock with its picture,
// the window position and size, and whether it runs. "完成" is the
// controller's right bar button.
Item {
    id: page
    required property Client.ClockSetViewController controller

    // One of the two clock segments; the one chosen is highlighted.
    component Segment: Button {
        required property int index
        Layout.fillWidth: true
    }

    ScrollPage {
        anchors.fill: parent

        Caption { text: qsTr("选择设备") }
        PickerButton {
            Layout.fillWidth: true
            field: page.controller.shebeiField
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 10
            spacing: 0
            Segment {
                index: 0
                text: qsTr("虚拟时钟")
                highlighted: page.controller.segmentIndex === index
                onClicked: page.controller.segmentAction(index)
            }
            Segment {
                index: 1
                text: qsTr("数字时钟")
                highlighted: page.controller.segmentIndex === index
                onClicked: page.controller.segmentAction(index)
            }
        }

        Image {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 200
            Layout.preferredHeight: 160
            Layout.topMargin: 6
            fillMode: Image.PreserveAspectFit
            smooth: true
            source: Client.Shell.imageUrl(page.controller.showImage)
        }

        Caption { text: qsTr("窗口位置") }
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
        }

        Caption { text: qsTr("窗口大小") }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            NumberField {
                label: qsTr("宽")
                text: page.controller.widthText
                onTextEdited: page.controller.widthText = text
            }
            NumberField {
                label: qsTr("高")
                text: page.controller.heightText
                onTextEdited: page.controller.heightText = text
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Caption {
                Layout.fillWidth: true
                text: qsTr("是否执行")
            }
            Switch {
                checked: page.controller.executeOn
                Accessible.name: qsTr("是否执行")
                onToggled: page.controller.executeSwitchChange(checked)
            }
        }
    }
}
