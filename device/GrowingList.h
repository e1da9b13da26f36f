// Fetching a list that the spooler sizes first (EnumJobsW and the like): another
// program may add to it between the size and the fetch, and the fetch then fails
// for want of room. It is asked again with the size it then reports, a few times.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace reflasher {

enum class ListFetch { Fetched, TooSmall, Failed };

// How many fetches a list gets at most.
constexpr int kListFetchAttempts = 4;

// Fills `buffer` by `fetch(data, size, &needed)`, first with `needed` bytes, then with
// what a fetch that found them too few reports. False when a fetch fails otherwise,
// when the list still grows after kListFetchAttempts fetches, or without memory.
bool FetchGrowingList(std::uint32_t needed, std::vector<unsigned char>* buffer,
                      const std::function<ListFetch(unsigned char* data, std::uint32_t size,
                                                    std::uint32_t* needed)>& fetch);

}  // namespace reflasher
