#include "device/GrowingList.h"

#include <new>

namespace reflasher {

bool FetchGrowingList(std::uint32_t needed, std::vector<unsigned char>* buffer,
                      const std::function<ListFetch(unsigned char* data, std::uint32_t size,
                                                    std::uint32_t* needed)>& fetch) {
    for (int attempt = 0; attempt < kListFetchAttempts; ++attempt) {
        try {
            buffer->assign(needed, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        const std::uint32_t size = needed;
        switch (fetch(buffer->data(), size, &needed)) {
            case ListFetch::Fetched:
                return true;
            case ListFetch::Failed:
                return false;
            case ListFetch::TooSmall:
                // A spooler that wants room but names no more would be asked forever.
                if (needed <= size) return false;
                break;
        }
    }
    return false;
}

}  // namespace reflasher
