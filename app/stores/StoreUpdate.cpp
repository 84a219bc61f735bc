#include "stores/StoreUpdate.h"

#include "files/FileLock.h"
#include "stores/StoreError.h"

StoreUpdate::StoreUpdate(const StoreFile& file, std::string what)
    : m_file(file)
    , m_what(std::move(what))
{ }

bool StoreUpdate::createOrChange(const Change& change) const
{
    return apply(change, true, {});
}

bool StoreUpdate::changeExisting(const Change& change, std::string_view missingReason) const
{
    return apply(change, false, missingReason);
}

bool StoreUpdate::apply(const Change& change, bool create, std::string_view missingReason) const
{
    std::string error;
    if (!m_file.checkChangeable(error) || (create && !m_file.makeFolder(error))) {
        return StoreError::set(StoreErrorCode::Io, m_what + error);
    }
    const FileLock lock(m_file.lockPath());
    if (!lock.locked()) {
        // A missing folder makes the lock file fail first; report it as the missing store.
        if (!create && m_file.modificationTime() < 0) {
            return StoreError::set(StoreErrorCode::Missing,
                                   m_what + m_file.path() + " does not exist");
        }
        return StoreError::set(StoreErrorCode::Io, m_what + lock.error());
    }
    std::string bytes;
    switch (m_file.read(bytes, error)) {
    case StoreFile::ReadResult::Read:
        break;
    case StoreFile::ReadResult::Missing:
        if (!create) {
            return StoreError::set(StoreErrorCode::Missing, m_what + std::string(missingReason));
        }
        bytes.clear();
        break;
    case StoreFile::ReadResult::Failed:
        return StoreError::set(StoreErrorCode::Io, m_what + error);
    }
    if (!change(bytes)) {
        return false;
    }
    if (!m_file.replace(bytes, error)) {
        return StoreError::set(StoreErrorCode::Io, m_what + error);
    }
    return true;
}

bool StoreUpdate::remove() const
{
    // Without the file there is nothing to delete (and without its folder no lock file could
    // be made).
    if (m_file.modificationTime() < 0) {
        return true;
    }
    std::string error;
    if (!m_file.checkChangeable(error)) {
        return StoreError::set(StoreErrorCode::Io, m_what + error);
    }
    const FileLock lock(m_file.lockPath());
    if (!lock.locked()) {
        return StoreError::set(StoreErrorCode::Io, m_what + lock.error());
    }
    if (!m_file.remove(error)) {
        return StoreError::set(StoreErrorCode::Io, m_what + error);
    }
    return true;
}
