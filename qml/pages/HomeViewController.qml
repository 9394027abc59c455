import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The server list: a header row per server that opens into its window rows
// once unlocked, and the password prompt, modal over the whole window.
Item {
    id: page
    required property Client.HomeViewController controller

    function choose(index: int) {
        const row = controller.sections.get(index)
        if (row.row < 0)
            controller.tapAction(row.section)
        else
            controller.didSelectRowAtIndexPath(row.section, row.row)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Label {
            Layout.fillWidth: true
            Layout.margins: 14
            wrapMode: Text.Wrap
            color: "white"
            font.pixelSize: 15
            text: page.controller.messageText
        }

        RowList {
            id: list
            objectName: "serverList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            model: page.controller.sections
            onActivated: (index) => page.choose(index)
            delegate: Rectangle {
                id: entry
                required property int index
                required property int row
                required property string text
                required property bool open
                // A server's header row, or one of its window rows.
                readonly property bool header: row < 0
                readonly property RowList view: ListView.view as RowList
                width: view ? view.width : 0
                height: header ? 54 : 46
                color: header ? "#2b78ad" : "#eaf4fb"
                border.color: header ? "#3e96d1" : "#c9e1f2"
                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: entry.header ? 16 : 36
                    anchors.rightMargin: 16
                    Label {
                        Layout.fillWidth: true
                        text: entry.text
                        color: entry.header ? "white" : "#1d3d57"
                        font.pixelSize: entry.header ? 17 : 16
                        elide: Text.ElideRight
                    }
                    Label {
                        visible: entry.header
                        text: entry.open ? "▾" : "▸"
                        color: "white"
                        font.pixelSize: 18
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: if (entry.view) { entry.view.currentIndex = entry.index; entry.view.activated(entry.index) }
                }
            }
        }
    }

    // The password prompt: modal over everything, the title bar included.
    Popup {
        id: prompt
        objectName: "passwordPrompt"
        parent: Overlay.overlay
        visible: page.controller.passwordPromptVisible
        modal: true
        focus: true
        closePolicy: Popup.NoAutoClose
        anchors.centerIn: parent
        width: Math.min(parent ? parent.width - 60 : 320, 380)
        padding: 16
        background: Rectangle {
            radius: 12
            color: "#f4f4f4"
        }
        onOpened: password.forceActiveFocus()

        FocusScope {
            focus: true
            anchors.fill: parent
            implicitHeight: promptColumn.implicitHeight
            Keys.onEscapePressed: page.controller.cancelPasswordPrompt()
            ColumnLayout {
                id: promptColumn
                width: parent.width
                spacing: 12
                Label {
                    Layout.alignment: Qt.AlignHCenter
                    text: page.controller.passwordPromptTitle
                    font.pixelSize: 18
                    font.bold: true
                }
                TextField {
                    id: password
                    objectName: "passwordField"
                    Layout.fillWidth: true
                    focus: true
                    placeholderText: page.controller.passwordPlaceholder
                    Accessible.name: page.controller.passwordPromptTitle
                    echoMode: page.controller.showPassword ? TextInput.Normal : TextInput.Password
                    inputMethodHints: Qt.ImhDigitsOnly
                    text: page.controller.passwordText
                    onTextEdited: page.controller.passwordText = text
                    // Enter confirms, as the button does.
                    onAccepted: page.controller.passwordCheck()
                }
                CheckBox {
                    text: page.controller.showPasswordText
                    checked: page.controller.showPassword
                    onToggled: page.controller.didSelectedCheckBox(checked)
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Button {
                        Layout.fillWidth: true
                        text: qsTr("取消")
                        onClicked: page.controller.cancelPasswordPrompt()
                    }
                    Button {
                        Layout.fillWidth: true
                        text: page.controller.confirmText
                        highlighted: true
                        onClicked: page.controller.passwordCheck()
                    }
                }
            }
        }
    }
}
