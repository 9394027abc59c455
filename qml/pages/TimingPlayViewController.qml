import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "../components"

// The settings of a scheme: name, clock overlay (kind, position, size), the
// date and time range to add, and the schedule added so far. "下一步" is
// the controller's right bar button.
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
    component Segment: Button {
        property int index
        Layout.fillWidth: true
        highlighted: page.controller ? page.controller.segmentIndex === index : index === 0
        onClicked: if (page.controller) page.controller.senmentControlAction(index)
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
            spacing: 6

            Caption { text: qsTr("方案名称") }
            TextField {
                Layout.fillWidth: true
                text: page.controller ? page.controller.projectName : ""
                onTextEdited: if (page.controller) page.controller.projectName = text
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                TickBox {
                    text: qsTr("时钟")
                    checked: page.controller ? page.controller.selectClock : false
                    onClicked: if (page.controller) page.controller.didSelectedCheckBox(!checked)
                }
                Segment { index: 0; text: qsTr("虚拟时钟") }
                Segment { index: 1; text: qsTr("数字时钟") }
            }

            GridLayout {
                Layout.fillWidth: true
                columns: 4
                columnSpacing: 8
                rowSpacing: 6
                Caption { text: qsTr("时钟位置:"); Layout.columnSpan: 4 }
                Caption { text: qsTr("X轴:") }
                NumberField {
                    text: page.controller ? page.controller.clockX : ""
                    onTextEdited: if (page.controller) page.controller.clockX = text
                }
                Caption { text: qsTr("Y轴:") }
                NumberField {
                    text: page.controller ? page.controller.clockY : ""
                    onTextEdited: if (page.controller) page.controller.clockY = text
                }
                Caption { text: qsTr("时钟大小:"); Layout.columnSpan: 4 }
                Caption { text: qsTr("宽度") }
                NumberField {
                    text: page.controller ? page.controller.clockWidth : ""
                    onTextEdited: if (page.controller) page.controller.clockWidth = text
                }
                Caption { text: qsTr("高度") }
                NumberField {
                    text: page.controller ? page.controller.clockHeight : ""
                    onTextEdited: if (page.controller) page.controller.clockHeight = text
                }
            }

            Caption { text: qsTr("播放日期") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                DateTimeButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.startDateField : null
                }
                Label { text: "~"; color: "white"; font.pixelSize: 16 }
                DateTimeButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.endDateField : null
                }
            }

            Caption { text: qsTr("播放时间") }
            RowLayout {
                Layout.fillWidth: true
                spacing: 8
                DateTimeButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.startTimeField : null
                }
                Label { text: "~"; color: "white"; font.pixelSize: 16 }
                DateTimeButton {
                    Layout.fillWidth: true
                    field: page.controller ? page.controller.endTimeField : null
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.topMargin: 6
                spacing: 10
                Button {
                    Layout.fillWidth: true
                    text: qsTr("添加日期")
                    onClicked: if (page.controller) page.controller.dateButtonAction(0)
                }
                Button {
                    Layout.fillWidth: true
                    text: qsTr("清空日期")
                    onClicked: if (page.controller) page.controller.dateButtonAction(1)
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.topMargin: 6
                Layout.preferredHeight: Math.max(80, schedule.implicitHeight + 20)
                radius: 6
                color: "white"
                Label {
                    id: schedule
                    anchors { fill: parent; margins: 10 }
                    text: page.controller ? page.controller.dateAndTimeLabel : ""
                    wrapMode: Text.WrapAnywhere
                    font.pixelSize: 14
                    color: "#1d3d57"
                }
            }
        }
    }
}
