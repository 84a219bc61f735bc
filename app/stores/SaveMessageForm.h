#pragma once

#include <string>
#include <string_view>
#include <vector>

class SavedMessageStore;

// The rules of the "Save Message" dialog, free of any widget: the names it lists, and what OK
// does with a name. A new name appends a record; an existing one is replaced only after the
// user said yes, keeping its schedule and last send; a recipient list or message that a record
// cannot hold is refused with a text saying which and by how much, never cut.
class SaveMessageForm
{
public:
    // What OK led to.
    enum class Step {
        StayOpen, // the name is empty: nothing happens
        AskReplace, // a message of that name exists: ask, then replace() on yes
        Refused, // nothing saved; errorText() says why
        Saved, // the message is in the store
    };

    // The form saving `recipients` and `message` with `schedule` ("" stores "-") in `store`,
    // which must outlive it.
    SaveMessageForm(SavedMessageStore& store, std::string recipients, std::string message,
                    std::string schedule = {});

    // Every name of the store (all records), sorted without regard to letter case.
    std::vector<std::string> names() const;
    // OK with `name`: appends a new message or asks to replace an existing one.
    Step submit(std::string_view name);
    // Yes to the replace question: the recipients and message of the message named `name`
    // are replaced; its schedule and last send stay. Saved or Refused.
    Step replace(std::string_view name);

    // Why the recipients and message do not fit a record saved under `name`, saying which
    // and by how many characters; "" when they fit.
    std::string limitProblem(std::string_view name) const;
    // Why the last submit() or replace() was refused.
    const std::string& errorText() const { return m_errorText; }

private:
    Step refuse(std::string text);

    SavedMessageStore& m_store;
    std::string m_recipients;
    std::string m_message;
    std::string m_schedule;
    std::string m_errorText;
};
