import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva.Client

// A date or time field of a controller: pressing it opens three wheels
// (year, month, day or hour, minute, second); closing the sheet applies
// them. The day wheel offers only the days of the chosen month and year.
Button {
    id: button
    property DateTimeField field: null
    property string placeholder: ""
    readonly property bool isTime: field !== null && field.mode === DateTimeField.Time
    readonly property int firstYear: 2000
    text: field && field.text !== "" ? field.text : placeholder
    enabled: field !== null

    // Day 0 of the next month is the last of this one.
    function daysIn(year: int, month: int): int { return new Date(year, month, 0).getDate() }

    // The day the user chose; it comes back when a longer month does.
    property int chosenDay: 1
    readonly property int dayCount: isTime ? 60 : daysIn(firstYear + first.currentIndex, second.currentIndex + 1)

    onClicked: {
        field.beginEditing()
        if (isTime) {
            const t = field.wheelTime
            first.currentIndex = Number(Qt.formatTime(t, "H"))
            second.currentIndex = Number(Qt.formatTime(t, "m"))
            third.currentIndex = Number(Qt.formatTime(t, "s"))
        } else {
            const d = field.wheelDate
            first.currentIndex = Math.max(0, Number(Qt.formatDate(d, "yyyy")) - firstYear)
            second.currentIndex = Number(Qt.formatDate(d, "M")) - 1
            chosenDay = Number(Qt.formatDate(d, "d"))
            third.currentIndex = Math.min(chosenDay, dayCount) - 1
        }
        sheet.open()
    }

    PickerSheet {
        id: sheet
        firstWheel: first
        onClosed: {
            if (!button.field || !button.field.editing)
                return
            if (button.isTime)
                button.field.selectTime(new Date(2000, 0, 1, first.currentIndex, second.currentIndex, third.currentIndex))
            else
                button.field.selectDate(new Date(button.firstYear + first.currentIndex, second.currentIndex,
                                                 third.currentIndex + 1))
            button.field.endEditing()
        }
        Wheel {
            id: first
            objectName: "firstWheel"
            Layout.fillWidth: true
            focus: true
            numbersFrom: button.isTime ? 0 : button.firstYear
            model: button.isTime ? 24 : 100
        }
        Wheel {
            id: second
            objectName: "secondWheel"
            Layout.fillWidth: true
            numbersFrom: button.isTime ? 0 : 1
            model: button.isTime ? 60 : 12
        }
        Wheel {
            id: third
            objectName: "thirdWheel"
            Layout.fillWidth: true
            numbersFrom: button.isTime ? 0 : 1
            model: button.dayCount
            onMoved: (index) => { if (!button.isTime) button.chosenDay = index + 1 }
            // A shorter month keeps the last day it has.
            onCountChanged: if (!button.isTime) currentIndex = Math.min(button.chosenDay, count) - 1
        }
    }
}
