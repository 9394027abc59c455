import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Dialogs

// File sending: one row per file sent in this run (tick, name, type, bar
// and size), the newest on top; "关闭传输" and "发送文件" below. The album
// is a file dialog that hands the chosen file to the controller. The
// select-all toggle is the controller's right bar button.
Item {
    id: page
    property QtObject controller

    readonly property int rowHeight: 80
    // The bottom buttons' tags, as the controller's sendButtonAction knows them.
    readonly property int closeTag: 0
    readonly property int sendTag: 1

    // A tick box: filled with a tick when on.
    component Tick: Rectangle {
        property bool on: false
        width: 24; height: 24
        radius: 12
        color: on ? "#2f88c2" : "white"
        border.color: on ? "#2f88c2" : "#9db7c9"
        border.width: 2
        Label {
            anchors.centerIn: parent
            visible: parent.on
            text: "✓"
            color: "white"
            font.pixelSize: 15
            font.bold: true
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        ListView {
            id: list
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.controller ? page.controller.rows : []

            // Select-all chooses the rows on screen: keep the controller told.
            function reportVisibleRows() {
                if (!page.controller)
                    return
                const first = Math.max(0, Math.floor(contentY / page.rowHeight))
                page.controller.setVisibleRows(first, Math.ceil(height / page.rowHeight) + 1)
            }
            onContentYChanged: reportVisibleRows()
            onHeightChanged: reportVisibleRows()
            onCountChanged: reportVisibleRows()

            delegate: ItemDelegate {
                id: row
                required property var modelData
                required property int index
                readonly property bool live: modelData.current && page.controller && page.controller.currentSizeText !== ""
                width: ListView.view.width
                height: page.rowHeight
                padding: 0
                background: Rectangle {
                    color: row.modelData.checked ? "#dcefff" : "white"
                    Rectangle {
                        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                        height: 1
                        color: "#e3edf4"
                    }
                }
                contentItem: Item {
                    Tick {
                        id: tick
                        on: row.modelData.checked
                        anchors { left: parent.left; leftMargin: 14; verticalCenter: parent.verticalCenter }
                    }
                    // The type icon: a picture or a film strip.
                    Rectangle {
                        id: typeIcon
                        anchors { left: tick.right; leftMargin: 12; verticalCenter: parent.verticalCenter }
                        width: 44; height: 44
                        radius: 6
                        color: row.modelData.filesType === "01" ? "#f3a53b" : "#5b6bd6"
                        Label {
                            anchors.centerIn: parent
                            text: row.modelData.filesType === "01" ? qsTr("图片") : qsTr("视频")
                            color: "white"
                            font.pixelSize: 13
                            font.bold: true
                        }
                    }
                    ColumnLayout {
                        anchors {
                            left: typeIcon.right; leftMargin: 12
                            right: parent.right; rightMargin: 14
                            verticalCenter: parent.verticalCenter
                        }
                        spacing: 6
                        Label {
                            Layout.fillWidth: true
                            text: row.modelData.filesName
                            elide: Text.ElideMiddle
                            font.pixelSize: 16
                            color: "#1d3d57"
                        }
                        ProgressBar {
                            Layout.fillWidth: true
                            palette.dark: row.modelData.succeeded ? "#2e8b57" : "#2f88c2"
                            from: 0; to: 1
                            value: row.live ? page.controller.currentProgress : row.modelData.progress
                        }
                        Label {
                            Layout.alignment: Qt.AlignRight
                            text: row.live ? page.controller.currentSizeText : row.modelData.sizeText
                            font.pixelSize: 12
                            color: row.modelData.succeeded ? "#2e8b57" : "#6b8799"
                        }
                    }
                }
                onClicked: if (page.controller) page.controller.didSelectRowAtIndexPath(row.index)
            }

            Label {
                anchors.centerIn: parent
                visible: list.count === 0
                text: qsTr("还没有发送过文件")
                color: "white"
                font.pixelSize: 16
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 62
            color: "#2b78ad"
            RowLayout {
                anchors.fill: parent
                anchors.margins: 8
                spacing: 10
                Button {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    text: qsTr("关闭传输")
                    font.pixelSize: 16
                    onClicked: if (page.controller) page.controller.sendButtonAction(page.closeTag)
                }
                Button {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    text: qsTr("发送文件")
                    font.pixelSize: 16
                    highlighted: true
                    onClicked: if (page.controller) page.controller.sendButtonAction(page.sendTag)
                }
            }
        }
    }

    // The album: pictures and videos from the disk.
    FileDialog {
        id: album
        title: qsTr("从手机相册选择")
        fileMode: FileDialog.OpenFile
        nameFilters: page.controller ? page.controller.albumNameFilters : []
        onAccepted: if (page.controller) page.controller.didFinishPickingFile(selectedFile.toString())
        onRejected: if (page.controller) page.controller.imagePickerControllerDidCancel()
    }

    Connections {
        target: page.controller
        function onPhotoLibraryRequested() { album.open() }
    }
}
