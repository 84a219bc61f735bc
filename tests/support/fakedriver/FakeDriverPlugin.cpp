// The fake driver plug-in's entry points. It registers only its own class, but serves the
// real drivers' classes too, each with that driver's dispatch numbers, so that a test can
// register this file under kestrel's or plover's class identifier in its private store and
// the host drives it exactly as it would drive the real one.
#include "FakeDriver.h"
#include "FakeDriverIds.h"
#include "plugin/PluginModule.h"

namespace {

std::unique_ptr<DispatchControl> makeOwn(const HostSite& site)
{
    return std::make_unique<FakeDriver>(FakeDriver::Layout::Own, site);
}

std::unique_ptr<DispatchControl> makeKestrel(const HostSite& site)
{
    return std::make_unique<FakeDriver>(FakeDriver::Layout::Kestrel, site);
}

std::unique_ptr<DispatchControl> makePlover(const HostSite& site)
{
    return std::make_unique<FakeDriver>(FakeDriver::Layout::Plover, site);
}

// What the register entry points write: the fake's own class only.
PluginModule& registeringModule()
{
    static PluginModule module({
        {FakeDriverIds::ownClass, FakeDriverIds::ownProgId, FakeDriverIds::ownTypeName, &makeOwn},
    });
    return module;
}

// What the class objects come from.
PluginModule& servingModule()
{
    static PluginModule module({
        {FakeDriverIds::ownClass, FakeDriverIds::ownProgId, FakeDriverIds::ownTypeName, &makeOwn},
        {FakeDriverIds::kestrelClass, "", "Fake kestrel", &makeKestrel},
        {FakeDriverIds::ploverClass, "", "Fake plover", &makePlover},
    });
    return module;
}

} // namespace

extern "C" int32_t nvPluginAbiVersion(void)
{
    return NV_PLUGIN_ABI_VERSION;
}

extern "C" int32_t nvGetClassObject(const char* classId, NvClassFactory** out)
{
    try {
        return servingModule().getClassObject(classId, out);
    } catch (...) {
        return NV_E_FAILED;
    }
}

extern "C" int32_t nvRegisterServer(char* errorText, uint32_t size)
{
    try {
        return registeringModule().registerServer(errorText, size);
    } catch (...) {
        return NV_E_FAILED;
    }
}

extern "C" int32_t nvUnregisterServer(char* errorText, uint32_t size)
{
    try {
        return registeringModule().unregisterServer(errorText, size);
    } catch (...) {
        return NV_E_FAILED;
    }
}

extern "C" int32_t nvCanUnloadNow(void)
{
    try {
        return servingModule().canUnloadNow() != 0 && registeringModule().canUnloadNow() != 0 ? 1
                                                                                              : 0;
    } catch (...) {
        return 0;
    }
}
