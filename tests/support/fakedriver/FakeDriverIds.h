#pragma once

#include <string_view>

// Names shared by the fake driver plug-in and the tests that script and read it.
namespace FakeDriverIds {

// The fake's own class, registered by its register entry point.
inline constexpr std::string_view ownClass = "{9E4C2B10-5F3A-4D7E-8B21-6C0F1A2E3D41}";
inline constexpr std::string_view ownProgId = "NORVANETEST.FakeDriver.1";
inline constexpr std::string_view ownTypeName = "Norvane Fake Paging Driver";

// The real drivers' classes, which the fake also serves (with their dispatch layouts) when a
// test registers it under them in its private settings store.
inline constexpr std::string_view kestrelClass = "{EDFD8418-26BA-11D2-AC37-000000000000}";
inline constexpr std::string_view ploverClass = "{518B4086-2747-11D2-AC39-000000000000}";

// The settings key the fake reads at creation and at each send.
inline constexpr std::string_view scriptKey = "SOFTWARE\\Tessal\\Norvane\\FakeDriver";

// Values of the script key.
namespace Script {
inline constexpr std::string_view recordFile = "recordFile"; // string: where events go
inline constexpr std::string_view sendCode = "sendCode"; // number: send's code (0)
inline constexpr std::string_view sendCodes = "sendCodes"; // string "address=code;..."
inline constexpr std::string_view messageCodes = "messageCodes"; // string "pin=code;..."
inline constexpr std::string_view sendDelayMs = "sendDelayMs"; // number: send's duration
inline constexpr std::string_view deafToCancel = "deafToCancel"; // number: 1 ignores cancel
inline constexpr std::string_view holdBack = "holdBack"; // number: messages not counted
inline constexpr std::string_view capacity = "capacity"; // number: list size (20)
inline constexpr std::string_view failCreate = "failCreate"; // number: 1 refuses creation
} // namespace Script

} // namespace FakeDriverIds
