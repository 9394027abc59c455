import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A field for a whole number, with its short label ("X", "宽") inside on
// the left, where it stays when the field is filled.
TextField {
    id: field
    property string label: ""
    property bool signed: false
    Layout.fillWidth: true
    inputMethodHints: signed ? Qt.ImhFormattedNumbersOnly : Qt.ImhDigitsOnly
    validator: RegularExpressionValidator { regularExpression: field.signed ? /-?[0-9]{0,5}/ : /[0-9]{0,5}/ }
    leftPadding: label !== "" ? prefix.implicitWidth + 16 : 8
    Accessible.name: label
    opacity: enabled ? 1 : 0.45

    Label {
        id: prefix
        visible: field.label !== ""
        anchors { left: parent.left; leftMargin: 8; verticalCenter: parent.verticalCenter }
        text: field.label
        color: "#6b8799"
        font.pixelSize: 14
    }
}
