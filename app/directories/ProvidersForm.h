#pragma once

#include "directories/ProviderDatabase.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The rules of the "Paging Service Providers" dialog without its window: filling the list,
// adding (with its refusals and the replace question) and deleting the selected providers.
class ProvidersForm
{
public:
    static constexpr std::string_view caption = "Paging Service Providers";
    // Message 118, shown when "Add" finds no name.
    static constexpr int noNameId = 118;
    static constexpr std::string_view noNameText = "Please fill in the name of the Paging Company";
    static constexpr std::string_view noNameHelpKey = "HIDS_ERM_NOPSPNAME";
    // Message 119, asked when the name is listed already.
    static constexpr std::string_view replaceText
        = "PSP exists already. Do you want to replace it?";
    // Message 120, shown when "Add" finds no number.
    static constexpr int noPhoneId = 120;
    static constexpr std::string_view noPhoneText = "Please fill in the phone number";
    static constexpr std::string_view noPhoneHelpKey = "HIDS_ERM_NOPSPPHONE";
    // The question per selected row of "Delete" ("%s": the name).
    static constexpr std::string_view deleteText = "Delete paging service provider \"%s\"?";
    // The most characters "Add" reads from either edit.
    static constexpr std::size_t maxFieldLength = 127;

    // What "Add" came to: the message refusing it (0 when none), whether the database changed
    // (the list is then filled again) and why a value was refused (empty when none was: the
    // database reports its own errors, and an unavailable one fails quietly).
    struct AddOutcome
    {
        int messageId = 0;
        bool changed = false;
        std::string error;
    };

    // The answers to the per-row question of "Delete".
    enum class DeleteAnswer { Yes, No, Cancel };

    // What "Delete" came to: the names deleted and those that could not be (with why).
    struct DeleteOutcome
    {
        std::vector<std::string> removed;
        std::vector<std::string> failed;
        std::string error;
    };

    // A form over the program's provider database.
    explicit ProvidersForm(ProviderDatabase& database);

    // The rows of the list in the database's order: an iteration read to its end (empty when
    // the database is unavailable or the iteration fails).
    std::vector<Provider> rows();
    // "Add": refuses an empty name (118) or number (120), asks `confirmReplace` (the replace
    // question) when the name is stored already, and then adds, or replaces the number as one
    // change, so the provider is never missing.
    AddOutcome add(std::string_view name, std::string_view phone,
                   const std::function<bool()>& confirmReplace);
    // "Delete": asks `ask` for each selected name in turn; Cancel ends at once with nothing
    // deleted; then deletes every name answered Yes.
    DeleteOutcome remove(const std::vector<std::string>& selected,
                         const std::function<DeleteAnswer(const std::string& name)>& ask);
    // The question "Delete" asks for the name.
    static std::string deleteQuestion(std::string_view name);

private:
    ProviderDatabase& m_database;
};
