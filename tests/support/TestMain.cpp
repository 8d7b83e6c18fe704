#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/TestHome.h"

namespace {

void RemoveTestHome() {
    std::error_code ignored;
    std::filesystem::remove_all(testing_support::TestHome(), ignored);
}

}  // namespace

int main(int argc, char** argv) {
    testing_support::TestHome();  // before anything reads HOME
    std::atexit(RemoveTestHome);  // also after --gtest_list_tests, which runs no environment
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
