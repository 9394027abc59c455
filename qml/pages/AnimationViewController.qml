import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// The effect chooser: the prompt, then the effects under their group
// labels. A press opens the throwing screen for that effect.
Item {
    id: page
    required property Client.AnimationViewController controller

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 14

        Label {
            Layout.fillWidth: true
            text: qsTr("请在以下选择所需的动画互动特效")
            color: "white"
            font.pixelSize: 17
            wrapMode: Text.Wrap
        }

        RowList {
            id: effectList
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 10
            model: page.controller.effects
            onActivated: (index) => page.controller.animationButtonAction(page.controller.effects.get(index).tag)
            section.property: "group"
            section.delegate: Label {
                required property string section
                text: section
                color: "white"
                font.pixelSize: 16
                font.bold: true
                topPadding: 8
                bottomPadding: 4
            }
            delegate: AbstractButton {
                id: effect
                required property int index
                required property string picture
                readonly property RowList view: ListView.view as RowList
                width: 86
                height: 86
                focusPolicy: Qt.NoFocus
                onClicked: if (view) { view.currentIndex = index; view.activated(index) }
                background: Rectangle {
                    radius: 14
                    color: effect.pressed ? "#2b78ad" : "#5aa9dc"
                    border.color: "white"
                    border.width: 2
                }
                contentItem: Item {
                    Image {
                        anchors.centerIn: parent
                        width: 70
                        height: 70
                        fillMode: Image.PreserveAspectFit
                        smooth: true
                        source: Client.Shell.imageUrl(effect.picture)
                    }
                }
            }
        }
    }
}
