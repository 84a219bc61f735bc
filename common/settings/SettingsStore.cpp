#include "settings/SettingsStore.h"

#include "files/FileIo.h"
#include "files/FileLock.h"
#include "settings/RegistryEncoding.h"
#include "settings/RegistryParser.h"
#include "settings/RegistryText.h"
#include "settings/RegistryWriter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local std::string t_lastError;

// Generations are unique in the process, so a store made again for a path never repeats one.
std::uint64_t nextGeneration()
{
    static std::atomic<std::uint64_t> last {0};
    return ++last;
}

bool failWith(std::string text)
{
    t_lastError = std::move(text);
    return false;
}

const std::map<std::string_view, std::string_view>& rootAliases()
{
    static const std::map<std::string_view, std::string_view> aliases = {
        {"hkcu", "HKEY_CURRENT_USER"},
        {"hkey_current_user", "HKEY_CURRENT_USER"},
        {"hklm", "HKEY_LOCAL_MACHINE"},
        {"hkey_local_machine", "HKEY_LOCAL_MACHINE"},
    };
    return aliases;
}

} // namespace

SettingsValue SettingsValue::makeString(std::string_view name, std::string_view text)
{
    return SettingsValue {std::string(name), ValueType::String, std::string(text)};
}

SettingsValue SettingsValue::makeNumber(std::string_view name, std::uint32_t number)
{
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) {
        data[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xff);
    }
    return SettingsValue {std::string(name), ValueType::Number, std::move(data)};
}

SettingsValue SettingsValue::makeBinary(std::string_view name, std::string_view bytes)
{
    return SettingsValue {std::string(name), ValueType::Binary, std::string(bytes)};
}

std::uint32_t SettingsValue::number() const
{
    if (type != ValueType::Number || data.size() != 4) {
        return 0;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = (number << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    }
    return number;
}

std::string SettingsStore::defaultPath()
{
    if (const char* explicitPath = std::getenv("NORVANE_REGISTRY"); explicitPath && *explicitPath) {
        return explicitPath;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
        return std::string(config) + "/norvane/registry.reg";
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/norvane/registry.reg";
}

std::shared_ptr<SettingsStore> SettingsStore::current()
{
    return at(defaultPath());
}

std::shared_ptr<SettingsStore> SettingsStore::at(const std::string& path)
{
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<SettingsStore>> stores;
    // The store used last stays alive, so its parsed copy is reused between keys.
    static std::shared_ptr<SettingsStore> lastUsed;
    const std::lock_guard<std::mutex> guard(mutex);
    std::shared_ptr<SettingsStore> store = stores[path].lock();
    if (!store) {
        std::erase_if(stores, [](const auto& item) { return item.second.expired(); });
        store = std::make_shared<SettingsStore>(path);
        stores[path] = store;
    }
    lastUsed = store;
    return store;
}

std::string SettingsStore::lastErrorText()
{
    return t_lastError;
}

std::string SettingsStore::normalizeKeyName(std::string_view key)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : key) {
        if (c == '\\' || c == '/') {
            if (!part.empty()) {
                parts.push_back(std::move(part));
            }
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) {
        parts.push_back(std::move(part));
    }
    if (parts.empty()) {
        return {};
    }
    std::string root = parts.front();
    for (char& c : root) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const auto alias = rootAliases().find(root);
    if (alias == rootAliases().end()) {
        return {};
    }
    std::string normalized(alias->second);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        normalized += '\\';
        normalized += parts[i];
    }
    return normalized;
}

SettingsStore::SettingsStore(std::string path)
    : m_path(std::move(path))
    , m_document(std::make_unique<RegistryDocument>())
{ }

SettingsStore::~SettingsStore()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

namespace {

std::string tooLargeText(const std::string& path)
{
    return path + " is larger than " + std::to_string(RegistryText::maxFileSize / (1024 * 1024))
        + " MiB, far more than any registry text";
}

// Why a path that exists cannot be the store file ("" when it is a regular file).
std::string notAFile(const std::string& path, const struct stat& info)
{
    if (S_ISREG(info.st_mode)) {
        return {};
    }
    const char* what = S_ISDIR(info.st_mode) ? "a folder" : "a device or other special file";
    return "the settings store " + path + " is " + what
        + ", not a file; point NORVANE_REGISTRY at a file";
}

// The file a store path finally names: symbolic links are followed, so that a write replaces
// the link's target and keeps the link. A missing target is the path where it would be.
bool resolveLinks(const std::string& path, std::string& target, std::string& error)
{
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info
        { };
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) {
            error = FileIo::systemError("cannot follow the link", target);
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : FileIo::folderOf(target) + "/" + link;
    }
    error = "the settings store " + path + " is a loop of symbolic links";
    return false;
}

} // namespace

bool SettingsStore::refreshLocked()
{
    struct stat now
    { };
    if (::stat(m_path.c_str(), &now) != 0) {
        if (errno != ENOENT) {
            return failWith(FileIo::systemError("cannot read the settings store", m_path));
        }
        // No file yet: an empty store.
        if (m_fd >= 0 || !m_document || m_generation == 0) {
            m_generation = nextGeneration();
        }
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        m_document = std::make_unique<RegistryDocument>();
        m_inode = 0;
        m_readError.clear();
        return true;
    }
    if (const std::string why = notAFile(m_path, now); !why.empty()) {
        return failWith(why);
    }
    if (static_cast<std::uint64_t>(now.st_size) > RegistryText::maxFileSize) {
        return failWith("the settings store " + tooLargeText(m_path));
    }
    const std::int64_t mtimeNs
        = static_cast<std::int64_t>(now.st_mtim.tv_sec) * 1000000000 + now.st_mtim.tv_nsec;
    if (m_fd >= 0 && now.st_dev == m_device && now.st_ino == m_inode
        && static_cast<std::uint64_t>(now.st_size) == m_size && mtimeNs == m_mtimeNs) {
        return m_readError.empty() || failWith(m_readError);
    }
    // Non-blocking, so that a special file put there after the check cannot hang the open.
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return failWith(FileIo::systemError("cannot open the settings store", m_path));
    }
    std::string bytes;
    struct stat opened
    { };
    if (::fstat(fd, &opened) != 0 || !notAFile(m_path, opened).empty()
        || !FileIo::readAll(fd, bytes, RegistryText::maxFileSize)) {
        const std::string why = errno == EFBIG
            ? "the settings store " + tooLargeText(m_path)
            : (S_ISREG(opened.st_mode)
                   ? FileIo::systemError("cannot read the settings store", m_path)
                   : notAFile(m_path, opened));
        ::close(fd);
        return failWith(why);
    }
    auto document = std::make_unique<RegistryDocument>();
    std::string why;
    // Lenient: lines a person typed wrongly are kept as they are, never dropped. A file that
    // is no registry text at all is neither read nor ever written over.
    if (!RegistryParser::readStore(bytes, *document, why)) {
        m_readError = "the settings store " + m_path + " " + why
            + "; it is left as it is: repair it or move it away";
        m_document = std::make_unique<RegistryDocument>();
        remember(fd, opened);
        return failWith(m_readError);
    }
    m_readError.clear();
    m_document = std::move(document);
    remember(fd, opened);
    return true;
}

std::uint64_t SettingsStore::generation()
{
    const std::lock_guard lock(m_mutex);
    return refreshLocked() ? m_generation : 0;
}

void SettingsStore::remember(int fd, const struct stat& info)
{
    // Holding the file open keeps its inode number from being reused by a later file, so
    // device + inode + size + mtime identify the version we parsed.
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
    m_generation = nextGeneration();
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_size = static_cast<std::uint64_t>(info.st_size);
    m_mtimeNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

bool SettingsStore::commitLocked(const std::string& target, const RegistryDocument& document)
{
    // A file the user made read-only is theirs to keep as it is.
    struct stat existing
    { };
    if (::stat(target.c_str(), &existing) == 0
        && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return failWith("the settings store " + target
                        + " is read-only, so it is not changed; make it writable (chmod u+w) "
                          "to change settings");
    }
    std::string error;
    if (!FileIo::replaceAtomically(target, target + ".new", RegistryWriter::format(document), 0600,
                                   error)) {
        return failWith("cannot write the settings store: " + error);
    }
    // Still under the lock, so the file is the one just written.
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat written
    { };
    if (fd < 0 || ::fstat(fd, &written) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        // Forget the parsed copy: the next read parses the file again.
        m_inode = 0;
        return true;
    }
    *m_document = document;
    m_readError.clear();
    remember(fd, written);
    return true;
}

template<typename Change>
bool SettingsStore::modify(Change&& change)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    std::string target;
    std::string error;
    if (!resolveLinks(m_path, target, error)) {
        return failWith(error);
    }
    // Nothing, not even the lock file, is made beside a folder or a device.
    struct stat existing
    { };
    if (::stat(target.c_str(), &existing) == 0) {
        if (const std::string why = notAFile(m_path, existing); !why.empty()) {
            return failWith(why);
        }
    }
    if (!FileIo::makeFolders(FileIo::folderOf(target), error)) {
        return failWith(error);
    }
    // The lock lies beside the file that is replaced, whichever link led to it.
    const FileLock lock(target + ".lock");
    if (!lock.locked()) {
        return failWith(lock.error());
    }
    if (!refreshLocked()) {
        return false;
    }
    RegistryDocument document = *m_document;
    // The change returns false for a failure, or true with `changed` telling whether
    // anything needs writing.
    bool changed = false;
    if (!change(document, changed)) {
        return false;
    }
    return !changed || commitLocked(target, document);
}

namespace {

std::string checkedKey(std::string_view key)
{
    if (const std::string problem = RegistryText::nameProblem(key); !problem.empty()) {
        failWith("the key name \"" + RegistryText::printable(key) + "\" " + problem
                 + ", which the settings store cannot hold");
        return {};
    }
    std::string normalized = SettingsStore::normalizeKeyName(key);
    if (normalized.empty()) {
        failWith("the key name \"" + RegistryText::printable(key)
                 + "\" does not start with HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE");
    }
    return normalized;
}

} // namespace

bool SettingsStore::createKey(std::string_view key, bool* created)
{
    const std::string name = checkedKey(key);
    if (name.empty()) {
        return false;
    }
    bool wasAdded = false;
    {
        // Most opens find the key already there: answer without the file lock.
        const std::lock_guard<std::mutex> guard(m_mutex);
        if (refreshLocked() && m_document->keys.contains(name)) {
            if (created != nullptr) {
                *created = false;
            }
            return true;
        }
    }
    const bool ok = modify([&](RegistryDocument& document, bool& changed) {
        wasAdded = document.addKey(name);
        changed = wasAdded;
        return true;
    });
    if (created != nullptr) {
        *created = ok && wasAdded;
    }
    return ok;
}

bool SettingsStore::keyExists(std::string_view key)
{
    const std::string name = checkedKey(key);
    const std::lock_guard<std::mutex> guard(m_mutex);
    return !name.empty() && refreshLocked() && m_document->keys.contains(name);
}

std::optional<SettingsValue> SettingsStore::value(std::string_view key, std::string_view name)
{
    const std::string keyName = checkedKey(key);
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (keyName.empty() || !refreshLocked()) {
        return std::nullopt;
    }
    const auto found = m_document->keys.find(keyName);
    if (found == m_document->keys.end()) {
        return std::nullopt;
    }
    if (const RegistryEntry* entry = found->second.findValue(name)) {
        return entry->value;
    }
    return std::nullopt;
}

std::vector<SettingsValue> SettingsStore::values(std::string_view key)
{
    std::vector<SettingsValue> result;
    const std::string keyName = checkedKey(key);
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (keyName.empty() || !refreshLocked()) {
        return result;
    }
    const auto found = m_document->keys.find(keyName);
    if (found != m_document->keys.end()) {
        for (const RegistryEntry& entry : found->second.entries) {
            if (!entry.isRaw) {
                result.push_back(entry.value);
            }
        }
    }
    return result;
}

std::vector<std::string> SettingsStore::subKeys(std::string_view key)
{
    std::vector<std::string> result;
    const std::string keyName = checkedKey(key);
    const std::lock_guard<std::mutex> guard(m_mutex);
    if (keyName.empty() || !refreshLocked()) {
        return result;
    }
    const std::string prefix = keyName + "\\";
    for (auto it = m_document->keys.upper_bound(keyName); it != m_document->keys.end(); ++it) {
        const std::string& name = it->first;
        if (name.size() <= prefix.size()
            || !RegistryText::sameName(std::string_view(name).substr(0, prefix.size()), prefix)) {
            break;
        }
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        if (rest.find('\\') == std::string_view::npos) {
            result.emplace_back(rest);
        }
    }
    return result;
}

bool SettingsStore::setValue(std::string_view key, const SettingsValue& value)
{
    const std::string keyName = checkedKey(key);
    if (keyName.empty()) {
        return false;
    }
    if (const std::string problem = RegistryText::nameProblem(value.name); !problem.empty()) {
        return failWith("the value name \"" + RegistryText::printable(value.name) + "\" " + problem
                        + ", which the settings store cannot hold");
    }
    if (value.type == ValueType::String && value.data.find('\0') != std::string::npos) {
        return failWith("the string value \"" + value.name + "\" cannot hold a zero byte");
    }
    if (value.type == ValueType::Number && value.data.size() != 4) {
        return failWith("the number value \"" + value.name + "\" must be 4 bytes");
    }
    return modify([&](RegistryDocument& document, bool& changed) {
        document.addKey(keyName);
        RegistryKeyData& data = document.keys.find(keyName)->second;
        if (RegistryEntry* existing = data.findValue(value.name)) {
            changed = existing->value.type != value.type || existing->value.data != value.data
                || existing->value.name != value.name;
            existing->value = value;
        } else {
            data.entries.push_back(RegistryEntry {value, {}, false});
            changed = true;
        }
        return true;
    });
}

bool SettingsStore::deleteValue(std::string_view key, std::string_view name)
{
    const std::string keyName = checkedKey(key);
    if (keyName.empty()) {
        return false;
    }
    return modify([&](RegistryDocument& document, bool& changed) {
        const auto found = document.keys.find(keyName);
        RegistryEntry* entry
            = found == document.keys.end() ? nullptr : found->second.findValue(name);
        if (entry == nullptr) {
            return failWith("no value \"" + std::string(name) + "\" in " + keyName);
        }
        std::erase_if(found->second.entries, [&](const RegistryEntry& e) { return &e == entry; });
        changed = true;
        return true;
    });
}

bool SettingsStore::deleteKey(std::string_view key)
{
    const std::string keyName = checkedKey(key);
    if (keyName.empty()) {
        return false;
    }
    return modify([&](RegistryDocument& document, bool& changed) {
        if (!document.keys.contains(keyName)) {
            return failWith("no key " + keyName);
        }
        changed = document.removeKey(keyName);
        return true;
    });
}

bool SettingsStore::readable()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return refreshLocked();
}

std::string SettingsStore::exportText(std::string_view key)
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    (void)refreshLocked();
    if (key.empty()) {
        return RegistryWriter::format(*m_document);
    }
    return RegistryWriter::format(*m_document, normalizeKeyName(key));
}

bool SettingsStore::importText(std::string_view bytes)
{
    std::string text;
    std::string error;
    if (!RegistryEncoding::decode(bytes, text, error)) {
        return failWith("cannot import: the text " + error);
    }
    std::vector<RegistryChange> changes;
    if (!RegistryParser::parseImport(text, changes, error)) {
        return failWith("cannot import: " + error);
    }
    return modify([&](RegistryDocument& document, bool& changed) {
        document.apply(changes);
        changed = true;
        return true;
    });
}

bool SettingsStore::importFile(const std::string& path)
{
    const bool standardInput = path == "-";
    const std::string shown = standardInput ? std::string("standard input") : path;
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return failWith(FileIo::systemError("cannot read", path));
    }
    std::string bytes;
    struct stat info
    { };
    std::string why;
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        why = "cannot import " + shown + ": it is a folder, not a registry file";
    } else if (!FileIo::readAll(fd, bytes, RegistryText::maxFileSize)) {
        why = errno == EFBIG ? "cannot import " + tooLargeText(shown)
                             : FileIo::systemError("cannot read", shown);
    }
    if (!standardInput) {
        ::close(fd);
    }
    if (!why.empty()) {
        return failWith(why);
    }
    if (importText(bytes)) {
        return true;
    }
    // Name the file in the error of the text.
    constexpr std::string_view prefix = "cannot import:";
    if (t_lastError.starts_with(prefix)) {
        t_lastError = "cannot import " + shown + ":" + t_lastError.substr(prefix.size());
    }
    return false;
}
