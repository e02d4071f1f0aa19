#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace corvane {

namespace bulk {

// Blocks of at least this size come straight from the system in huge pages.
inline constexpr std::size_t kMinBytes = std::size_t{1} << 20;

// Memory for bytes; raises std::bad_alloc when refused. Release takes the
// same size back.
void* Allocate(std::size_t bytes);
void Release(void* p, std::size_t bytes) noexcept;

}  // namespace bulk

// An allocator for arrays of many megabytes. Their memory comes in huge pages
// where the system offers them, so filling a few hundred megabytes costs a few
// hundred page faults rather than tens of thousands, and goes back to the
// system whole when freed. Reserved pages never written never become resident:
// a generous reserve costs address space only.
template <typename T>
struct BulkAllocator {
    using value_type = T;

    BulkAllocator() = default;
    template <typename U>
    BulkAllocator(const BulkAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(bulk::Allocate(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { bulk::Release(p, n * sizeof(T)); }

    // New elements are default-initialised, so those of plain types are left
    // as they are: a large array is written whole by its maker, often by
    // several threads, and zeroing it first would touch every page from one.
    // Give a value (resize(n, 0)) where zeros are wanted.
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const BulkAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using BulkVector = std::vector<T, BulkAllocator<T>>;

}  // namespace corvane
