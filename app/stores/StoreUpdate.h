#pragma once

#include "stores/StoreFile.h"

#include <functional>
#include <string>
#include <string_view>

// One change of a store file, made the same way by every store: check that the file may be
// replaced, take the lock file beside it, read the newest content, change it and replace the
// file atomically (StoreFile::replace), all under the lock, so that writers in other threads
// and processes never lose each other's changes and nobody sees the file half written. A
// failure sets StoreError with the update's `what` before the reason and leaves the store as
// it was.
class StoreUpdate
{
public:
    // Changes the store's content in place; false (with StoreError set) refuses the change.
    using Change = std::function<bool(std::string& bytes)>;

    // An update of `file`, whose failures read `what` ("cannot add to ...: ") and the reason.
    StoreUpdate(const StoreFile& file, std::string what);

    // Changes the store; a missing store is changed from no content, its folder made first.
    [[nodiscard]] bool createOrChange(const Change& change) const;
    // Changes the existing store; a missing one fails with StoreErrorCode::Missing, giving
    // `missingReason` as the reason when its folder exists.
    [[nodiscard]] bool changeExisting(const Change& change, std::string_view missingReason) const;
    // Deletes the store; true when it is gone (also when there was none).
    [[nodiscard]] bool remove() const;

private:
    bool apply(const Change& change, bool create, std::string_view missingReason) const;

    const StoreFile& m_file;
    std::string m_what;
};
