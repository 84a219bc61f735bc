#pragma once

#include <cstddef>
#include <new>

// Memory for the large, short-lived arrays of a log reading (the file's bytes, the entries):
// pages of the system's large size where it offers them, so that filling tens of megabytes
// costs a few dozen page faults rather than tens of thousands. Small blocks come from the heap.
namespace LargeBuffer {

// A block of at least `bytes` bytes, not cleared; throws std::bad_alloc when none is left.
void* allocate(std::size_t bytes);
// Gives back a block from allocate() of the same size.
void release(void* block, std::size_t bytes) noexcept;

// An allocator for std::vector on top of allocate() and release().
template<typename T>
struct Allocator
{
    using value_type = T;
    Allocator() = default;
    template<typename U>
    Allocator(const Allocator<U>&) noexcept
    { }
    T* allocate(std::size_t count)
    {
        return static_cast<T*>(LargeBuffer::allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { release(block, count * sizeof(T)); }
    template<typename U>
    bool operator==(const Allocator<U>&) const noexcept
    {
        return true;
    }
};

} // namespace LargeBuffer
