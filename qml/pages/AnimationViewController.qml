import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// The effect chooser: the prompt, then the effects under their group
// labels. A tap opens the throwing screen for that effect.
Item {
    id: page
    property QtObject controller
    readonly property var effects: controller ? controller.effects : []

    // The group labels in the order they first appear.
    function groups() {
        var out = []
        for (var i = 0; i < effects.length; ++i)
            if (out.indexOf(effects[i].group) < 0)
                out.push(effects[i].group)
        return out
    }
    function inGroup(label) {
        return effects.filter(function(e) { return e.group === label })
    }

    ColumnLayout {
        x: 20
        y: 20
        width: page.width - 40
        spacing: 14

        Label {
            Layout.fillWidth: true
            text: qsTr("请在以下选择所需的动画互动特效")
            color: "white"
            font.pixelSize: 17
            wrapMode: Text.Wrap
        }

        Repeater {
            model: page.groups()
            ColumnLayout {
                id: group
                required property string modelData
                Layout.fillWidth: true
                spacing: 8
                Label {
                    text: group.modelData
                    color: "white"
                    font.pixelSize: 16
                    font.bold: true
                }
                Row {
                    spacing: 18
                    Repeater {
                        model: page.inGroup(group.modelData)
                        AbstractButton {
                            id: effect
                            required property var modelData
                            width: 86
                            height: 86
                            onClicked: if (page.controller) page.controller.animationButtonAction(effect.modelData.tag)
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
                                    source: "qrc:/qeva/images/" + effect.modelData.picture + ".png"
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}
