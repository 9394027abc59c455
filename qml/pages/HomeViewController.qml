import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The server list: a section per server that opens into its window rows
// once unlocked, and the password prompt over everything.
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Label {
            Layout.fillWidth: true
            Layout.margins: 14
            wrapMode: Text.Wrap
            color: "white"
            font.pixelSize: 15
            text: page.controller ? page.controller.messageText : ""
        }

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.dataSource : []
            delegate: Column {
                width: list.width
                readonly property var section: modelData

                Rectangle {
                    width: parent.width
                    height: 54
                    color: "#2b78ad"
                    border.color: "#3e96d1"
                    RowLayout {
                        anchors.fill: parent
                        anchors.leftMargin: 16
                        anchors.rightMargin: 16
                        Label {
                            Layout.fillWidth: true
                            text: section.deviceName
                            color: "white"
                            font.pixelSize: 17
                            elide: Text.ElideRight
                        }
                        Label {
                            text: section.open ? "▾" : "▸"
                            color: "white"
                            font.pixelSize: 18
                        }
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: page.controller.tapAction(section.section)
                    }
                }
                Repeater {
                    model: section.rows
                    Rectangle {
                        width: parent.width
                        height: 46
                        color: "#eaf4fb"
                        border.color: "#c9e1f2"
                        Label {
                            anchors.verticalCenter: parent.verticalCenter
                            x: 36
                            text: modelData
                            font.pixelSize: 16
                            color: "#1d3d57"
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: page.controller.didSelectRowAtIndexPath(section.section, index)
                        }
                    }
                }
            }
        }
    }

    // The password prompt: modal over the whole window.
    Rectangle {
        anchors.fill: parent
        visible: page.controller ? page.controller.passwordPromptVisible : false
        color: "#99000000"
        MouseArea { anchors.fill: parent }

        Rectangle {
            anchors.centerIn: parent
            width: parent.width * 0.8
            height: prompt.implicitHeight + 32
            radius: 12
            color: "#f4f4f4"
            ColumnLayout {
                id: prompt
                anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16 }
                spacing: 12
                Label {
                    Layout.alignment: Qt.AlignHCenter
                    text: page.controller ? page.controller.passwordPromptTitle : ""
                    font.pixelSize: 18
                    font.bold: true
                }
                TextField {
                    id: password
                    Layout.fillWidth: true
                    placeholderText: page.controller ? page.controller.passwordPlaceholder : ""
                    echoMode: page.controller && page.controller.showPassword ? TextInput.Normal : TextInput.Password
                    inputMethodHints: Qt.ImhDigitsOnly
                    text: page.controller ? page.controller.passwordText : ""
                    focus: visible
                    onTextEdited: page.controller.passwordText = text
                }
                CheckBox {
                    text: page.controller ? page.controller.showPasswordText : ""
                    checked: page.controller ? page.controller.showPassword : false
                    onToggled: page.controller.didSelectedCheckBox(checked)
                }
                Button {
                    Layout.fillWidth: true
                    text: page.controller ? page.controller.confirmText : ""
                    onClicked: page.controller.passwordCheck()
                }
            }
        }
    }
}
