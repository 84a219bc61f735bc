// The test plug-in driven through the bare C interface, as a host in another language would:
// the guarantees the C++ client relies on must hold at this level.
#include "PluginFiles.h"
#include "TestClassIds.h"
#include "plugin/PluginAbi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <string>

using namespace TestClassIds;

namespace {

class RawAbi : public testing::Test
{
protected:
    void SetUp() override
    {
        m_handle = dlopen(PluginFiles::testPlugin, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_handle, nullptr) << dlerror();
        m_getClassObject
            = reinterpret_cast<NvGetClassObjectFn>(dlsym(m_handle, NV_ENTRY_GET_CLASS_OBJECT));
        m_canUnloadNow
            = reinterpret_cast<NvCanUnloadNowFn>(dlsym(m_handle, NV_ENTRY_CAN_UNLOAD_NOW));
        ASSERT_NE(m_getClassObject, nullptr);
        ASSERT_NE(m_canUnloadNow, nullptr);
    }

    void TearDown() override
    {
        if (m_handle != nullptr) {
            dlclose(m_handle);
        }
    }

    NvDispatch* create(const char* classId, const NvHostSite* site = nullptr)
    {
        NvClassFactory* factory = nullptr;
        EXPECT_EQ(m_getClassObject(classId, &factory), NV_OK);
        if (factory == nullptr) {
            return nullptr;
        }
        NvDispatch* dispatch = nullptr;
        char error[256] = "junk";
        EXPECT_EQ(factory->vtbl->createInstance(factory, site, &dispatch, error, sizeof error),
                  NV_OK);
        EXPECT_STREQ(error, "");
        factory->vtbl->release(factory);
        return dispatch;
    }

    static NvValue text(const char* value)
    {
        NvValue v {};
        v.type = NV_TYPE_TEXT;
        v.u.text = value;
        return v;
    }

    void* m_handle = nullptr;
    NvGetClassObjectFn m_getClassObject = nullptr;
    NvCanUnloadNowFn m_canUnloadNow = nullptr;
};

TEST_F(RawAbi, TextResultStaysValidUntilTheNextCallOnThatControl)
{
    NvDispatch* a = create(echo);
    NvDispatch* b = create(echo);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    const NvValue args[] = {text("built "), text("on the fly")};
    NvValue result {};
    ASSERT_EQ(a->vtbl->invoke(a, Concat, NV_CALL_METHOD, args, 2, &result), NV_OK);
    ASSERT_EQ(result.type, NV_TYPE_TEXT);
    const char* kept = result.u.text;
    EXPECT_STREQ(kept, "built on the fly");

    // Calls on another control and reading the error text leave it alone.
    const NvValue otherArgs[] = {text("x"), text("y")};
    NvValue other {};
    ASSERT_EQ(b->vtbl->invoke(b, Concat, NV_CALL_METHOD, otherArgs, 2, &other), NV_OK);
    EXPECT_STREQ(other.u.text, "xy");
    EXPECT_STREQ(a->vtbl->lastErrorText(a), "");
    EXPECT_STREQ(kept, "built on the fly");

    a->vtbl->destroy(a);
    b->vtbl->destroy(b);
}

TEST_F(RawAbi, MalformedCallsAreRefusedNotTrusted)
{
    NvDispatch* d = create(driver);
    ASSERT_NE(d, nullptr);
    NvValue result {};
    result.type = NV_TYPE_INT32;

    const NvValue nullText[] = {text(nullptr)};
    EXPECT_EQ(d->vtbl->invoke(d, Send, NV_CALL_METHOD, nullText, 1, &result), NV_E_BAD_ARG_TYPE);
    EXPECT_EQ(result.type, NV_TYPE_EMPTY);
    EXPECT_NE(std::strstr(d->vtbl->lastErrorText(d), "null text"), nullptr);

    NvValue badTag {};
    badTag.type = 17;
    EXPECT_EQ(d->vtbl->invoke(d, Send, NV_CALL_METHOD, &badTag, 1, &result), NV_E_BAD_ARG_TYPE);
    EXPECT_EQ(d->vtbl->invoke(d, Send, NV_CALL_METHOD, nullptr, 1, &result), NV_E_INVALID_ARGUMENT);
    EXPECT_EQ(d->vtbl->invoke(d, Send, NV_CALL_METHOD, nullptr, -1, &result),
              NV_E_INVALID_ARGUMENT);
    EXPECT_EQ(d->vtbl->invoke(d, DebugLevel, 3, nullptr, 0, &result), NV_E_INVALID_ARGUMENT);
    EXPECT_NE(std::strstr(d->vtbl->lastErrorText(d), "unknown call kind 3"), nullptr);
    EXPECT_EQ(d->vtbl->invoke(nullptr, DebugLevel, NV_CALL_PROPERTY_GET, nullptr, 0, &result),
              NV_E_INVALID_ARGUMENT);

    // A caller that wants no result may pass none.
    const NvValue pin[] = {text("1"), text("hello")};
    EXPECT_EQ(d->vtbl->invoke(d, AddMessage, NV_CALL_METHOD, pin, 2, nullptr), NV_OK);
    EXPECT_STREQ(d->vtbl->lastErrorText(d), "");
    d->vtbl->destroy(d);
}

TEST_F(RawAbi, ClassObjectsByAnySpellingAndUnloadCounting)
{
    EXPECT_EQ(m_canUnloadNow(), 1);
    NvClassFactory* factory = nullptr;
    EXPECT_EQ(m_getClassObject("6a3f1c20-0d5e-4b7a-9c11-5e2d7a000001", &factory), NV_OK);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(m_canUnloadNow(), 0);
    factory->vtbl->release(factory);
    EXPECT_EQ(m_canUnloadNow(), 1);

    NvClassFactory* none = reinterpret_cast<NvClassFactory*>(this);
    EXPECT_EQ(m_getClassObject(unserved, &none), NV_E_UNKNOWN_CLASS);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(m_getClassObject(nullptr, &none), NV_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_getClassObject(driver, nullptr), NV_E_INVALID_ARGUMENT);

    NvDispatch* d = create(driver);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(m_canUnloadNow(), 0);
    d->vtbl->destroy(d);
    EXPECT_EQ(m_canUnloadNow(), 1);
}

TEST_F(RawAbi, FailedCreationWritesItsReasonWithinTheBuffer)
{
    NvClassFactory* factory = nullptr;
    ASSERT_EQ(m_getClassObject(broken, &factory), NV_OK);
    NvDispatch* dispatch = reinterpret_cast<NvDispatch*>(this);
    char small[12];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(factory->vtbl->createInstance(factory, nullptr, &dispatch, small, 8), NV_E_FAILED);
    EXPECT_EQ(dispatch, nullptr);
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(small[8], 'x');
    // No buffer at all is allowed too.
    EXPECT_EQ(factory->vtbl->createInstance(factory, nullptr, &dispatch, nullptr, 0), NV_E_FAILED);
    factory->vtbl->release(factory);
    EXPECT_EQ(m_canUnloadNow(), 1);
}

} // namespace
