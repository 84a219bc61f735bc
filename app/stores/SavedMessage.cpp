#include "stores/SavedMessage.h"

RecordGuard RecordGuard::named(std::string_view name)
{
    RecordGuard guard;
    guard.name = std::string(name);
    return guard;
}

RecordGuard RecordGuard::exactly(const SavedMessage& record)
{
    RecordGuard guard;
    guard.name = record.name;
    guard.wholeRecord = true;
    guard.record = record;
    return guard;
}

bool RecordGuard::matches(const SavedMessage& found) const
{
    return wholeRecord ? found == record : found.name == name;
}
