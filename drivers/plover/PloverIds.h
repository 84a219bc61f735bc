#pragma once

#include <cstdint>
#include <string_view>

// The SNPP driver's identities: class identifiers, program identifiers and type names as
// hosts and the registration know them, and the numbers of its dispatch members (an order of
// its own, not the IXO/TAP driver's).
namespace PloverIds {

inline constexpr std::string_view typeLibrary = "{518B4083-2747-11D2-AC39-000000000000}";
inline constexpr std::string_view dispatchInterface = "{518B4084-2747-11D2-AC39-000000000000}";
inline constexpr std::string_view eventInterface = "{518B4085-2747-11D2-AC39-000000000000}";
inline constexpr std::string_view controlClass = "{518B4086-2747-11D2-AC39-000000000000}";
inline constexpr std::string_view propertyPageClass = "{518B4087-2747-11D2-AC39-000000000000}";

inline constexpr std::string_view controlProgId = "PLOVER.PloverCtrl.1";
inline constexpr std::string_view controlTypeName = "Tessal Plover Driver";
inline constexpr std::string_view propertyPageProgId = "PLOVER.PloverPropPage.1";
inline constexpr std::string_view propertyPageTypeName = "Plover Property Page";

// The companion module that holds the driver's windows, beside the plug-in.
inline constexpr std::string_view guiModule = "libplover_gui.so";

// The about box.
inline constexpr std::string_view aboutCaption = "About Plover Control";
inline constexpr std::string_view aboutText = "Plover Control, Version 1.0";

// Dispatch numbers of the members of _DPlover.
enum DispId : std::int32_t {
    ClientName = 1,
    ProviderName = 2,
    DebugLevel = 3,
    AddMessage = 4,
    Send = 5,
    Clear = 6,
    GetMessageCount = 7,
    GetMessageResultCode = 8,
    ShowProperties = 9,
    AboutBox = -552,
};

} // namespace PloverIds
