#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestHome.h"

namespace {

// Removes the temporary HOME when the test process ends.
class CTestHomeEnvironment : public ::testing::Environment {
public:
    void TearDown() override { std::filesystem::remove_all(testing_support::TestHome()); }
};

}  // namespace

int main(int argc, char** argv) {
    testing_support::TestHome();  // before anything reads HOME
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new CTestHomeEnvironment);
    return RUN_ALL_TESTS();
}
