#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/ModelState.h"
#include "model/Random.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

TEST(RandomUniform, FirstThreeValuesFromStateOneAreBitExact) {
    double state = 1.0;
    EXPECT_EQ(randomUniform(state), 16807.0 * 4.656612875245797e-10);
    EXPECT_EQ(state, 16807.0);
    EXPECT_EQ(randomUniform(state), 282475249.0 * 4.656612875245797e-10);
    EXPECT_EQ(state, 282475249.0);
    EXPECT_EQ(randomUniform(state), 1622650073.0 * 4.656612875245797e-10);
    EXPECT_EQ(state, 1622650073.0);
    EXPECT_TO_DECIMALS(282475249.0 / 2147483647.0, 0.131538, 6);
}

TEST(RandomUniform, StateZeroStaysZero) {
    double state = 0.0;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(randomUniform(state), 0.0);
    EXPECT_EQ(state, 0.0);
}

TEST(RandomUniform, DiffersFromExactIntegerArithmeticOnlyByARareNegativeState) {
    // The integer part comes from the rounded quotient: where it rounds up, the new state is
    // the exact remainder less the modulus (slightly negative) and the stream follows it.
    constexpr long long modulus = 2147483647;
    double state = 12345.0;
    int negativeStates = 0;
    for (int i = 0; i < 300000; ++i) {
        const long long previous = static_cast<long long>(state);
        const double value = randomUniform(state);
        ASSERT_GE(value, 0.0);
        ASSERT_LE(value, 1.0);
        const long long exact = ((previous % modulus + modulus) % modulus) * 16807 % modulus;
        if (state < 0) {
            ++negativeStates;
            ASSERT_EQ(state, static_cast<double>(exact - modulus));
        } else {
            ASSERT_EQ(state, static_cast<double>(exact));
        }
        ASSERT_EQ(value, std::fabs(state * 4.656612875245797e-10));
    }
}

TEST(RandomUniform, ModelOverloadAdvancesRandomState) {
    auto model = std::make_unique<ModelState>();
    model->run.RANDOM_STATE = 1.0;
    randomUniform(*model);
    EXPECT_EQ(model->run.RANDOM_STATE, 16807.0);
}

}  // namespace
}  // namespace dravia
