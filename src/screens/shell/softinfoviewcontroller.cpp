#include "screens/shell/softinfoviewcontroller.h"

#include <QCoreApplication>

SoftInfoViewController::SoftInfoViewController()
{
    retranslate();
}

void SoftInfoViewController::retranslate()
{
    setTitle(QCoreApplication::translate("SoftInfoViewController", "软件信息"));
}

QString SoftInfoViewController::versionText()
{
    return QCoreApplication::translate("SoftInfoViewController", "QEVA视频手机客户端 Version 2.2.6");
}

QString SoftInfoViewController::introText()
{
    return QCoreApplication::translate(
        "SoftInfoViewController",
        "      本产品是一款配套QEVA视频播放软件的视频手机客户端，可进行与播放器的视频传输，视频操作，插播文字，界面维护等操作。");
}
