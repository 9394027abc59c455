#include "ui/uikit.h"

#include "core/appcontext.h"
#include "ui/alertcenter.h"
#include "ui/ktbasenavigationcontroller.h"
#include "ui/popupcenter.h"

// The centres are shared objects of their own, created before the kit, so
// they outlive the screens of the stack that use them while it goes.
UiKit::UiKit(AppContext &ctx)
    : m_popups(ctx.shared<PopupCenter>())
    , m_alerts(ctx.shared<AlertCenter>())
    , m_navigation(std::make_unique<KTBaseNavigationController>())
{
}

UiKit::~UiKit() = default;

UiKit &UiKit::shared()
{
    return AppContext::current()->shared<UiKit>();
}
