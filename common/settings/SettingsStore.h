#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The type of a stored value, as the registry export format spells it.
enum class ValueType { String, Number, Binary };

// One named value of a key: a string, a 32-bit number or a binary block.
struct SettingsValue
{
    std::string name; // "" is the key's default value ("@" in the file)
    ValueType type = ValueType::String;
    std::string data; // the text, the number as 4 little-endian bytes, or the raw bytes

    // A string value holding the text.
    static SettingsValue makeString(std::string_view name, std::string_view text);
    // A number value holding the 32-bit number.
    static SettingsValue makeNumber(std::string_view name, std::uint32_t number);
    // A binary value holding the bytes.
    static SettingsValue makeBinary(std::string_view name, std::string_view bytes);
    // The number of a Number value (0 for other types).
    std::uint32_t number() const;
};

struct RegistryDocument;
struct stat;

// The per-user settings store: one text file in the registry export format, shared by
// every thread and process of the suite. Reads see another process's write at their next
// call; writes take an exclusive lock, merge onto the newest file and replace it atomically
// (through a symbolic link, the link's target). A file that is no registry text, a folder or
// device at the path, a file over RegistryText::maxFileSize and a read-only file are never
// written over; every operation on them fails with lastErrorText() saying why.
// Key names are full paths ("HKEY_CURRENT_USER\SOFTWARE\..."), compared without case; names
// holding a line break or a zero byte are refused, as the file could not hold them.
class SettingsStore
{
public:
    // The store file: $NORVANE_REGISTRY if set, else $XDG_CONFIG_HOME (or
    // ~/.config)/norvane/registry.reg.
    static std::string defaultPath();
    // The store at defaultPath(); one object per path is shared within the process.
    static std::shared_ptr<SettingsStore> current();
    // The store at the given file path; one object per path is shared within the process.
    static std::shared_ptr<SettingsStore> at(const std::string& path);
    // The last failure of a store operation on the calling thread, as a sentence.
    static std::string lastErrorText();
    // A key name in its canonical form: HKCU/HKLM spelled out, "/" read as "\", no empty parts.
    static std::string normalizeKeyName(std::string_view key);

    explicit SettingsStore(std::string path);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The path of the store file.
    const std::string& path() const { return m_path; }
    // A number that changes whenever the store's contents may have changed (here or in another
    // process) and is never given to another version or store in this process; 0 when the
    // store cannot be read. Lets readers keep what they derived from the settings until then.
    std::uint64_t generation();
    // Creates the key and its missing ancestors; `created` tells whether it was new.
    [[nodiscard]] bool createKey(std::string_view key, bool* created = nullptr);
    // Whether the key exists.
    bool keyExists(std::string_view key);
    // The named value of the key, if both exist.
    std::optional<SettingsValue> value(std::string_view key, std::string_view name);
    // Every value of the key in stored order (empty when the key does not exist).
    std::vector<SettingsValue> values(std::string_view key);
    // The names of the key's direct subkeys.
    std::vector<std::string> subKeys(std::string_view key);
    // Stores the value, creating the key when missing.
    [[nodiscard]] bool setValue(std::string_view key, const SettingsValue& value);
    // Removes the value; false when it did not exist or the store could not be written.
    [[nodiscard]] bool deleteValue(std::string_view key, std::string_view name);
    // Removes the key with all its subkeys and values; false when it did not exist.
    [[nodiscard]] bool deleteKey(std::string_view key);
    // Whether the store file can be read: a missing file is an empty store; a folder, a
    // device, a file too large or one that is not a registry text is an error (lastErrorText()).
    [[nodiscard]] bool readable();
    // The whole store, or one key with its subkeys, in the registry export format.
    std::string exportText(std::string_view key = {});
    // Merges a registry export text into the store, its lines applied in order ("[-key]" and
    // "name"=- delete); UTF-16 with a byte-order mark is read too. Nothing is changed when
    // the text has an error, which lastErrorText() names by line.
    [[nodiscard]] bool importText(std::string_view text);
    // importText() with the content of the file ("-": standard input), read up to
    // RegistryText::maxFileSize; a folder is refused. lastErrorText() names the file.
    [[nodiscard]] bool importFile(const std::string& path);

private:
    bool refreshLocked();
    void remember(int fd, const struct stat& info);
    bool commitLocked(const std::string& target, const RegistryDocument& document);
    template<typename Change>
    bool modify(Change&& change);

    std::string m_path;
    std::mutex m_mutex;
    std::unique_ptr<RegistryDocument> m_document;
    int m_fd = -1; // the file last read, held open (see remember())
    // Identity of the file last read, to notice other writers: device, inode, size, mtime.
    std::uint64_t m_device = 0, m_inode = 0, m_size = 0;
    std::int64_t m_mtimeNs = -1;
    std::uint64_t m_generation = 0; // see generation(); changed by remember() and a lost file
    std::string m_readError; // why the file last read cannot be used ("" when it can)
};
