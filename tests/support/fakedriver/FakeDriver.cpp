#include "FakeDriver.h"

#include "FakeDriverIds.h"
#include "FakeRecordText.h"
#include "plugin/MemberTable.h"
#include "settings/SettingsStore.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace {

using Table = MemberTable<FakeDriver>;

std::atomic<int> nextInstance {1};

// "key=code;key=code" as a map; pieces without "=" are skipped.
std::map<std::string, std::int32_t> codeMap(std::string_view text)
{
    std::map<std::string, std::int32_t> codes;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string piece(text.substr(start, end - start));
        const std::size_t equals = piece.rfind('=');
        if (equals != std::string::npos) {
            codes[piece.substr(0, equals)] = std::atoi(piece.c_str() + equals + 1);
        }
        start = end + 1;
    }
    return codes;
}

// The script key's values as the fake uses them, read in one go.
FakeDriver::Script parseScript(const std::vector<SettingsValue>& values)
{
    using namespace FakeDriverIds::Script;
    FakeDriver::Script script;
    for (const SettingsValue& value : values) {
        const auto number = [&value](std::int32_t& field) {
            if (value.type == ValueType::Number) {
                field = static_cast<std::int32_t>(value.number());
            }
        };
        const bool text = value.type == ValueType::String && value.data.size() < 4096;
        if (value.name == recordFile && text) {
            script.recordFile = value.data;
        } else if (value.name == sendCode) {
            number(script.sendCode);
        } else if (value.name == sendCodes && text) {
            script.sendCodes = codeMap(value.data);
        } else if (value.name == messageCodes && text) {
            script.messageCodes = codeMap(value.data);
        } else if (value.name == sendDelayMs) {
            number(script.sendDelayMs);
        } else if (value.name == deafToCancel) {
            number(script.deafToCancel);
        } else if (value.name == holdBack) {
            number(script.holdBack);
        } else if (value.name == capacity) {
            number(script.capacity);
        } else if (value.name == failCreate) {
            number(script.failCreate);
        }
    }
    return script;
}

// The script as the settings store holds it now. Parsed again only when the store's generation
// changed, so a test's change between sends is seen while an unchanged script costs one check.
FakeDriver::Script currentScript()
{
    static std::mutex mutex;
    static std::uint64_t cachedGeneration = 0;
    static FakeDriver::Script cached;
    const std::shared_ptr<SettingsStore> store = SettingsStore::current();
    if (!store) {
        return {};
    }
    const std::lock_guard lock(mutex);
    const std::uint64_t generation = store->generation();
    if (generation != 0 && generation == cachedGeneration) {
        return cached;
    }
    static const std::string key = SettingsStore::normalizeKeyName(
        "HKEY_CURRENT_USER\\" + std::string(FakeDriverIds::scriptKey));
    FakeDriver::Script script = parseScript(store->values(key));
    // Tagged with the generation seen before reading: a change made meanwhile is read next time.
    cachedGeneration = generation;
    cached = script;
    return script;
}

std::string_view kindName(CallKind kind)
{
    switch (kind) {
    case CallKind::Method:
        return "method";
    case CallKind::PropertyGet:
        return "get";
    case CallKind::PropertyPut:
        return "put";
    }
    return "?";
}

std::string argumentText(const DispatchValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* small = std::get_if<std::int16_t>(&value)) {
        return std::to_string(*small);
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::to_string(*number);
    }
    return {};
}

} // namespace

FakeDriver::FakeDriver(Layout layout, const HostSite& site)
    : m_layout(layout)
    , m_site(site)
    , m_instance(nextInstance.fetch_add(1))
{
    m_script = currentScript();
    m_recordFile = m_script.recordFile;
    if (m_script.failCreate != 0) {
        record({"refused"});
        throw std::runtime_error("the fake driver was told to refuse its creation");
    }
    record({"create", m_site.showProgress() ? "progress" : "headless",
            m_site.parentWindow() != nullptr ? "parent" : "noparent"});
}

FakeDriver::~FakeDriver()
{
    record({"destroy"});
}

DispatchStatus FakeDriver::invoke(std::int32_t dispId, CallKind kind,
                                  std::span<const DispatchValue> args, DispatchValue& result,
                                  std::string& error)
{
    // Written down independently of the host's wrappers, from the drivers' interfaces.
    static const Table kestrel {
        Table::getter(1, "debugLevel", &FakeDriver::debugLevel),
        Table::setter(1, "debugLevel", &FakeDriver::setDebugLevel),
        Table::getter(2, "providerName", &FakeDriver::providerName),
        Table::setter(2, "providerName", &FakeDriver::setProviderName),
        Table::getter(3, "clientName", &FakeDriver::clientName),
        Table::setter(3, "clientName", &FakeDriver::setClientName),
        Table::getter(4, "logFileName", &FakeDriver::logFileName),
        Table::setter(4, "logFileName", &FakeDriver::setLogFileName),
        Table::method(5, "send", &FakeDriver::send),
        Table::method(6, "addMessage", &FakeDriver::addMessage),
        Table::method(7, "clear", &FakeDriver::clear),
        Table::method(8, "showProperties", &FakeDriver::showProperties),
        Table::method(9, "getMessageCount", &FakeDriver::getMessageCount),
        Table::method(10, "getMessageResultCode", &FakeDriver::getMessageResultCode),
        Table::method(-552, "AboutBox", &FakeDriver::aboutBox),
    };
    static const Table plover {
        Table::getter(1, "clientName", &FakeDriver::clientName),
        Table::setter(1, "clientName", &FakeDriver::setClientName),
        Table::getter(2, "providerName", &FakeDriver::providerName),
        Table::setter(2, "providerName", &FakeDriver::setProviderName),
        Table::getter(3, "debugLevel", &FakeDriver::debugLevel),
        Table::setter(3, "debugLevel", &FakeDriver::setDebugLevel),
        Table::method(4, "addMessage", &FakeDriver::addMessage),
        Table::method(5, "send", &FakeDriver::send),
        Table::method(6, "clear", &FakeDriver::clear),
        Table::method(7, "getMessageCount", &FakeDriver::getMessageCount),
        Table::method(8, "getMessageResultCode", &FakeDriver::getMessageResultCode),
        Table::method(9, "showProperties", &FakeDriver::showProperties),
        Table::method(-552, "AboutBox", &FakeDriver::aboutBox),
    };
    const Table& table = m_layout == Layout::Plover ? plover : kestrel;

    std::string member = "?";
    for (const MemberSignature& signature : table.signatures()) {
        if (signature.dispId == dispId && signature.kind == kind) {
            member = std::string(signature.name);
            break;
        }
    }
    std::vector<std::string> fields {"call", std::to_string(dispId), std::string(kindName(kind)),
                                     member};
    for (const DispatchValue& arg : args) {
        fields.push_back(argumentText(arg));
    }
    record(fields);
    return table.dispatch(*this, dispId, kind, args, result, error);
}

std::int32_t FakeDriver::addMessage(std::string_view recipient, std::string_view text)
{
    const auto capacity = static_cast<std::size_t>(std::max(0, m_script.capacity));
    if (m_messages.size() >= capacity) {
        return 207;
    }
    const std::string copy(recipient);
    m_messages.push_back({copy, std::atoi(copy.c_str()), 5, std::string(text)});
    return 0;
}

std::int32_t FakeDriver::send(std::string_view address)
{
    m_script = currentScript();
    std::int32_t code = m_script.sendCode;
    const auto& sendCodes = m_script.sendCodes;
    if (const auto found = sendCodes.find(std::string(address)); found != sendCodes.end()) {
        code = found->second;
    }
    const auto until
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_script.sendDelayMs);
    const bool deaf = m_script.deafToCancel != 0;
    while (std::chrono::steady_clock::now() < until) {
        if (!deaf && m_site.isCancelled()) {
            code = 213;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto& messageCodes = m_script.messageCodes;
    std::vector<std::string> fields {"transmit", std::string(address), m_providerName, m_clientName,
                                     std::to_string(code)};
    for (Message& message : m_messages) {
        if (const auto found = messageCodes.find(std::to_string(message.pin));
            found != messageCodes.end()) {
            message.result = found->second;
        } else if (code == 0) {
            message.result = 1;
        }
        fields.push_back(message.recipient);
        fields.push_back(message.text);
    }
    record(fields);
    return code;
}

std::int32_t FakeDriver::getMessageCount() const
{
    const std::int32_t holdBack = m_script.holdBack;
    return std::max<std::int32_t>(0, static_cast<std::int32_t>(m_messages.size()) - holdBack);
}

std::int32_t FakeDriver::getMessageResultCode(std::int16_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_messages.size()) {
        return 2;
    }
    return m_messages[static_cast<std::size_t>(index)].result;
}

std::string_view FakeDriver::layoutName() const
{
    switch (m_layout) {
    case Layout::Own:
        return "own";
    case Layout::Kestrel:
        return "kestrel";
    case Layout::Plover:
        return "plover";
    }
    return "?";
}

void FakeDriver::record(const std::vector<std::string>& fields) const
{
    if (m_recordFile.empty()) {
        return;
    }
    std::string line = std::to_string(m_instance) + '\t' + std::string(layoutName());
    for (const std::string& field : fields) {
        line += '\t';
        line += FakeRecordText::escape(field);
    }
    line += '\n';
    // One write per line on a file opened for appending, so that lines never mix.
    const int fd = ::open(m_recordFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    (void)!::write(fd, line.data(), line.size());
    ::close(fd);
}
