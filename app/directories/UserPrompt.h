#pragma once

#include <string>
#include <string_view>

// The icon of a message box.
enum class PromptIcon { Stop, Exclamation, Question, Information };

// What the "Norvane Desk: Error" locate dialog is asked to show for a missing database file.
struct LocateRequest
{
    std::string message; // "Cannot find the ... database file\n[<path>]\n"
    std::string path; // the path that was looked for
    std::string fileName; // the name the open-file dialog offers ("pspDbs.mdb")
    std::string filter; // the open-file dialog's filter
    bool createFailed = false; // the previous "C&reate" of this locate failed
    std::string createError; // why it failed ("" when it did not)
};

// The user's answer to the locate dialog: create the file at the path, use another file
// (`path`), or go on without the file.
struct LocateChoice
{
    enum class Action { Create, Browse, Cancel };
    Action action = Action::Cancel;
    std::string path;
};

// The questions and messages the directories put to the user. The GUI fills it with dialogs;
// without a GUI a HeadlessPrompt logs them and answers for the user. Implementations may be
// called from any thread that uses a directory.
class UserPrompt
{
public:
    virtual ~UserPrompt() = default;
    // Shows a message with an OK button.
    virtual void showMessage(std::string_view text, std::string_view caption, PromptIcon icon) = 0;
    // Asks a Yes/No question; true for "Yes".
    virtual bool askYesNo(std::string_view text, std::string_view caption, PromptIcon icon) = 0;
    // The locate dialog for a missing database file.
    virtual LocateChoice locateFile(const LocateRequest& request) = 0;
    // Reports a failed database operation: the operation's context ("PSP Add Failed", or empty
    // for the address book), the database's description and its error code.
    virtual void reportDatabaseError(std::string_view context, std::string_view description,
                                     int code)
        = 0;
};
