#include <gtest/gtest.h>

#include "display/ListPaging.h"

namespace {

TEST(ListPagingTest, PagesFollowTheHighestChannelAndTheListCount) {
    struct TCase {
        int countIndex;
        int highest;
        int pageCount;
        int forwardSteps;  // how often the next page can be reached
    };
    const TCase cases[] = {
        {0, 60, 3, 2},  // one list: 1-25, 26-50, 51-75
        {1, 60, 3, 1},  // two lists: forward once
        {2, 60, 3, 0},  // four lists hold all three pages
        {2, 40, 2, 0}, {0, 30, 2, 1}, {0, 0, 0, 0}, {1, 100, 4, 2},
    };
    for (const TCase& c : cases) {
        CListPaging paging;
        paging.SetListCountIndex(c.countIndex);
        paging.SetHighestChannel(c.highest);
        EXPECT_EQ(paging.PageCount(), c.pageCount) << c.highest;
        EXPECT_FALSE(paging.CanGoBack());
        int steps = 0;
        while (paging.GoForward()) ++steps;
        EXPECT_EQ(steps, c.forwardSteps) << c.countIndex << " " << c.highest;
        EXPECT_EQ(paging.FirstChannel(0), steps * 25 + 1);
        while (paging.GoBack()) --steps;
        EXPECT_EQ(steps, 0);
    }
}

TEST(ListPagingTest, ListCountResetsThePage) {
    CListPaging paging;
    EXPECT_EQ(paging.ListCount(), 4);
    paging.SetListCountIndex(0);
    paging.SetHighestChannel(60);
    ASSERT_TRUE(paging.GoForward());
    EXPECT_EQ(paging.FirstChannel(1), 51);
    paging.SetListCountIndex(1);
    EXPECT_EQ(paging.Page(), 0);
    EXPECT_EQ(paging.ListCount(), 2);
    paging.SetListCountIndex(7);
    EXPECT_EQ(paging.ListCountIndex(), CListPaging::kDefaultListCountIndex);
}

}  // namespace
