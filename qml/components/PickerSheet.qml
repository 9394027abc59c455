import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The sheet a picker field opens from the bottom, modal over the window:
// "完成" (or Enter, Esc, a tap beside it) closes it, and the field applies
// what its wheels show.
Popup {
    id: sheet
    default property alias wheels: row.data
    // Takes the keys each time the sheet opens.
    property Item firstWheel: null
    onOpened: if (firstWheel) firstWheel.forceActiveFocus(Qt.PopupFocusReason)
    parent: Overlay.overlay
    modal: true
    focus: true
    width: Math.min(parent ? parent.width : 390, 480)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? parent.height - height : 0
    padding: 8
    background: Rectangle {
        color: "#f4f4f4"
        radius: 8
    }
    ColumnLayout {
        anchors.fill: parent
        spacing: 4
        Keys.onReturnPressed: sheet.close()
        Keys.onEnterPressed: sheet.close()
        Button {
            Layout.alignment: Qt.AlignRight
            text: qsTr("完成")
            onClicked: sheet.close()
        }
        RowLayout {
            id: row
            Layout.fillWidth: true
            spacing: 0
        }
    }
}
