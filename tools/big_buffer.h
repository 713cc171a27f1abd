#pragma once
// An allocator for the large sample and pixel buffers of the generators.

#include <cstddef>
#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <vector>

// Allocates on 2 MB pages where the system allows it. The tools work on buffers of tens to
// hundreds of megabytes; with 4 KB pages, faulting them in costs a good part of a run.
template <class T> struct BigBufferAllocator {
    using value_type = T;
    BigBufferAllocator() = default;
    template <class U> BigBufferAllocator(const BigBufferAllocator<U>&) {}
    T* allocate(size_t n) {
        const size_t page = size_t{2} << 20;
        const size_t bytes = (n * sizeof(T) + page - 1) / page * page;
        void* p = std::aligned_alloc(page, bytes);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        madvise(p, bytes, MADV_HUGEPAGE); // a hint; without it the buffer just uses small pages
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }
    bool operator==(const BigBufferAllocator&) const { return true; }
    bool operator!=(const BigBufferAllocator&) const { return false; }
};
template <class T> using BigVector = std::vector<T, BigBufferAllocator<T>>;
