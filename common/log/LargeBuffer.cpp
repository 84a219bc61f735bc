#include "log/LargeBuffer.h"

#include <cstdlib>
#include <sys/mman.h>

namespace {

constexpr std::size_t largePage = std::size_t {2} << 20;

bool mapped(std::size_t bytes)
{
    return bytes >= largePage;
}

std::size_t roundedUp(std::size_t bytes)
{
    return (bytes + largePage - 1) & ~(largePage - 1);
}

} // namespace

void* LargeBuffer::allocate(std::size_t bytes)
{
    if (!mapped(bytes)) {
        void* block = std::malloc(bytes > 0 ? bytes : 1);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        return block;
    }
    const std::size_t size = roundedUp(bytes);
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Only advice: where large pages are off or scarce, the block has ordinary pages.
    (void)::madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void LargeBuffer::release(void* block, std::size_t bytes) noexcept
{
    if (block == nullptr) {
        return;
    }
    if (!mapped(bytes)) {
        std::free(block);
        return;
    }
    (void)::munmap(block, roundedUp(bytes));
}
