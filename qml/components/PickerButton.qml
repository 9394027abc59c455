import QtQuick
import QtQuick.Controls

// A one-column picker field of a controller: shows its text; a tap opens the
// wheel, and "完成" applies the row under it (the field decides what that does).
Button {
    id: button
    property QtObject field
    property string placeholder: ""
    text: field && field.text !== "" ? field.text : placeholder
    onClicked: {
        if (!field)
            return
        field.beginEditing()
        wheel.currentIndex = Math.max(0, field.wheelRow)
        sheet.open()
    }

    Popup {
        id: sheet
        parent: Overlay.overlay
        modal: true
        width: parent ? parent.width : 390
        x: 0
        y: parent ? parent.height - height : 0
        height: 260
        onClosed: if (button.field && button.field.editing) button.field.endEditing()
        Column {
            anchors.fill: parent
            Button {
                anchors.right: parent.right
                text: qsTr("完成")
                onClicked: sheet.close()
            }
            Tumbler {
                id: wheel
                width: parent.width
                height: parent.height - 50
                model: button.field ? button.field.items : []
                onCurrentIndexChanged: if (button.field && sheet.opened) button.field.selectRow(currentIndex)
            }
        }
    }
}
