import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Qeva
import Qeva.Client as Client

// Own address: the address servers answer to now, the one the client picks
// by itself, this machine's addresses, and a field for an address of the
// user's choice. "完成" (the right bar button) or Enter in the field saves
// it; an empty field is automatic.
Item {
    id: page
    required property Client.PhoneAddressViewController controller

    ScrollPage {
        anchors.fill: parent
        spacing: 8

        Caption { text: qsTr("当前使用的地址") }
        Label {
            objectName: "currentAddress"
            Layout.fillWidth: true
            text: page.controller.currentAddress !== "" ? page.controller.currentAddress : qsTr("尚未确定")
            color: "white"
            font.pixelSize: 20
            font.bold: true
        }
        Label {
            Layout.fillWidth: true
            // No interface to choose from yet reads 0.0.0.0: say so in words.
            text: qsTr("自动选择的地址：%1").arg(page.controller.automaticAddress === "" || page.controller.automaticAddress === "0.0.0.0"
                                                  ? qsTr("尚未确定") : page.controller.automaticAddress)
            color: "white"
            font.pixelSize: 14
            wrapMode: Text.Wrap
        }
        Label {
            Layout.fillWidth: true
            visible: page.controller.configured
            text: qsTr("启动参数已指定本机地址，此设置在下次启动时生效")
            color: "#ffe082"
            font.pixelSize: 13
            wrapMode: Text.Wrap
        }

        Caption {
            Layout.topMargin: 12
            Layout.fillWidth: true
            text: qsTr("指定地址（留空为自动选择）")
            wrapMode: Text.Wrap
        }
        TextField {
            objectName: "addressField"
            Layout.fillWidth: true
            placeholderText: qsTr("自动选择")
            Accessible.name: qsTr("指定地址")
            inputMethodHints: Qt.ImhPreferNumbers
            validator: RegularExpressionValidator { regularExpression: /[0-9.]{0,15}/ }
            text: page.controller.addressText
            onTextEdited: page.controller.addressText = text
            onAccepted: page.controller.doneAction()
        }
        Button {
            Layout.fillWidth: true
            text: qsTr("恢复自动选择")
            enabled: !page.controller.automatic
            onClicked: page.controller.useAutomaticAction()
        }

        Caption {
            Layout.topMargin: 12
            text: qsTr("本机网络接口")
        }
        Repeater {
            model: page.controller.interfaceAddresses
            Label {
                required property string modelData
                Layout.fillWidth: true
                text: modelData
                color: "white"
                font.pixelSize: 14
            }
        }
        Label {
            visible: page.controller.interfaceAddresses.length === 0
            text: qsTr("没有可用的网络接口")
            color: "white"
            font.pixelSize: 14
        }
    }
}
