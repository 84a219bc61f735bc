#include "directories/VCardFolder.h"

#include "files/FileIo.h"
#include "text/TextLimits.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isCardFile(const char* name)
{
    const std::string_view text(name);
    return !text.empty() && text.front() != '.' && text.size() > 4
        && TextLimits::equalsNoCase(text.substr(text.size() - 4), ".vcf");
}

// The card file, read as every store is: a regular file of bounded size (errno set on failure).
bool readWhole(const std::string& path, std::string& text)
{
    std::string error;
    const int fd = FileIo::openRegularFile(path, error);
    if (fd < 0) {
        return false;
    }
    const bool read = FileIo::readAll(fd, text);
    const int why = errno;
    ::close(fd);
    errno = why;
    return read;
}

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

} // namespace

VCardFolder::VCardFolder(std::string path)
    : m_path(std::move(path))
{ }

std::string VCardFolder::fullPath(std::string_view fileName) const
{
    std::string path = m_path;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + std::string(fileName);
}

bool VCardFolder::listNames(std::string& error)
{
    struct stat info
    { };
    if (::stat(m_path.c_str(), &info) != 0) {
        error = systemError("cannot read the folder " + m_path);
        return false;
    }
    const std::int64_t modified
        = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    const std::int64_t now = static_cast<std::int64_t>(::time(nullptr)) * 1000000000;
    // A folder changed in the last seconds may change again within the same time stamp (file
    // times are coarse), so its listing is trusted only once its time stamp has aged.
    if (m_listed && modified == m_listedModifiedNs && info.st_ino == m_listedInode
        && now - modified > 2000000000LL) {
        return true;
    }
    DIR* folder = ::opendir(m_path.c_str());
    if (!folder) {
        error = systemError("cannot read the folder " + m_path);
        return false;
    }
    m_names.clear();
    while (const dirent* entry = ::readdir(folder)) {
        if (isCardFile(entry->d_name)) {
            m_names.emplace_back(entry->d_name);
        }
    }
    ::closedir(folder);
    std::sort(m_names.begin(), m_names.end());
    m_listed = true;
    m_listedModifiedNs = modified;
    m_listedInode = info.st_ino;
    return true;
}

std::string VCardFolder::newUuid()
{
    // random_device reads the kernel's generator, so two processes never share a sequence.
    std::random_device device;
    unsigned char bytes[16];
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(device() & 0xFF);
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                  bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

bool VCardFolder::entries(std::vector<VCardEntry>& out, std::size_t limit, std::string& error)
{
    out.clear();
    if (!listNames(error)) {
        return false;
    }
    const std::vector<std::string>& names = m_names;

    // Forget files that are gone, so the cache never outgrows the folder.
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        it = std::binary_search(names.begin(), names.end(), it->first) ? std::next(it)
                                                                       : m_cache.erase(it);
    }
    for (const std::string& name : names) {
        if (limit != 0 && out.size() >= limit) {
            break;
        }
        struct stat info
        { };
        if (::stat(fullPath(name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const std::int64_t modified
            = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        auto cached = m_cache.find(name);
        if (cached == m_cache.end() || cached->second.modifiedNs != modified
            || cached->second.size != info.st_size || cached->second.inode != info.st_ino) {
            std::string text;
            if (!readWhole(fullPath(name), text)) {
                continue;
            }
            CachedFile file {modified,
                             static_cast<std::int64_t>(info.st_size),
                             static_cast<std::uint64_t>(info.st_ino),
                             {}};
            for (const VCard& card : VCard::parse(text)) {
                std::string cardName = card.name();
                if (!cardName.empty()) {
                    file.entries.push_back({name, std::move(cardName), card.pagerInfo()});
                }
            }
            cached = m_cache.insert_or_assign(name, std::move(file)).first;
        }
        for (const VCardEntry& entry : cached->second.entries) {
            if (limit != 0 && out.size() >= limit) {
                break;
            }
            out.push_back(entry);
        }
    }
    return true;
}

bool VCardFolder::addCard(std::string_view name, std::string_view pagerInfo, std::string& fileName,
                          std::string& error)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string uuid = newUuid();
        const VCard card = VCard::make(name, pagerInfo, "urn:uuid:" + uuid);
        fileName = uuid + ".vcf";
        bool nameTaken = false;
        if (writeFile(fileName, card.text(), &nameTaken, error)) {
            return true;
        }
        if (!nameTaken) {
            return false;
        }
    }
    return false;
}

bool VCardFolder::changeCard(const std::string& fileName, std::string_view name,
                             const std::function<bool(VCard&)>& change, std::string& error)
{
    std::string text;
    if (!readWhole(fullPath(fileName), text)) {
        error = systemError("cannot read " + fullPath(fileName));
        return false;
    }
    std::vector<VCard> cards = VCard::parse(text);
    const auto card = std::find_if(cards.begin(), cards.end(), [name](const VCard& candidate) {
        return TextLimits::equalsNoCase(candidate.name(), name);
    });
    if (card == cards.end()) {
        error = "no card named \"" + std::string(name) + "\" in " + fullPath(fileName);
        return false;
    }
    if (!change(*card)) {
        cards.erase(card);
    }
    m_cache.erase(fileName);
    if (cards.empty()) {
        if (::unlink(fullPath(fileName).c_str()) != 0) {
            error = systemError("cannot delete " + fullPath(fileName));
            return false;
        }
        return true;
    }
    std::string rewritten;
    for (const VCard& kept : cards) {
        rewritten += kept.text();
    }
    return writeFile(fileName, rewritten, nullptr, error);
}

bool VCardFolder::writeFile(const std::string& fileName, const std::string& text, bool* nameTaken,
                            std::string& error)
{
    const bool mustBeNew = nameTaken != nullptr;
    const std::string target = fullPath(fileName);
    std::string temporary = fullPath("." + fileName + ".XXXXXX");
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = systemError("cannot create a file in " + m_path);
        return false;
    }
    struct stat old
    { };
    if (!mustBeNew && ::stat(target.c_str(), &old) == 0) {
        (void)::fchmod(fd, old.st_mode & 07777); // a rewrite keeps the file's permissions
    }
    const bool written = FileIo::writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    ::close(fd);
    if (!written) {
        ::unlink(temporary.c_str());
        errno = writeErrno;
        error = systemError("cannot write " + target);
        return false;
    }
    int result = 0;
    if (mustBeNew) {
        // link() fails when the name is taken, so an existing contact is never replaced; on a
        // file system without hard links, a check before the rename has to do.
        result = ::link(temporary.c_str(), target.c_str());
        if (result != 0 && errno != EEXIST) {
            struct stat existing
            { };
            if (::stat(target.c_str(), &existing) == 0) {
                errno = EEXIST;
            } else {
                result = ::rename(temporary.c_str(), target.c_str());
            }
        }
        if (result != 0 && errno == EEXIST) {
            *nameTaken = true;
        }
    } else {
        result = ::rename(temporary.c_str(), target.c_str());
    }
    const int resultErrno = errno;
    ::unlink(temporary.c_str()); // after link() the temporary name is a second link
    if (result != 0) {
        errno = resultErrno;
        error = systemError("cannot write " + target);
        return false;
    }
    m_cache.erase(fileName);
    return true;
}
