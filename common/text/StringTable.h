#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// One message of the program's string table: its id, its text (with "%s", "%d" or "%1"
// where an argument goes; "\r" breaks a line in a message box) and the key of its help
// topic (empty when the message has none of its own).
struct StringEntry
{
    int id;
    std::string_view text;
    std::string_view helpKey;
};

// The ids of the string-table messages used by the Qt-free code.
struct StringId
{
    static constexpr int NoValidAddress = 102;
    static constexpr int CannotInitModule = 104;
    static constexpr int PortWriteFailed = 105;
    static constexpr int PortReadFailed = 106;
    static constexpr int RemoteTimedOut = 107;
    static constexpr int AsyncIoError = 108;
    static constexpr int LoginFailed = 109;
    static constexpr int RemoteBusy = 110;
    static constexpr int TerminalNotReady = 111;
    static constexpr int LoginTooManyAttempts = 112;
    static constexpr int TerminalNotResponding = 113;
    static constexpr int UserAborted = 114;
    static constexpr int LineInUse = 115;
    static constexpr int LineError = 116;
    static constexpr int AllMessagesSent = 117;
    static constexpr int SentSuccessfully = 121;
    static constexpr int DeletedBeforeTransmission = 122;
    static constexpr int LostInternalError = 123;
    static constexpr int RejectedByServer = 124;
    static constexpr int TooManyAttempts = 125;
    static constexpr int NotProcessed = 127;
    static constexpr int TransmissionAborted = 128;
    static constexpr int UnknownInternalError = 129;
    // The "Add Recipient" dialog's refusals.
    static constexpr int NoPagingCompany = 130;
    static constexpr int NoPin = 131;
    static constexpr int NoEntryName = 132;
    static constexpr int AddEntryFailed = 135;
    static constexpr int DeleteEntryFailed = 136;
    static constexpr int MapiNoRoot = 137;
    static constexpr int MapiNoHierarchy = 138;
    static constexpr int MapiCannotOpen = 139;
    static constexpr int MapiNoContent = 140;
    static constexpr int EntryNotFound = 141;
    static constexpr int EmptyPagerNumber = 142;
    static constexpr int MissingSeparator = 143;
    static constexpr int BadProviderPhone = 144;
    static constexpr int BadPin = 145;
    static constexpr int UpdateEntryFailed = 147;
    static constexpr int UnknownReturnCode = 148;
    static constexpr int DriverNotAvailable = 160;
    static constexpr int CannotConnect = 161;
    static constexpr int CannotDriver = 162;
    // Rows of recipients beyond the fixed limits of one send.
    static constexpr int TooManyEntries = 180;
    static constexpr int ListTooLong = 181;
    static constexpr int TooManyAddresses = 182;
};

// The program's string table: message texts by id, the help key of each, and the error
// code of a message (0x30000 plus its id, which is also its help context number).
class StringTable
{
public:
    // Every entry, sorted by id.
    static std::span<const StringEntry> all();
    // The entry of the id, or nullptr when the table has none.
    static const StringEntry* find(int id);
    // The message text of the id ("" when unknown).
    static std::string_view text(int id);
    // The help key of the id ("" when it has none or is unknown).
    static std::string_view helpKey(int id);
    // The error code and help context of a message: 0x30000 plus its id.
    static constexpr std::int32_t errorCode(int id) { return 0x30000 + id; }
    // The message with its placeholders ("%s", "%d", "%1", ...) replaced by the arguments in
    // order; placeholders without an argument are left as they are.
    static std::string format(int id, std::initializer_list<std::string_view> arguments = {});
    // Replaces the placeholders of any printf-like text as format() does.
    static std::string substitute(std::string_view text,
                                  std::initializer_list<std::string_view> arguments);
};
