// Well-formed ToUnicode CMaps of a chosen size, for the CMap benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ortheo::bench {

// A ToUnicode CMap of exactly `size` bytes (at least a few hundred): the
// usual header with a <0000> <FFFF> code space, then alternating bfchar and
// bfrange blocks of 100 entries, some of whose destinations are two UTF-16
// units; a trailing comment pads it to its size. The same seed always gives
// the same text, and no target lies in the surrogate or private use area.
std::string generateToUnicodeCMap(std::size_t size, std::uint64_t seed = 1);

}  // namespace ortheo::bench
