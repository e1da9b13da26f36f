#include "device/Allocator.h"

#include <new>

namespace reflasher {

std::unique_ptr<unsigned char[]> Allocator::Allocate(std::size_t size) noexcept {
    // Size 0 still yields a valid (empty) buffer: an empty list or file is no failure.
    return std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[size == 0 ? 1 : size]());
}

Allocator& Allocator::Heap() {
    static Allocator heap;
    return heap;
}

}  // namespace reflasher
