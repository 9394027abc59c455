import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Own address: the address in use, the one chosen automatically, this
// machine's addresses, and a field for an address of the user's choice
// ("完成", the controller's right bar button, saves it; empty is automatic).
Item {
    id: page
    property QtObject controller

    ColumnLayout {
        x: 20
        y: 16
        width: page.width - 40
        spacing: 8

        Label {
            text: qsTr("当前使用的地址")
            color: "white"
            font.pixelSize: 15
        }
        Label {
            Layout.fillWidth: true
            text: page.controller ? page.controller.currentAddress : ""
            color: "white"
            font.pixelSize: 20
            font.bold: true
        }
        Label {
            Layout.fillWidth: true
            text: qsTr("自动选择的地址：") + (page.controller ? page.controller.automaticAddress : "")
            color: "white"
            font.pixelSize: 14
        }
        Label {
            Layout.fillWidth: true
            visible: page.controller ? page.controller.configured : false
            text: qsTr("启动参数已指定本机地址，此设置在下次启动时生效")
            color: "#ffe082"
            font.pixelSize: 13
            wrapMode: Text.Wrap
        }

        Label {
            Layout.topMargin: 12
            text: qsTr("指定地址（留空为自动选择）")
            color: "white"
            font.pixelSize: 15
        }
        TextField {
            Layout.fillWidth: true
            placeholderText: qsTr("自动选择")
            inputMethodHints: Qt.ImhPreferNumbers
            validator: RegularExpressionValidator { regularExpression: /[0-9.]{0,15}/ }
            text: page.controller ? page.controller.addressText : ""
            onTextChanged: if (page.controller) page.controller.addressText = text
        }
        Button {
            Layout.fillWidth: true
            text: qsTr("自动选择")
            enabled: page.controller ? !page.controller.automatic : false
            onClicked: page.controller.useAutomaticAction()
        }

        Label {
            Layout.topMargin: 12
            text: qsTr("本机网络接口")
            color: "white"
            font.pixelSize: 15
        }
        Repeater {
            model: page.controller ? page.controller.interfaceAddresses : []
            Label {
                required property string modelData
                Layout.fillWidth: true
                text: modelData
                color: "white"
                font.pixelSize: 14
            }
        }
    }
}
