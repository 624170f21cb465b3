#include "TemporaryName.h"

namespace {

// Spreads seeds that differ in a few bits (a process id, a clock) over all
// suffixes; see splitmix64.
std::uint64_t Mix(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9u;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

} // namespace

std::string TemporaryNameFor(const std::string& target, std::uint64_t seed) {
    static std::uint64_t calls = 0;
    const std::uint64_t suffix = Mix(seed + 0x9E3779B97F4A7C15u * ++calls);
    std::string name = target + ".tarvelin-";
    constexpr char Digits[] = "0123456789abcdef";
    for (int shift = 20; shift >= 0; shift -= 4) {
        name += Digits[(suffix >> shift) & 0xF];
    }
    return name + ".tmp";
}
