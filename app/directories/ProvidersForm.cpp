#include "directories/ProvidersForm.h"

#include "text/StringTable.h"

namespace {

// An edit's text as "Add" reads it: at most maxFieldLength characters.
std::string fieldText(std::string_view text)
{
    std::string cut;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A UTF-8 character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80
            && ++characters > ProvidersForm::maxFieldLength) {
            break;
        }
        cut += text[i];
    }
    return cut;
}

} // namespace

ProvidersForm::ProvidersForm(ProviderDatabase& database)
    : m_database(database)
{ }

std::vector<Provider> ProvidersForm::rows()
{
    std::vector<Provider> rows;
    if (!m_database.beginIteration()) {
        return rows;
    }
    Provider row;
    while (!m_database.atEnd() && m_database.next(row.name, row.phone)) {
        rows.push_back(row);
    }
    m_database.endIteration();
    return rows;
}

ProvidersForm::AddOutcome ProvidersForm::add(std::string_view name, std::string_view phone,
                                             const std::function<bool()>& confirmReplace)
{
    AddOutcome outcome;
    const std::string newName = fieldText(name);
    if (newName.empty()) {
        outcome.messageId = noNameId;
        return outcome;
    }
    const std::string newPhone = fieldText(phone);
    if (newPhone.empty()) {
        outcome.messageId = noPhoneId;
        return outcome;
    }
    std::string stored;
    const bool exists = m_database.getPhone(newName, stored);
    if (exists && !confirmReplace()) {
        return outcome;
    }
    // An existing provider is changed in place rather than deleted and added again: a failed
    // add would otherwise lose it.
    const bool done
        = exists ? m_database.replace(newName, newPhone) : m_database.add(newName, newPhone);
    outcome.changed = done;
    // A database error was reported by the database itself, and a database the user went on
    // without fails quietly; a refused value (too long) is the dialog's to say.
    if (!done && !m_database.isUnavailable() && ProviderDatabase::lastError() == 0) {
        outcome.error = ProviderDatabase::lastErrorText();
    }
    return outcome;
}

ProvidersForm::DeleteOutcome
ProvidersForm::remove(const std::vector<std::string>& selected,
                      const std::function<DeleteAnswer(const std::string& name)>& ask)
{
    DeleteOutcome outcome;
    std::vector<std::string> chosen;
    for (const std::string& name : selected) {
        switch (ask(name)) {
        case DeleteAnswer::Cancel:
            return outcome;
        case DeleteAnswer::Yes:
            chosen.push_back(name);
            break;
        case DeleteAnswer::No:
            break;
        }
    }
    for (const std::string& name : chosen) {
        if (m_database.remove(name)) {
            outcome.removed.push_back(name);
        } else {
            outcome.failed.push_back(name);
            outcome.error = ProviderDatabase::lastErrorText();
        }
    }
    return outcome;
}

std::string ProvidersForm::deleteQuestion(std::string_view name)
{
    return StringTable::substitute(deleteText, {name});
}
