import QtQuick
import QtQuick.Controls

// A label over a field or a group of fields of a page.
Label {
    color: "white"
    font.pixelSize: 15
}
