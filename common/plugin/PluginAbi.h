/* The binary interface between the host programs and the driver plug-ins.
 *
 * A plug-in is a shared library that serves one or more control classes, each named by a
 * class identifier in the registry's form "{EDFD8418-26BA-11D2-AC37-000000000000}". The
 * host finds the library through the registration entries in the settings store, loads it,
 * checks nvPluginAbiVersion(), asks nvGetClassObject() for the class's factory and creates
 * an instance: a dispatch object that it drives by dispatch number with a few plain value
 * types. Only the types of this header cross the boundary; nothing one side allocates is
 * freed by the other, and no C++ exception ever crosses it.
 *
 * Plain C, so that either side may be written in C or C++. */
#ifndef NORVANE_PLUGIN_ABI_H
#define NORVANE_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever a change breaks either side; host and plug-in must agree exactly.
 * Additions at the end of NvHostSite do not change it (the site carries its size). */
#define NV_PLUGIN_ABI_VERSION 1

/* Marks the entry points, the only symbols a plug-in exports (the build hides the rest). */
#if defined(__GNUC__)
#define NV_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define NV_PLUGIN_EXPORT
#endif

/* Type tags of NvValue. */
enum {
    NV_TYPE_EMPTY = 0, /* no value (a method without result) */
    NV_TYPE_INT16 = 1, /* 16-bit signed integer in i16 */
    NV_TYPE_INT32 = 2, /* 32-bit signed integer in i32 */
    NV_TYPE_TEXT = 3 /* narrow (8-bit) text, zero-terminated, in text */
};

/* Call kinds of NvDispatchVtbl.invoke. */
enum {
    NV_CALL_METHOD = 1,
    NV_CALL_PROPERTY_GET = 2,
    NV_CALL_PROPERTY_PUT = 4 /* the new value is the single argument */
};

/* Status codes of every function below; NV_OK is success. */
enum {
    NV_OK = 0,
    NV_E_UNKNOWN_DISPID = 1, /* no member has this dispatch id */
    NV_E_BAD_ARG_COUNT = 2, /* the member takes another number of arguments */
    NV_E_BAD_ARG_TYPE = 3, /* an argument has a type the member cannot take */
    NV_E_OUT_OF_RANGE = 4, /* a 32-bit argument does not fit the member's 16-bit parameter */
    NV_E_WRONG_CALL_KIND = 5, /* the member exists but not as this kind of call */
    NV_E_FAILED = 6, /* the call ran and failed (also: an exception inside the plug-in) */
    NV_E_INVALID_ARGUMENT = 7, /* a null pointer, a negative count or an unknown tag */
    NV_E_UNKNOWN_CLASS = 8, /* the plug-in does not serve this class identifier */
    NV_E_BAD_RESULT_TYPE = 9, /* the result has a type the caller did not expect */
    NV_E_REGISTRATION = 10 /* the registration entries could not be written or removed */
};

/* One argument or result. Text is owned by whoever produced the value: arguments by the
 * host for the duration of the call, results by the control until the next call on it. */
typedef struct NvValue
{
    int32_t type; /* NV_TYPE_... */
    union {
        int16_t i16;
        int32_t i32;
        const char* text;
    } u;
} NvValue;

/* Host-site flag: the host wants a visible send (progress window). A plug-in shows dialogs
 * only when this is set and a GUI application object exists in the process. */
#define NV_SITE_SHOW_PROGRESS 0x1u

/* What the host tells a new instance. Versioned by its size: a plug-in reads a field only
 * when `size` covers it, so fields may be added at the end without an ABI change. The host
 * keeps everything the site points to alive for the life of the instance. */
typedef struct NvHostSite
{
    uint32_t size; /* sizeof(NvHostSite) as the host was built */
    uint32_t flags; /* NV_SITE_... */
    void* parentWindow; /* opaque owner for the plug-in's dialogs, or null */
    /* Polled by a headless send (from any thread of the control); not 0 means cancel.
     * May be null. */
    int (*isCancelled)(void* context);
    void* cancelContext;
} NvHostSite;

typedef struct NvDispatch NvDispatch;

/* The functions of a dispatch object. A dispatch object is used on one thread at a time. */
typedef struct NvDispatchVtbl
{
    /* Runs member dispId as the given kind with args[0..argCount-1] in declaration order.
     * On return *result holds the member's value (NV_TYPE_EMPTY on failure or for no value);
     * result may be null when the caller wants no value. */
    int32_t (*invoke)(NvDispatch* self, int32_t dispId, int32_t kind, const NvValue* args,
                      int32_t argCount, NvValue* result);
    /* A sentence saying why the latest failing call on this object failed ("" after a
     * success); owned by the object, valid until the next call on it. */
    const char* (*lastErrorText)(NvDispatch* self);
    /* Ends the instance; self is invalid afterwards. */
    void (*destroy)(NvDispatch* self);
} NvDispatchVtbl;

/* A control instance as the host sees it. */
struct NvDispatch
{
    const NvDispatchVtbl* vtbl;
};

typedef struct NvClassFactory NvClassFactory;

/* The functions of a class factory. */
typedef struct NvClassFactoryVtbl
{
    /* Creates an instance into *out. site may be null (all defaults). On failure *out is null
     * and, when errorText is not null, a zero-terminated reason is written into it (at most
     * errorTextSize bytes including the zero). */
    int32_t (*createInstance)(NvClassFactory* self, const NvHostSite* site, NvDispatch** out,
                              char* errorText, uint32_t errorTextSize);
    /* Gives the factory back; self is invalid afterwards. */
    void (*release)(NvClassFactory* self);
} NvClassFactoryVtbl;

/* A class factory as the host sees it. */
struct NvClassFactory
{
    const NvClassFactoryVtbl* vtbl;
};

/* Entry points every plug-in exports, and their types for dlsym. */

/* NV_PLUGIN_ABI_VERSION as the plug-in was built. */
typedef int32_t (*NvPluginAbiVersionFn)(void);
#define NV_ENTRY_ABI_VERSION "nvPluginAbiVersion"

/* The factory of the class (identifier compared without case, braces optional) into *out,
 * or NV_E_UNKNOWN_CLASS. The host releases the factory when done with it. */
typedef int32_t (*NvGetClassObjectFn)(const char* classId, NvClassFactory** out);
#define NV_ENTRY_GET_CLASS_OBJECT "nvGetClassObject"

/* Writes (or removes) the registration entries of every class of the plug-in in the current
 * user's settings store, naming the library's own absolute path. On failure a reason goes
 * into errorText as for createInstance. */
typedef int32_t (*NvRegisterServerFn)(char* errorText, uint32_t errorTextSize);
#define NV_ENTRY_REGISTER_SERVER "nvRegisterServer"
#define NV_ENTRY_UNREGISTER_SERVER "nvUnregisterServer"

/* 1 when no instance or factory of the plug-in is alive (the library may be unloaded),
 * else 0. */
typedef int32_t (*NvCanUnloadNowFn)(void);
#define NV_ENTRY_CAN_UNLOAD_NOW "nvCanUnloadNow"

/* The entry points themselves, declared with their export attribute so that a plug-in's
 * definitions (see NV_PLUGIN_ENTRY_POINTS) are checked against them and exported. */
NV_PLUGIN_EXPORT int32_t nvPluginAbiVersion(void);
NV_PLUGIN_EXPORT int32_t nvGetClassObject(const char* classId, NvClassFactory** out);
NV_PLUGIN_EXPORT int32_t nvRegisterServer(char* errorText, uint32_t errorTextSize);
NV_PLUGIN_EXPORT int32_t nvUnregisterServer(char* errorText, uint32_t errorTextSize);
NV_PLUGIN_EXPORT int32_t nvCanUnloadNow(void);

#ifdef __cplusplus
}
#endif

#endif /* NORVANE_PLUGIN_ABI_H */
