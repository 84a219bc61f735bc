#pragma once

// Class identifiers and names of the test plug-in, shared by the plug-in and its tests.
namespace TestClassIds {

inline constexpr const char* driver = "{6A3F1C20-0D5E-4B7A-9C11-5E2D7A000001}";
inline constexpr const char* driverProgId = "NORVANETEST.TestDriver.1";
inline constexpr const char* driverTypeName = "Norvane Test Driver";

inline constexpr const char* echo = "{6A3F1C20-0D5E-4B7A-9C11-5E2D7A000002}";
inline constexpr const char* echoProgId = "NORVANETEST.TestEcho.1";
inline constexpr const char* echoTypeName = "Norvane Test Echo";

// A class whose construction throws.
inline constexpr const char* broken = "{6A3F1C20-0D5E-4B7A-9C11-5E2D7A000003}";
inline constexpr const char* brokenProgId = "NORVANETEST.Broken.1";

// A class the plug-in does not serve.
inline constexpr const char* unserved = "{6A3F1C20-0D5E-4B7A-9C11-5E2D7A000009}";

// Dispatch ids of the test driver.
enum DriverMember {
    DebugLevel = 1, // property, 32-bit
    ProviderName = 2, // property, text
    Send = 5, // method (text) -> 32-bit
    AddMessage = 6, // method (text, text) -> 32-bit
    Clear = 7, // method ()
    GetMessageCount = 9, // method () -> 32-bit
    GetMessageResultCode = 10, // method (16-bit) -> 32-bit
    Twice = 11, // method (16-bit) -> 32-bit, twice the argument
    DescribeMessage = 12, // method (16-bit) -> text built on the fly
    ThrowStd = 20, // method that throws std::runtime_error("disk on fire")
    ThrowOther = 21, // method that throws an int
    SiteSummary = 22, // read-only property, text: what the host's site said
    PollCancel = 23, // method () -> 32-bit, the host's cancel callback
};

// Dispatch ids of the echo control.
enum EchoMember {
    Concat = 1, // method (text, text) -> text
    Small = 2, // property, 16-bit
};

// Most messages the test driver holds.
inline constexpr int maxMessages = 3;

} // namespace TestClassIds
