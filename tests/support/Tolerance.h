#pragma once

#include <gtest/gtest.h>

#include <cmath>

namespace dravia::test {

// The same value computed in two ways may differ in its last binary places: 1e-12 of its
// magnitude (1e-15 near zero).
inline double roundingOf(double expected) {
    return 1e-12 * std::fabs(expected) + 1e-15;
}

// A figure quoted or printed to that many decimals: half a unit of its last decimal (and a hair,
// for the half's binary representation).
inline double halfUnitOf(int decimals) {
    return 0.5 * std::pow(10.0, -decimals) * (1.0 + 1e-9);
}

}  // namespace dravia::test

#define EXPECT_SAME_VALUE(actual, expected) \
    EXPECT_NEAR(actual, expected, ::dravia::test::roundingOf(expected))
#define EXPECT_TO_DECIMALS(actual, expected, decimals) \
    EXPECT_NEAR(actual, expected, ::dravia::test::halfUnitOf(decimals))
