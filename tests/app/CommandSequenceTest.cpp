// Random sequences of the operator's commands on the main window, against the simulated dongle,
// with what must always hold checked after every step. HOLLOWMERE_SEQUENCE_SEED runs another
// sequence (or one that failed again), HOLLOWMERE_SEQUENCE_STEPS a longer one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "CommandSequence.h"

namespace {

constexpr uint32_t kDefaultSeed = 1;
constexpr int kDefaultSteps = 300;

template <typename T>
T FromEnvironment(const char* name, T fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<T>(std::strtoul(text, nullptr, 10)) : fallback;
}

TEST(CommandSequenceTest, WhatIsShownFollowsTheStoreWhateverTheOperatorDoes) {
    const auto seed = FromEnvironment<uint32_t>("HOLLOWMERE_SEQUENCE_SEED", kDefaultSeed);
    const int steps = FromEnvironment<int>("HOLLOWMERE_SEQUENCE_STEPS", kDefaultSteps);
    // Printed first: a crash (a sanitizer's report) leaves no other trace of the seed.
    std::printf("Command sequence of seed %u, %d steps (HOLLOWMERE_SEQUENCE_SEED=%u runs it again)\n", seed,
                steps, seed);
    std::fflush(stdout);
    const std::string report = CCommandSequence(seed).Run(steps);
    EXPECT_TRUE(report.empty()) << report;
}

}  // namespace
