#pragma once

// The built files of the test plug-ins, as the build passes them in.
namespace PluginFiles {

inline constexpr const char* testPlugin = NV_TEST_PLUGIN_PATH;
inline constexpr const char* noEntry = NV_STUB_NO_ENTRY_PATH;
inline constexpr const char* badAbi = NV_STUB_BAD_ABI_PATH;
inline constexpr const char* abiOnly = NV_STUB_ABI_ONLY_PATH;

} // namespace PluginFiles
