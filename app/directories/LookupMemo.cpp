#include "directories/LookupMemo.h"

namespace {

// Bounds the memory a stream of distinct look-ups can take.
constexpr std::size_t maxAnswers = 512;

} // namespace

const std::optional<std::string>* LookupMemo::find(std::optional<std::uint64_t> version,
                                                   std::string_view key) const
{
    if (!version || version != m_version) {
        return nullptr;
    }
    const auto found = m_answers.find(std::string(key));
    return found != m_answers.end() ? &found->second : nullptr;
}

void LookupMemo::keep(std::optional<std::uint64_t> version, std::string_view key,
                      std::optional<std::string> answer)
{
    if (!version) {
        return;
    }
    if (version != m_version || m_answers.size() >= maxAnswers) {
        m_answers.clear();
        m_version = version;
    }
    m_answers.insert_or_assign(std::string(key), std::move(answer));
}
