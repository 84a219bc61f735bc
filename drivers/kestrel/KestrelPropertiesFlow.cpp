#include "kestrel/KestrelPropertiesFlow.h"

#include "text/TextNumber.h"

#include <algorithm>

namespace {

std::int32_t boxNumber(const std::string& text)
{
    // The dialog hands back at most a box's worth; a longer text is read as far as a box holds.
    return TextNumber::atoi(std::string_view(text).substr(0, KestrelDialogEntry::maxBoxText));
}

} // namespace

KestrelDialogRecord
KestrelPropertiesFlow::open(const KestrelSettings::ForDialog& values,
                            const std::vector<std::optional<std::string>>& devices)
{
    KestrelDialogRecord record;
    const std::vector<std::uint32_t>& listed = values.modems.devices;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        KestrelDeviceRow row;
        row.device = static_cast<std::uint32_t>(i);
        if (!devices[i]) {
            row.name = std::string(unknownDevice);
            row.mark = DeviceMark::Unavailable;
        } else {
            row.name = *devices[i];
            const bool selected = !values.modems.present
                || std::find(listed.begin(), listed.end(), row.device) != listed.end();
            row.mark = selected ? DeviceMark::Selected : DeviceMark::NotSelected;
        }
        record.rows.push_back(std::move(row));
    }
    record.promptTimeout = std::to_string(values.maxPromptTimeout);
    record.readTimeout = std::to_string(values.maxReadTimeout);
    record.resends = std::to_string(values.maxSendPacket);
    record.transChars = values.transChars;
    return record;
}

bool KestrelPropertiesFlow::store(SettingsKey& key, const KestrelDialogRecord& record)
{
    std::vector<std::uint32_t> selected;
    const std::size_t looked = std::min(record.rows.size(), maxRowsCollected);
    for (std::size_t i = 0; i < looked; ++i) {
        if (record.rows[i].mark == DeviceMark::Selected) {
            selected.push_back(record.rows[i].device);
        }
    }
    KestrelSettings::ForDialog values;
    values.maxSendPacket = boxNumber(record.resends);
    values.maxReadTimeout = boxNumber(record.readTimeout);
    values.maxPromptTimeout = boxNumber(record.promptTimeout);
    values.transChars = record.transChars;
    return KestrelSettings::storeFromDialog(key, selected, selected.size() == record.rows.size(),
                                            values);
}
