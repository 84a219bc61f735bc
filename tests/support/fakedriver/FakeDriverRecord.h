#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

// One call the fake driver got: its instance, layout ("own", "kestrel", "plover"), dispatch
// number, call kind ("method", "get", "put"), member name ("?" for none) and arguments.
struct FakeCall
{
    int instance = 0;
    std::string layout;
    int dispId = 0;
    std::string kind;
    std::string member;
    std::vector<std::string> args;
};

// One transmission of the fake driver: what the send was given and what it returned.
struct FakeTransmission
{
    int instance = 0;
    std::string layout;
    std::string address;
    std::string providerName;
    std::string clientName;
    int code = 0;
    // Each message: the pager identifier as given to addMessage, and the text.
    std::vector<std::pair<std::string, std::string>> messages;
};

// The record file of the fake driver, read back.
class FakeDriverRecord
{
public:
    // Reads the file (an empty record when it is missing).
    explicit FakeDriverRecord(const std::string& path);

    // Every call, in order.
    const std::vector<FakeCall>& calls() const { return m_calls; }
    // Every transmission, in order.
    const std::vector<FakeTransmission>& transmissions() const { return m_transmissions; }
    // The instances created of the layout, in order of creation.
    std::vector<int> created(const std::string& layout) const;
    // The instances destroyed.
    const std::set<int>& destroyed() const { return m_destroyed; }
    // How many creations were refused.
    int refused() const { return m_refused; }
    // The create line's flags of an instance ("progress"/"headless", "parent"/"noparent").
    std::pair<std::string, std::string> createFlags(int instance) const;

private:
    std::vector<FakeCall> m_calls;
    std::vector<FakeTransmission> m_transmissions;
    std::vector<std::pair<int, std::string>> m_created;
    std::vector<std::pair<int, std::pair<std::string, std::string>>> m_flags;
    std::set<int> m_destroyed;
    int m_refused = 0;
};
