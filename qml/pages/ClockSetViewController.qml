import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The clock overlay: the server to set, the kind of clock with its picture,
// the window position and size, and whether it runs. "完成" is the
// controller's right bar button.
Item {
    id: page
    property QtObject controller
    readonly property int segment: controller ? controller.segmentIndex : 0

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
    component Segment: Button {
        property int index
        Layout.fillWidth: true
        checkable: false
        highlighted: page.segment === index
        onClicked: if (page.controller) page.controller.segmentAction(index)
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

            Caption { text: qsTr("选择设备") }
            PickerButton {
                Layout.fillWidth: true
                field: page.controller ? page.controller.shebeiField : null
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.topMargin: 10
                spacing: 0
                Segment { index: 0; text: qsTr("虚拟时钟") }
                Segment { index: 1; text: qsTr("数字时钟") }
            }

            Image {
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: 200
                Layout.preferredHeight: 160
                Layout.topMargin: 6
                fillMode: Image.PreserveAspectFit
                smooth: true
                source: page.controller ? "qrc:/qeva/images/" + page.controller.showImage + ".png" : ""
            }

            Caption { text: qsTr("窗口位置") }
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
            }

            Caption { text: qsTr("窗口大小") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                NumberField {
                    placeholderText: "W"
                    text: page.controller ? page.controller.widthText : ""
                    onTextEdited: if (page.controller) page.controller.widthText = text
                }
                NumberField {
                    placeholderText: "H"
                    text: page.controller ? page.controller.heightText : ""
                    onTextEdited: if (page.controller) page.controller.heightText = text
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Caption {
                    Layout.fillWidth: true
                    text: qsTr("是否执行")
                }
                Switch {
                    checked: page.controller ? page.controller.executeOn : true
                    onToggled: if (page.controller) page.controller.executeSwitchChange(checked)
                }
            }
        }
    }
}
