#include "FakeDriverRecord.h"

#include "FakeRecordText.h"

#include <cstdlib>
#include <fstream>

FakeDriverRecord::FakeDriverRecord(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = FakeRecordText::split(line);
        if (fields.size() < 3) {
            continue;
        }
        const int instance = std::atoi(fields[0].c_str());
        const std::string& layout = fields[1];
        const std::string& event = fields[2];
        if (event == "create" && fields.size() >= 5) {
            m_created.emplace_back(instance, layout);
            m_flags.push_back({instance, {fields[3], fields[4]}});
        } else if (event == "destroy") {
            m_destroyed.insert(instance);
        } else if (event == "refused") {
            ++m_refused;
        } else if (event == "call" && fields.size() >= 6) {
            FakeCall call {instance,  layout,    std::atoi(fields[3].c_str()),
                           fields[4], fields[5], {}};
            call.args.assign(fields.begin() + 6, fields.end());
            m_calls.push_back(std::move(call));
        } else if (event == "transmit" && fields.size() >= 7) {
            FakeTransmission transmission {instance,  layout,    fields[3],
                                           fields[4], fields[5], std::atoi(fields[6].c_str()),
                                           {}};
            for (std::size_t i = 7; i + 1 < fields.size(); i += 2) {
                transmission.messages.emplace_back(fields[i], fields[i + 1]);
            }
            m_transmissions.push_back(std::move(transmission));
        }
    }
}

std::vector<int> FakeDriverRecord::created(const std::string& layout) const
{
    std::vector<int> instances;
    for (const auto& [instance, createdLayout] : m_created) {
        if (createdLayout == layout) {
            instances.push_back(instance);
        }
    }
    return instances;
}

std::pair<std::string, std::string> FakeDriverRecord::createFlags(int instance) const
{
    for (const auto& [created, flags] : m_flags) {
        if (created == instance) {
            return flags;
        }
    }
    return {};
}
