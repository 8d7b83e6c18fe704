#include <gtest/gtest.h>

#include <cstdint>

#include "data/BlockLinkVectorT.h"
#include "data/MeasurementValue.h"

namespace {

using TSeries = VEK::CBlockLinkVectorT<CMeasurementValue>;

TEST(BlockLinkVector, GrowthNeverMovesStoredElements) {
    TSeries series;
    series.Set(0, CMeasurementValue(1));
    const CMeasurementValue* first = &series.Get(0);
    for (size_t i = 1; i < 5000; ++i) series.Set(i, CMeasurementValue(static_cast<int16_t>(i)));
    EXPECT_EQ(&series.Get(0), first);
    EXPECT_EQ(series.BlockCount(), 5u);  // 5000 readings in blocks of 1024
    EXPECT_EQ(series.Get(4999).Tenths(), 4999);
}

TEST(BlockLinkVector, GapsAndRegrownTailsReadLost) {
    TSeries series;
    series.Set(2000, CMeasurementValue(7));
    EXPECT_EQ(series.Size(), 2001u);
    EXPECT_EQ(series.Get(1999).Tenths(), kReadingLost);
    series.Resize(10);
    EXPECT_EQ(series.BlockCount(), 1u);
    series.Resize(3000);
    EXPECT_EQ(series.Get(2000).Tenths(), kReadingLost);
    EXPECT_EQ(series.Get(9).Tenths(), kReadingLost);
}

TEST(BlockLinkVector, RemoveFrontKeepsTheRestInPlaceAndIndexedFromZero) {
    TSeries series;
    for (size_t i = 0; i < 3000; ++i) series.Set(i, CMeasurementValue(static_cast<int16_t>(i)));
    const CMeasurementValue* kept = &series.Get(2500);
    series.RemoveFront(1500);
    EXPECT_EQ(series.Size(), 1500u);
    EXPECT_EQ(series.Get(0).Tenths(), 1500);
    EXPECT_EQ(&series.Get(1000), kept);
    EXPECT_EQ(series.BlockCount(), 2u);
    series.Resize(600);  // truncating after a front removal
    series.Resize(1500);
    EXPECT_EQ(series.Get(599).Tenths(), 2099);
    EXPECT_EQ(series.Get(600).Tenths(), kReadingLost);
    series.RemoveFront(5000);
    EXPECT_TRUE(series.Empty());
    EXPECT_EQ(series.BlockCount(), 0u);
}

}  // namespace
