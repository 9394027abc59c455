import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The settings of a scheme: name, clock overlay (kind, position, size), the
// date and time range to add, and the schedule added so far. "下一步" is
// the controller's right bar button.
Item {
    id: page
    required property Client.TimingPlayViewController controller

    // One of the two clock segments; the one chosen is highlighted.
    component Segment: Button {
        required property int index
        Layout.fillWidth: true
    }

    ScrollPage {
        anchors.fill: parent

        Caption { text: qsTr("方案名称") }
        TextField {
            Layout.fillWidth: true
            Accessible.name: qsTr("方案名称")
            text: page.controller.projectName
            onTextEdited: page.controller.projectName = text
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            TickBox {
                text: qsTr("时钟")
                checked: page.controller.selectClock
                onClicked: page.controller.didSelectedCheckBox(!checked)
            }
            Segment {
                index: Client.TimingPlayViewController.VirtualClockSegment
                text: qsTr("虚拟时钟")
                highlighted: page.controller.segmentIndex === index
                onClicked: page.controller.senmentControlAction(index)
            }
            Segment {
                index: Client.TimingPlayViewController.DigitalClockSegment
                text: qsTr("数字时钟")
                highlighted: page.controller.segmentIndex === index
                onClicked: page.controller.senmentControlAction(index)
            }
        }

        GridLayout {
            Layout.fillWidth: true
            columns: 4
            columnSpacing: 8
            rowSpacing: 6
            Caption { text: qsTr("时钟位置:"); Layout.columnSpan: 4 }
            Caption { text: qsTr("X轴:") }
            NumberField {
                Accessible.name: qsTr("X轴:")
                text: page.controller.clockX
                onTextEdited: page.controller.clockX = text
            }
            Caption { text: qsTr("Y轴:") }
            NumberField {
                Accessible.name: qsTr("Y轴:")
                text: page.controller.clockY
                onTextEdited: page.controller.clockY = text
            }
            Caption { text: qsTr("时钟大小:"); Layout.columnSpan: 4 }
            Caption { text: qsTr("宽度") }
            NumberField {
                Accessible.name: qsTr("宽度")
                text: page.controller.clockWidth
                onTextEdited: page.controller.clockWidth = text
            }
            Caption { text: qsTr("高度") }
            NumberField {
                Accessible.name: qsTr("高度")
                text: page.controller.clockHeight
                onTextEdited: page.controller.clockHeight = text
            }
        }

        Caption { text: qsTr("播放日期") }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            DateTimeButton {
                objectName: "startDate"
                Layout.fillWidth: true
                field: page.controller.startDateField
            }
            Caption { text: "~"; font.pixelSize: 16 }
            DateTimeButton {
                objectName: "endDate"
                Layout.fillWidth: true
                field: page.controller.endDateField
            }
        }

        Caption { text: qsTr("播放时间") }
        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            DateTimeButton {
                objectName: "startTime"
                Layout.fillWidth: true
                field: page.controller.startTimeField
            }
            Caption { text: "~"; font.pixelSize: 16 }
            DateTimeButton {
                objectName: "endTime"
                Layout.fillWidth: true
                field: page.controller.endTimeField
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            spacing: 10
            Button {
                Layout.fillWidth: true
                text: qsTr("添加日期")
                onClicked: page.controller.dateButtonAction(Client.TimingPlayViewController.AddDateTag)
            }
            Button {
                Layout.fillWidth: true
                text: qsTr("清空日期")
                onClicked: page.controller.dateButtonAction(Client.TimingPlayViewController.ClearDateTag)
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
                text: page.controller.dateAndTimeLabel
                wrapMode: Text.WrapAnywhere
                font.pixelSize: 14
                color: "#1d3d57"
            }
        }
    }
}
