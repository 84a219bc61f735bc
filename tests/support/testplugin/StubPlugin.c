/* Libraries that look like plug-ins but are not quite: built once per variant by the tests.
 * Written in C so that the plug-in interface header is checked to be plain C.
 *   STUB_ABI_VERSION defined: exports nvPluginAbiVersion returning it, and nothing else.
 *   not defined: exports no entry point at all. */
#include "plugin/PluginAbi.h"

#ifdef STUB_ABI_VERSION
int32_t nvPluginAbiVersion(void)
{
    return STUB_ABI_VERSION;
}
#endif

NV_PLUGIN_EXPORT int stubPluginMarker(void);

int stubPluginMarker(void)
{
    return 1;
}
