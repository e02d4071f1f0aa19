#include "platform/core/bulk_allocator.h"

#include <sys/mman.h>

namespace corvane::bulk {

void* Allocate(std::size_t bytes) {
    if (bytes < kMinBytes) return ::operator new(bytes);
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    // Only a hint: without huge pages the memory works the same, page by page.
    ::madvise(p, bytes, MADV_HUGEPAGE);
    return p;
}

void Release(void* p, std::size_t bytes) noexcept {
    if (!p) return;
    if (bytes < kMinBytes)
        ::operator delete(p);
    else
        ::munmap(p, bytes);
}

}  // namespace corvane::bulk
