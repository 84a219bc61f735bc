// The plover plug-in's entry points: the control and its property page, on the SNPP engine
// and transport, registered under the plug-in's own path.
#include "frame/CompanionViewModule.h"
#include "net/HostLookup.h"
#include "plover/CPloverCtrl.h"
#include "plover/CPloverDriver.h"
#include "plover/CPloverPropPage.h"
#include "plover/PloverCompanionDialogs.h"
#include "plover/PloverIds.h"
#include "plugin/PluginModule.h"

namespace {

PluginModule& ploverModule();

void releaseDriver(CPloverDriver* driver)
{
    delete driver;
    // A host-name lookup that was given up may still run plug-in code on its helper thread;
    // unloading the plug-in under it would pull that code away. Until such helpers have
    // ended, the module keeps this count and stays loaded.
    if (HostLookup::waitForThreads(0)) {
        ploverModule().unlock();
    }
}

std::shared_ptr<CPloverDriver> makeDriver()
{
    std::unique_ptr<CPloverDriver> driver;
    try {
        driver = std::make_unique<CPloverDriver>();
    } catch (const std::exception&) {
        return nullptr;
    }
    // The driver holds the module while it lives: a protocol thread that outlives its
    // control keeps the driver, and so the code it runs, in place. Should making the shared
    // pointer fail, its deleter runs and the count stays balanced.
    ploverModule().lock();
    return std::shared_ptr<CPloverDriver>(driver.release(), &releaseDriver);
}

std::unique_ptr<DispatchControl> makeControl(const HostSite& site)
{
    const std::string guiModule = CompanionViewModule::besideLibrary(
        PluginModule::libraryPath(), std::string(PloverIds::guiModule));
    ProgressViewFactory views = ProgressViews::chosen(site.showProgress(), guiModule,
                                                      [site] { return site.isCancelled(); });
    // Like the progress window, the dialogs are sought only for a host that asked to see the
    // control's windows; any other host gets log lines and never loads the GUI module.
    std::unique_ptr<PloverDialogs> dialogs;
    if (site.showProgress()) {
        dialogs = std::make_unique<PloverCompanionDialogs>(guiModule);
    }
    // A control whose driver could not be made still answers, with code 1.
    return std::make_unique<CPloverCtrl>(makeDriver(), std::move(views), site.parentWindow(),
                                         std::move(dialogs));
}

std::unique_ptr<DispatchControl> makePropertyPage(const HostSite&)
{
    return std::make_unique<CPloverPropPage>();
}

PluginModule& ploverModule()
{
    static PluginModule module({
        {PloverIds::controlClass, PloverIds::controlProgId, PloverIds::controlTypeName,
         &makeControl},
        {PloverIds::propertyPageClass, PloverIds::propertyPageProgId,
         PloverIds::propertyPageTypeName, &makePropertyPage},
    });
    return module;
}

} // namespace

NV_PLUGIN_ENTRY_POINTS(ploverModule)
