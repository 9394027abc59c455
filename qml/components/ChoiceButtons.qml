import QtQuick
import QtQuick.Controls

// A row or column of buttons from a model: a list of texts, or rows whose
// textRole holds the text. chosen() tells which one was pressed. A button
// without a text shows blankText, flat, and is named blankName.
ListView {
    id: choices
    property string textRole: ""
    property string blankText: ""
    property string blankName: ""
    property int buttonHeight: 48
    property int fontSize: 16
    signal chosen(int index)

    interactive: false
    spacing: 8
    // Every button is made at once, whatever size the list has yet.
    cacheBuffer: 2000
    implicitHeight: orientation === ListView.Vertical ? count * buttonHeight + Math.max(0, count - 1) * spacing
                                                      : buttonHeight
    implicitWidth: orientation === ListView.Horizontal ? contentWidth : 240

    delegate: Button {
        id: choice
        required property var model
        required property int index
        readonly property ChoiceButtons view: ListView.view as ChoiceButtons
        width: view && view.orientation === ListView.Vertical ? view.width : implicitWidth
        height: view ? view.buttonHeight : 48
        readonly property string title: view && view.textRole !== "" ? model[view.textRole] : model.modelData
        text: title !== "" || !view ? title : view.blankText
        flat: title === ""
        Accessible.name: title !== "" || !view ? title : view.blankName
        font.pixelSize: view ? view.fontSize : 16
        onClicked: if (view) view.chosen(index)
    }
}
