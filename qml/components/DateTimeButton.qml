import QtQuick
import QtQuick.Controls

// A date or time field of a controller (mode 0 date, 1 time): a tap opens
// three wheels; "完成" applies them.
Button {
    id: button
    property QtObject field
    property string placeholder: ""
    readonly property bool isTime: field ? field.mode === 1 : false
    text: field && field.text !== "" ? field.text : placeholder

    function pad(n) { return n < 10 ? "0" + n : "" + n }
    function range(from, count) { var a = []; for (var i = 0; i < count; ++i) a.push(pad(from + i)); return a }

    onClicked: {
        if (!field)
            return
        field.beginEditing()
        if (isTime) {
            var t = field.wheelTime
            a.currentIndex = t ? Number(Qt.formatTime(t, "H")) : 0
            b.currentIndex = t ? Number(Qt.formatTime(t, "m")) : 0
            c.currentIndex = t ? Number(Qt.formatTime(t, "s")) : 0
        } else {
            var d = field.wheelDate
            a.currentIndex = d ? Number(Qt.formatDate(d, "yyyy")) - 2000 : 0
            b.currentIndex = d ? Number(Qt.formatDate(d, "M")) - 1 : 0
            c.currentIndex = d ? Number(Qt.formatDate(d, "d")) - 1 : 0
        }
        sheet.open()
    }

    Popup {
        id: sheet
        parent: Overlay.overlay
        modal: true
        width: parent ? parent.width : 390
        y: parent ? parent.height - height : 0
        height: 260
        onClosed: {
            if (!button.field || !button.field.editing)
                return
            if (button.isTime)
                button.field.selectTime(new Date(2000, 0, 1, a.currentIndex, b.currentIndex, c.currentIndex))
            else
                button.field.selectDate(new Date(2000 + a.currentIndex, b.currentIndex, c.currentIndex + 1))
            button.field.endEditing()
        }
        Column {
            anchors.fill: parent
            Button {
                anchors.right: parent.right
                text: qsTr("完成")
                onClicked: sheet.close()
            }
            Row {
                width: parent.width
                height: parent.height - 50
                Tumbler { id: a; width: parent.width / 3; height: parent.height; model: button.isTime ? button.range(0, 24) : button.range(2000, 100) }
                Tumbler { id: b; width: parent.width / 3; height: parent.height; model: button.isTime ? button.range(0, 60) : button.range(1, 12) }
                Tumbler { id: c; width: parent.width / 3; height: parent.height; model: button.isTime ? button.range(0, 60) : button.range(1, 31) }
            }
        }
    }
}
