// Buffer allocation that can fail, so the "malloc failure" paths can be tested.
#pragma once

#include <cstddef>
#include <memory>

namespace reflasher {

class Allocator {
public:
    virtual ~Allocator() = default;
    // A zero-initialised buffer of `size` bytes, or null when it can't be had.
    virtual std::unique_ptr<unsigned char[]> Allocate(std::size_t size) noexcept;

    // The process-wide allocator backed by the heap.
    static Allocator& Heap();
};

}  // namespace reflasher
