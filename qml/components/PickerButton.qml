import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva.Client

// A one-column picker field of a controller: shows its text; pressing it
// opens the wheel, and closing the sheet applies the row under the wheel
// (the field decides what that does).
Button {
    id: button
    property PickerField field: null
    property string placeholder: ""
    text: field && field.text !== "" ? field.text : placeholder
    // Nothing to choose from (no server known yet): nothing to open.
    enabled: field !== null && field.items.length > 0
    Accessible.role: Accessible.ComboBox

    onClicked: {
        field.beginEditing()
        wheel.currentIndex = Math.max(0, field.wheelRow)
        sheet.open()
    }

    PickerSheet {
        id: sheet
        firstWheel: wheel
        onClosed: if (button.field && button.field.editing) button.field.endEditing()
        Wheel {
            id: wheel
            objectName: "pickerWheel"
            Layout.fillWidth: true
            focus: true
            model: button.field ? button.field.items : []
            onMoved: (index) => { if (button.field && button.field.editing) button.field.selectRow(index) }
        }
    }
}
