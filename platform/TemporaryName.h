#pragma once

#include <cstdint>
#include <string>

// The name of a temporary file for target, in the same folder and named after
// it, so that anyone who finds one left by a power cut knows what it was:
// "MyMicOut.txt.tarvelin-3f9a2c.tmp". Each call gives another suffix; seed
// makes different processes start at different ones.
std::string TemporaryNameFor(const std::string& target, std::uint64_t seed);
