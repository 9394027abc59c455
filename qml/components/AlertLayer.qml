import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva.Client

// The pending alert (a box in the middle) or choice sheet (from the
// bottom), modal over the whole window, title bar included. A button
// answers it; Esc answers its last button ("取消").
Item {
    id: alertLayer
    property AlertCenter alerts: null
    readonly property bool pending: alerts !== null && alerts.pending
    readonly property bool sheet: pending && alerts.style === AlertCenter.ActionSheet

    function answer(index: int) {
        if (alerts)
            alerts.answer(index)
    }
    function cancel() {
        if (alerts)
            alerts.cancel()
    }

    Popup {
        id: box
        objectName: "alertBox"
        parent: Overlay.overlay
        visible: alertLayer.pending && !alertLayer.sheet
        modal: true
        focus: true
        closePolicy: Popup.NoAutoClose
        anchors.centerIn: parent
        width: Math.min(parent ? parent.width - 40 : 320, 420)
        padding: 16
        background: Rectangle {
            radius: 12
            color: "#f4f4f4"
        }

        FocusScope {
            focus: true
            anchors.fill: parent
            implicitHeight: alertColumn.implicitHeight
            Keys.onEscapePressed: alertLayer.cancel()
            ColumnLayout {
                id: alertColumn
                width: parent.width
                spacing: 12
                Label {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: alertLayer.pending ? alertLayer.alerts.title : ""
                    font.bold: true
                    font.pixelSize: 17
                    visible: text !== ""
                }
                Label {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: alertLayer.pending ? alertLayer.alerts.message : ""
                    font.pixelSize: 15
                    visible: text !== ""
                }
                ChoiceButtons {
                    Layout.alignment: Qt.AlignHCenter
                    Layout.preferredWidth: contentWidth
                    orientation: ListView.Horizontal
                    buttonHeight: 40
                    fontSize: 15
                    model: box.visible ? alertLayer.alerts.buttons : []
                    onChosen: (index) => alertLayer.answer(index)
                }
            }
        }
    }

    Popup {
        id: choices
        objectName: "choiceSheet"
        parent: Overlay.overlay
        visible: alertLayer.sheet
        modal: true
        focus: true
        closePolicy: Popup.NoAutoClose
        width: Math.min(parent ? parent.width - 20 : 370, 480)
        x: parent ? (parent.width - width) / 2 : 0
        y: parent ? parent.height - height - 10 : 0
        padding: 0
        background: null

        FocusScope {
            focus: true
            anchors.fill: parent
            implicitHeight: sheetColumn.implicitHeight
            Keys.onEscapePressed: alertLayer.cancel()
            ColumnLayout {
                id: sheetColumn
                width: parent.width
                spacing: 6
                Label {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: alertLayer.sheet ? alertLayer.alerts.title : ""
                    color: "white"
                    font.pixelSize: 15
                    visible: text !== ""
                }
                ChoiceButtons {
                    Layout.fillWidth: true
                    spacing: 6
                    model: choices.visible ? alertLayer.alerts.buttons : []
                    onChosen: (index) => alertLayer.answer(index)
                }
            }
        }
    }
}
