#include "LogarithmicGrid.h"

#include <cmath>

double PowerOfTwoFraction(std::int64_t part, std::int64_t whole) {
    constexpr double Ln2 = 0.693147180559945309417232121458176568;
    const double t = static_cast<double>(part) / static_cast<double>(whole) * Ln2;
    double sum = 1.0;
    double term = 1.0;
    for (int i = 1; i <= 24; ++i) {
        term = term * t / i;
        sum += term;
    }
    return sum;
}

float GridFrequency(double start, int n, std::uint64_t k) {
    const auto octaves = static_cast<int>(k / static_cast<std::uint64_t>(n));
    const auto part = static_cast<std::int64_t>(k % static_cast<std::uint64_t>(n));
    return static_cast<float>(start * std::ldexp(PowerOfTwoFraction(part, n), octaves));
}
