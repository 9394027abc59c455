import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Dialogs
import Qeva
import Qeva.Client as Client

// File sending: one row per file sent in this run (tick, name, type, bar
// and size), the newest on top; "关闭传输" and "发送文件" below. The album
// is a file dialog that hands the chosen file to the controller; a file
// dropped on the page goes the same way. The select-all toggle is the
// controller's right bar button.
Item {
    id: page
    required property Client.PlayFilesViewController controller

    readonly property int rowHeight: 80
    // The bottom buttons' tags, as the controller's sendButtonAction knows them.
    readonly property int closeTag: 0
    readonly property int sendTag: 1

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowList {
            id: list
            objectName: "fileList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            model: page.controller.rows
            emptyText: qsTr("还没有发送过文件")
            onActivated: (index) => page.controller.didSelectRowAtIndexPath(index)

            // Select-all chooses the rows on screen: keep the controller told.
            function reportVisibleRows() {
                const first = Math.max(0, Math.floor(contentY / page.rowHeight))
                page.controller.setVisibleRows(first, Math.ceil(height / page.rowHeight) + 1)
            }
            onContentYChanged: reportVisibleRows()
            onHeightChanged: reportVisibleRows()
            onCountChanged: reportVisibleRows()

            delegate: ItemDelegate {
                id: row
                required property int index
                required property string filesName
                required property string filesType
                // "checked" is a button's own: the row's tick comes through the model.
                required property var model
                readonly property bool ticked: model.checked
                required property bool succeeded
                required property real progress
                required property string sizeText
                readonly property RowList view: ListView.view as RowList
                width: view ? view.width : 0
                height: 80
                focusPolicy: Qt.NoFocus
                background: Rectangle {
                    color: row.ticked ? "#dcefff" : "white"
                    Rectangle {
                        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                        height: 1
                        color: "#e3edf4"
                    }
                }
                leftPadding: 14
                rightPadding: 14
                contentItem: RowLayout {
                    spacing: 12
                    // The tick: filled with a tick when on.
                    Rectangle {
                        Layout.preferredWidth: 24
                        Layout.preferredHeight: 24
                        radius: 12
                        color: row.ticked ? "#2f88c2" : "white"
                        border.color: row.ticked ? "#2f88c2" : "#9db7c9"
                        border.width: 2
                        Label {
                            anchors.centerIn: parent
                            visible: row.ticked
                            text: "✓"
                            color: "white"
                            font.pixelSize: 15
                            font.bold: true
                        }
                    }
                    // The type icon: a picture or a film strip.
                    Rectangle {
                        Layout.preferredWidth: 44
                        Layout.preferredHeight: 44
                        radius: 6
                        color: row.filesType === "01" ? "#f3a53b" : "#5b6bd6"
                        Label {
                            anchors.centerIn: parent
                            text: row.filesType === "01" ? qsTr("图片") : qsTr("视频")
                            color: "white"
                            font.pixelSize: 13
                            font.bold: true
                        }
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 6
                        Label {
                            Layout.fillWidth: true
                            text: row.filesName
                            elide: Text.ElideMiddle
                            font.pixelSize: 16
                            color: "#1d3d57"
                        }
                        ProgressBar {
                            Layout.fillWidth: true
                            palette.dark: row.succeeded ? "#2e8b57" : "#2f88c2"
                            from: 0; to: 1
                            value: row.progress
                        }
                        Label {
                            Layout.alignment: Qt.AlignRight
                            text: row.sizeText
                            font.pixelSize: 12
                            color: row.succeeded ? "#2e8b57" : "#6b8799"
                        }
                    }
                }
                onClicked: if (view) { view.currentIndex = index; view.activated(index) }
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
                    onClicked: page.controller.sendButtonAction(page.closeTag)
                }
                Button {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    text: qsTr("发送文件")
                    font.pixelSize: 16
                    highlighted: true
                    onClicked: page.controller.sendButtonAction(page.sendTag)
                }
            }
        }
    }

    // The album: pictures and videos from the disk.
    FileDialog {
        id: album
        objectName: "album"
        title: qsTr("从手机相册选择")
        fileMode: FileDialog.OpenFile
        nameFilters: page.controller.albumNameFilters
        currentFolder: page.controller.albumFolder
        onAccepted: page.controller.didFinishPickingFile(String(selectedFile))
        onRejected: page.controller.imagePickerControllerDidCancel()
    }

    Connections {
        target: page.controller
        function onPhotoLibraryRequested() { album.open() }
    }

    // On a desktop a file is as often dragged in from a file manager.
    DropArea {
        objectName: "fileDrop"
        anchors.fill: parent
        keys: ["text/uri-list"]
        onDropped: (drop) => {
            if (!drop.hasUrls || drop.urls.length === 0)
                return
            drop.accept(Qt.CopyAction)
            page.controller.didFinishPickingFile(String(drop.urls[0]))
        }
    }
}
