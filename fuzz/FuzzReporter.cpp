#include "FuzzReporter.h"

#include <algorithm>

void FuzzReporter::setPhase(int phase)
{
    m_badPhase = m_badPhase || phase < 0 || phase > 4;
}

void FuzzReporter::setStatus(std::string text)
{
    m_longestStatus = std::max(m_longestStatus, text.size());
}

void FuzzReporter::setProgress(int value)
{
    m_lowestProgress = std::min(m_lowestProgress, value);
    m_highestProgress = std::max(m_highestProgress, value);
}

bool FuzzReporter::reportsBounded(int progressLimit) const
{
    return !m_badPhase && m_lowestProgress >= 0 && m_highestProgress <= progressLimit
        && m_longestStatus <= 200;
}

bool addFuzzMessages(MessageList& messages, int count, std::string_view texts)
{
    static constexpr std::string_view recipients[] = {"1234567", "0", "-42", "2147483647"};
    for (int i = 0; i < count && i < 4; ++i) {
        const std::size_t end = texts.find('\n');
        if (!messages.add(recipients[i], texts.substr(0, end))) {
            return false;
        }
        texts.remove_prefix(end == std::string_view::npos ? texts.size() : end + 1);
    }
    return true;
}
