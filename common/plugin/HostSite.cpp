#include "plugin/HostSite.h"

#include <cstddef>
#include <cstdint>

namespace {

// Whether a site of the given size holds the member that ends at `end`.
constexpr bool covers(std::uint32_t size, std::size_t end)
{
    return size >= end;
}

} // namespace

HostSite::HostSite(const NvHostSite* site)
{
    if (site == nullptr) {
        return;
    }
    const std::uint32_t size = site->size;
    if (covers(size, offsetof(NvHostSite, flags) + sizeof site->flags)) {
        m_flags = site->flags;
    }
    if (covers(size, offsetof(NvHostSite, parentWindow) + sizeof site->parentWindow)) {
        m_parentWindow = site->parentWindow;
    }
    // The callback and its context arrived together; one without the other is useless.
    if (covers(size, offsetof(NvHostSite, cancelContext) + sizeof site->cancelContext)) {
        m_isCancelled = site->isCancelled;
        m_cancelContext = site->cancelContext;
    }
}

bool HostSite::isCancelled() const
{
    return m_isCancelled != nullptr && m_isCancelled(m_cancelContext) != 0;
}
