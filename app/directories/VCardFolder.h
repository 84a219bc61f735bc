#pragma once

#include "directories/VCard.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// One contact as the folder lists it: the file and the card's place in it, its name and
// pager number.
struct VCardEntry
{
    std::string fileName;
    std::string name;
    std::string pagerInfo;
};

// A folder of vCard files, one contact per file (the layout that contact sync tools use).
// Files are listed in file-name order; parsed files are cached and read again only when
// they change on disk. Every write goes to a temporary file that then replaces the target,
// so a reader never sees half a card. Not thread-safe: its owner serialises the calls.
class VCardFolder
{
public:
    // The folder at the path (it is not touched until used).
    explicit VCardFolder(std::string path);

    // The folder's path.
    const std::string& path() const { return m_path; }
    // The named cards of the folder's ".vcf" files (hidden files skipped), at most `limit`
    // of them when limit is not 0. False with `error` when the folder cannot be read; a
    // file that cannot be read is skipped.
    [[nodiscard]] bool entries(std::vector<VCardEntry>& out, std::size_t limit, std::string& error);
    // Writes a new card (VCard::make with a fresh UUID as its UID) to a new file named after
    // the UUID; gives the file's name.
    [[nodiscard]] bool addCard(std::string_view name, std::string_view pagerInfo,
                               std::string& fileName, std::string& error);
    // Reads the file afresh, applies `change` to the first card named `name` (any case) and
    // writes the file back; a change returning false removes the card (and an emptied file).
    // False with `error` when the file or card is gone or the write fails.
    [[nodiscard]] bool changeCard(const std::string& fileName, std::string_view name,
                                  const std::function<bool(VCard&)>& change, std::string& error);

    // A new random UUID in its text form ("xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx").
    static std::string newUuid();

private:
    struct CachedFile
    {
        std::int64_t modifiedNs = 0;
        std::int64_t size = 0;
        std::uint64_t inode = 0;
        std::vector<VCardEntry> entries;
    };

    // Replaces the file through a temporary one; with `nameTaken` the file must be new, and
    // *nameTaken tells whether its name was in use.
    bool writeFile(const std::string& fileName, const std::string& text, bool* nameTaken,
                   std::string& error);
    std::string fullPath(std::string_view fileName) const;

    // Lists the folder's card files in name order into m_names, reusing the last listing
    // while the folder is unchanged.
    bool listNames(std::string& error);

    std::string m_path;
    std::map<std::string, CachedFile> m_cache;
    std::vector<std::string> m_names;
    bool m_listed = false;
    std::int64_t m_listedModifiedNs = 0;
    std::uint64_t m_listedInode = 0;
};
