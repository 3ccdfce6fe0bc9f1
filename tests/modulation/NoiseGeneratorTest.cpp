#include "modulation/NoiseGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

using namespace zr;

namespace
{
// Values are exact multiples of 2^-31, so every drawn value names its state.
std::int32_t StateOf(double value)
{
    return static_cast<std::int32_t>(std::lround(value / NoiseGenerator::kScale));
}
} // namespace

TEST(NoiseGenerator, FirstValuesFromTheInitialState)
{
    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    EXPECT_DOUBLE_EQ(NoiseGenerator::Next(), 16807.0 / 2147483648.0);
    EXPECT_NEAR(NoiseGenerator::Next(), 0.1315378, 1e-7);
    // The third and fourth states wrap around in 32 bits.
    EXPECT_EQ(StateOf(NoiseGenerator::Next()), 1622647863);
    EXPECT_EQ(StateOf(NoiseGenerator::Next()), -1199696159);
    EXPECT_EQ(NoiseGenerator::State(), -1199696159);
}

TEST(NoiseGenerator, SameStartValueGivesSameSequence)
{
    std::vector<double> first, second;
    for (std::vector<double>* run : {&first, &second})
    {
        NoiseGenerator::SetState(12345);
        for (int i = 0; i < 1000; ++i)
            run->push_back(NoiseGenerator::Next());
    }
    EXPECT_EQ(first, second);
}

TEST(NoiseGenerator, ValuesStayInsideTheOpenUnitRangeAndSpreadEvenly)
{
    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    double sum = 0.0, minimum = 1.0, maximum = -1.0;
    const int count = 1000000;
    for (int i = 0; i < count; ++i)
    {
        const double v = NoiseGenerator::Next();
        ASSERT_LT(std::abs(v), 1.0);
        sum += v;
        minimum = std::min(minimum, v);
        maximum = std::max(maximum, v);
    }
    EXPECT_NEAR(sum / count, 0.0, 0.01);
    EXPECT_LT(minimum, -0.99);
    EXPECT_GT(maximum, 0.99);
}

TEST(NoiseGenerator, ConcurrentDrawsNeitherRepeatNorLoseAState)
{
    const int perThread = 200000;
    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    std::vector<std::int32_t> drawnA, drawnB;
    drawnA.reserve(perThread);
    drawnB.reserve(perThread);
    auto draw = [](std::vector<std::int32_t>& out, int count)
    {
        for (int i = 0; i < count; ++i)
            out.push_back(StateOf(NoiseGenerator::Next()));
    };
    std::thread a(draw, std::ref(drawnA), perThread);
    std::thread b(draw, std::ref(drawnB), perThread);
    a.join();
    b.join();

    std::vector<std::int32_t> drawn = drawnA;
    drawn.insert(drawn.end(), drawnB.begin(), drawnB.end());
    std::sort(drawn.begin(), drawn.end());

    std::vector<std::int32_t> expected;
    std::uint32_t state = NoiseGenerator::kInitialState;
    for (int i = 0; i < 2 * perThread; ++i)
    {
        state *= NoiseGenerator::kMultiplier;
        expected.push_back(static_cast<std::int32_t>(state));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(drawn, expected);
}
