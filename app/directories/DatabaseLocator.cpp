#include "directories/DatabaseLocator.h"

#include "directories/UserPrompt.h"
#include "text/StringTable.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

constexpr std::string_view filter = "Database File (*.mdb)|*.mdb|All Files (*.*)|*.*||";

// The path written back to the settings must not depend on the folder the program was
// started in: a bare or relative name becomes absolute.
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

} // namespace

bool DatabaseLocator::fileExists(const std::string& path)
{
    struct stat info
    { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> DatabaseLocator::locate(
    std::string path, const Texts& texts, UserPrompt& prompt,
    const std::function<bool(const std::string& path, std::string& error)>& create)
{
    bool createFailed = false;
    std::string createError;
    while (!fileExists(path)) {
        LocateRequest request;
        request.message = StringTable::substitute(texts.missingFormat, {path});
        request.path = path;
        request.fileName = std::string(texts.fileName);
        request.filter = std::string(filter);
        request.createFailed = createFailed;
        request.createError = createError;
        const LocateChoice choice = prompt.locateFile(request);
        switch (choice.action) {
        case LocateChoice::Action::Cancel:
            return std::nullopt;
        case LocateChoice::Action::Browse:
            if (!choice.path.empty()) {
                path = choice.path;
            }
            break;
        case LocateChoice::Action::Create:
            createError.clear();
            if (create(path, createError)) {
                return absolutePath(path);
            }
            createFailed = true;
            prompt.showMessage("Create database file failed", "Norvane Desk: Error",
                               PromptIcon::Stop);
            break;
        }
    }
    return absolutePath(path);
}
