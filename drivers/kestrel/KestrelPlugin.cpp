// The kestrel plug-in's entry points: the control and its property page, made on the
// telephony layer and the IXO/TAP engine, and registered under the plug-in's own path.
#include "frame/CompanionViewModule.h"
#include "kestrel/CKestrelCtrl.h"
#include "kestrel/CKestrelDriver.h"
#include "kestrel/CKestrelPropPage.h"
#include "kestrel/KestrelCompanionDialogs.h"
#include "kestrel/KestrelIds.h"
#include "kestrel/TapEngine.h"
#include "kestrel/TelephonyLineSource.h"
#include "plugin/PluginModule.h"

namespace {

PluginModule& kestrelModule();

std::unique_ptr<StepEngine> makeTapEngine(ByteLink& link, MessageList& messages,
                                          SendReporter& reporter, const TapSettings& settings)
{
    return std::make_unique<TapEngine>(link, messages, reporter, settings);
}

std::shared_ptr<CKestrelDriver> makeDriver()
{
    std::unique_ptr<CKestrelDriver> driver;
    try {
        driver = std::make_unique<CKestrelDriver>(std::make_unique<TelephonyLineSource>(),
                                                  &makeTapEngine);
    } catch (const std::exception&) {
        return nullptr;
    }
    // The driver holds the module while it lives: a protocol thread that outlives its
    // control keeps the driver, and so the code it runs, in place. Should making the shared
    // pointer fail, its deleter runs and the count stays balanced.
    kestrelModule().lock();
    return std::shared_ptr<CKestrelDriver>(driver.release(), [](CKestrelDriver* made) {
        delete made;
        kestrelModule().unlock();
    });
}

std::unique_ptr<DispatchControl> makeControl(const HostSite& site)
{
    const std::string guiModule = CompanionViewModule::besideLibrary(
        PluginModule::libraryPath(), std::string(KestrelIds::guiModule));
    ProgressViewFactory views = ProgressViews::chosen(site.showProgress(), guiModule,
                                                      [site] { return site.isCancelled(); });
    // Like the progress window, the dialogs are sought only for a host that asked to see the
    // control's windows; any other host gets log lines and never loads the GUI module.
    std::unique_ptr<KestrelDialogs> dialogs;
    if (site.showProgress()) {
        dialogs = std::make_unique<KestrelCompanionDialogs>(guiModule);
    }
    // A control whose driver could not be made still answers, with code 1.
    return std::make_unique<CKestrelCtrl>(makeDriver(), std::move(views), site.parentWindow(),
                                          std::move(dialogs));
}

std::unique_ptr<DispatchControl> makePropertyPage(const HostSite&)
{
    return std::make_unique<CKestrelPropPage>();
}

PluginModule& kestrelModule()
{
    static PluginModule module({
        {KestrelIds::controlClass, KestrelIds::controlProgId, KestrelIds::controlTypeName,
         &makeControl},
        {KestrelIds::propertyPageClass, KestrelIds::propertyPageProgId,
         KestrelIds::propertyPageTypeName, &makePropertyPage},
    });
    return module;
}

} // namespace

NV_PLUGIN_ENTRY_POINTS(kestrelModule)
