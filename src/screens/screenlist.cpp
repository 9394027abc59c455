#include "screens/screenlist.h"

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
#include "ui/ktbasenavigationcontroller.h"
#include "ui/screenregistry.h"

void registerScreens()
{
    if (ScreenRegistry::contains(QLatin1String(ScanDeviceViewController::staticMetaObject.className())))
        return;
    // discovery
    ScreenRegistry::add<ScanDeviceViewController>();
    ScreenRegistry::add<HomeViewController>();
    // shell
    ScreenRegistry::add<FunctionViewController>();
    ScreenRegistry::add<SystemViewController>();
    ScreenRegistry::add<SoftInfoViewController>();
    // The container around an empty server list, as a scan builds it.
    ScreenRegistry::add(QLatin1String(SLideZoomMenuController::staticMetaObject.className()),
                        []() -> KTBaseViewController * {
                            auto *container =
                                new SLideZoomMenuController(new KTBaseNavigationController(new HomeViewController));
                            container->setLeftViewController(new SystemViewController);
                            return container;
                        });
    // settings
    ScreenRegistry::add<SystemSetViewController>();
    ScreenRegistry::add<RestartViewController>();
    ScreenRegistry::add<TimeCorrectionViewController>();
    ScreenRegistry::add<PhoneAddressViewController>();
    // overlays
    ScreenRegistry::add<SpotWordsViewController>();
    ScreenRegistry::add<ClockSetViewController>();
    ScreenRegistry::add<AnimationViewController>();
    ScreenRegistry::add<AnimationPushViewController>();
    // playback
    ScreenRegistry::add<PlayControlViewController>();
    ScreenRegistry::add<PlayWindowSetViewController>();
    ScreenRegistry::add<WindowSetViewController>();
    ScreenRegistry::add<DeviceSourceViewController>();
    ScreenRegistry::add<PlaySelectViewController>();
    // timed play
    ScreenRegistry::add<AddTimePlayViewController>();
    ScreenRegistry::add<TimingPlayViewController>();
    ScreenRegistry::add<TimePlayWordsViewController>();
    // transfer
    ScreenRegistry::add<PlayFilesViewController>();
}
