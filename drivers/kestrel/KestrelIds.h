#pragma once

#include <cstdint>
#include <string_view>

// The IXO/TAP driver's identities: class identifiers, program identifiers and type names as
// hosts and the registration know them, and the numbers of its dispatch members.
namespace KestrelIds {

inline constexpr std::string_view typeLibrary = "{EDFD8415-26BA-11D2-AC37-000000000000}";
inline constexpr std::string_view dispatchInterface = "{EDFD8416-26BA-11D2-AC37-000000000000}";
inline constexpr std::string_view eventInterface = "{EDFD8417-26BA-11D2-AC37-000000000000}";
inline constexpr std::string_view controlClass = "{EDFD8418-26BA-11D2-AC37-000000000000}";
inline constexpr std::string_view propertyPageClass = "{EDFD8419-26BA-11D2-AC37-000000000000}";

inline constexpr std::string_view controlProgId = "KESTREL.KestrelCtrl.1";
inline constexpr std::string_view controlTypeName = "Tessal Kestrel Driver";
inline constexpr std::string_view propertyPageProgId = "KESTREL.KestrelPropPage.1";
inline constexpr std::string_view propertyPageTypeName = "Tessal Kestrel Property Page";

// The companion module that holds the driver's windows, beside the plug-in.
inline constexpr std::string_view guiModule = "libkestrel_gui.so";

// The about box.
inline constexpr std::string_view aboutCaption = "About Kestrel Control";
inline constexpr std::string_view aboutText = "Kestrel Control, Version 1.0";

// Dispatch numbers of the members of _DKestrel.
enum DispId : std::int32_t {
    DebugLevel = 1,
    ProviderName = 2,
    ClientName = 3,
    LogFileName = 4,
    Send = 5,
    AddMessage = 6,
    Clear = 7,
    ShowProperties = 8,
    GetMessageCount = 9,
    GetMessageResultCode = 10,
    AboutBox = -552,
};

} // namespace KestrelIds
