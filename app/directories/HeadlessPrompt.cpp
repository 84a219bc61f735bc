#include "directories/HeadlessPrompt.h"

#include "log/LogFile.h"
#include "log/LogLevel.h"

#include <ostream>

HeadlessPrompt::HeadlessPrompt(std::ostream* echo, std::string echoPrefix)
    : m_echo(echo)
    , m_echoPrefix(std::move(echoPrefix))
{ }

std::string HeadlessPrompt::oneLine(std::string_view text)
{
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

void HeadlessPrompt::emit(int level, const std::string& line, bool echo)
{
    // A log of its own per line: the settings (log path, level) are read afresh, as they may
    // change while the program runs.
    LogFile log;
    (void)log.write(level, "Local", "%s", line.c_str());
    if (m_echo && echo) {
        const std::lock_guard lock(m_mutex);
        *m_echo << m_echoPrefix << line << '\n';
        m_echo->flush();
    }
}

void HeadlessPrompt::showMessage(std::string_view text, std::string_view caption, PromptIcon icon)
{
    const int level = icon == PromptIcon::Stop ? LogLevel::Errors : LogLevel::Info;
    emit(level, std::string(caption) + ": " + oneLine(text));
}

bool HeadlessPrompt::askYesNo(std::string_view text, std::string_view caption, PromptIcon)
{
    emit(LogLevel::Info, std::string(caption) + ": " + oneLine(text) + " (answered No)");
    return false;
}

LocateChoice HeadlessPrompt::locateFile(const LocateRequest& request)
{
    if (request.createFailed) {
        emit(LogLevel::Errors,
             "Going on without " + request.path
                 + (request.createError.empty() ? std::string() : ": " + request.createError));
        return {LocateChoice::Action::Cancel, {}};
    }
    emit(LogLevel::Trans, oneLine(request.message) + ": creating it");
    return {LocateChoice::Action::Create, {}};
}

void HeadlessPrompt::reportDatabaseError(std::string_view context, std::string_view description,
                                         int code)
{
    std::string line(context);
    if (!line.empty()) {
        line += ": ";
    }
    line += std::string(description) + "   (" + std::to_string(code) + ")";
    emit(LogLevel::Errors, line, false);
}
