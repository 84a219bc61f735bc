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
