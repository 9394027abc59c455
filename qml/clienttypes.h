#pragma once

// The client core's types as QML sees them. The core stays free of Qt Qml:
// each type is declared here, from the QML side, so that pages can say
// `required property PlayControlViewController controller` and the QML
// tools check every property and call against the real class. None of them
// is created from QML: screens come from the navigation stacks.

#include "screens/discovery/homeviewcontroller.h"
#include "screens/discovery/scandeviceviewcontroller.h"
#include "screens/overlays/animationpushviewcontroller.h"
#include "screens/overlays/animationviewcontroller.h"
#include "screens/overlays/clocksetviewcontroller.h"
#include "screens/overlays/spotwordsviewcontroller.h"
#include "screens/playback/devicesourceviewcontroller.h"
#include "screens/playback/playcontrolviewcontroller.h"
#include "screens/playback/playselectviewcontroller.h"
#include "screens/playback/playwindowsetviewcontroller.h"
#include "screens/playback/windowsetviewcontroller.h"
#include "screens/settings/phoneaddressviewcontroller.h"
#include "screens/settings/restartviewcontroller.h"
#include "screens/settings/serverorderviewcontroller.h"
#include "screens/settings/systemsetviewcontroller.h"
#include "screens/settings/timecorrectionviewcontroller.h"
#include "screens/shell/functionviewcontroller.h"
#include "screens/shell/slidezoommenucontroller.h"
#include "screens/shell/softinfoviewcontroller.h"
#include "screens/shell/systemviewcontroller.h"
#include "screens/timedplay/addtimeplayviewcontroller.h"
#include "screens/timedplay/timeplaywordsviewcontroller.h"
#include "screens/timedplay/timingplayviewcontroller.h"
#include "screens/transfer/playfilesviewcontroller.h"
#include "ui/alertcenter.h"
#include "ui/datetimefield.h"
#include "ui/inputfield.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/ktbasetableviewcontroller.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/pickerfield.h"
#include "ui/popupcenter.h"
#include "ui/rowlistmodel.h"
#include "ui/uikit.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

#define QEVA_NOT_FROM_QML "made by the client, not by a page"

// --- the UI kit ---------------------------------------------------------------

struct QmlKTBaseViewController
{
    Q_GADGET
    QML_FOREIGN(KTBaseViewController)
    QML_NAMED_ELEMENT(KTBaseViewController)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlKTBaseTableViewController
{
    Q_GADGET
    QML_FOREIGN(KTBaseTableViewController)
    QML_NAMED_ELEMENT(KTBaseTableViewController)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlKTBaseNavigationController
{
    Q_GADGET
    QML_FOREIGN(KTBaseNavigationController)
    QML_NAMED_ELEMENT(KTBaseNavigationController)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlAlertCenter
{
    Q_GADGET
    QML_FOREIGN(AlertCenter)
    QML_NAMED_ELEMENT(AlertCenter)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlPopupCenter
{
    Q_GADGET
    QML_FOREIGN(PopupCenter)
    QML_NAMED_ELEMENT(PopupCenter)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlInputField
{
    Q_GADGET
    QML_FOREIGN(InputField)
    QML_NAMED_ELEMENT(InputField)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlPickerField
{
    Q_GADGET
    QML_FOREIGN(PickerField)
    QML_NAMED_ELEMENT(PickerField)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlDateTimeField
{
    Q_GADGET
    QML_FOREIGN(DateTimeField)
    QML_NAMED_ELEMENT(DateTimeField)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

struct QmlRowListModel
{
    Q_GADGET
    QML_FOREIGN(RowListModel)
    QML_NAMED_ELEMENT(RowListModel)
    QML_UNCREATABLE(QEVA_NOT_FROM_QML)
};

// The UI of the client the engine was made in: its root stack, alerts and
// pop-ups. The client owns it; the engine only borrows it.
struct QmlUiKit
{
    Q_GADGET
    QML_FOREIGN(UiKit)
    QML_NAMED_ELEMENT(UiKit)
    QML_SINGLETON

public:
    static UiKit *create(QQmlEngine *, QJSEngine *)
    {
        UiKit *kit = &UiKit::shared();
        QJSEngine::setObjectOwnership(kit, QJSEngine::CppOwnership);
        return kit;
    }
};

// --- the screens --------------------------------------------------------------

#define QEVA_QML_SCREEN(ClassName)                                                                         \
    struct Qml##ClassName                                                                                  \
    {                                                                                                      \
        Q_GADGET                                                                                           \
        QML_FOREIGN(ClassName)                                                                             \
        QML_NAMED_ELEMENT(ClassName)                                                                       \
        QML_UNCREATABLE(QEVA_NOT_FROM_QML)                                                                 \
    };

QEVA_QML_SCREEN(ScanDeviceViewController)
QEVA_QML_SCREEN(HomeViewController)
QEVA_QML_SCREEN(SLideZoomMenuController)
QEVA_QML_SCREEN(SystemViewController)
QEVA_QML_SCREEN(FunctionViewController)
QEVA_QML_SCREEN(SoftInfoViewController)
QEVA_QML_SCREEN(SystemSetViewController)
QEVA_QML_SCREEN(ServerOrderViewController)
QEVA_QML_SCREEN(RestartViewController)
QEVA_QML_SCREEN(TimeCorrectionViewController)
QEVA_QML_SCREEN(PhoneAddressViewController)
QEVA_QML_SCREEN(SpotWordsViewController)
QEVA_QML_SCREEN(ClockSetViewController)
QEVA_QML_SCREEN(AnimationViewController)
QEVA_QML_SCREEN(AnimationPushViewController)
QEVA_QML_SCREEN(WindowSetViewController)
QEVA_QML_SCREEN(PlayWindowSetViewController)
QEVA_QML_SCREEN(PlayControlViewController)
QEVA_QML_SCREEN(DeviceSourceViewController)
QEVA_QML_SCREEN(PlaySelectViewController)
QEVA_QML_SCREEN(AddTimePlayViewController)
QEVA_QML_SCREEN(TimingPlayViewController)
QEVA_QML_SCREEN(TimePlayWordsViewController)
QEVA_QML_SCREEN(PlayFilesViewController)
