// The order of a list's pictures on its own, built natively with sanitizers as well.
#include "navigator/ThumbSchedule.h"

#include <gtest/gtest.h>

#include <vector>

// A job is asked for once while queued or being made; one let go is asked for again, first, when
// its page is shown again, and one that gave no picture never again.
TEST(ThumbSchedule, EachJobOnceWhileAskedForAndAgainOnceLetGo) {
    ThumbSchedule schedule;
    schedule.Add({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});  // pages of 2
    std::vector<int> made, letGo;
    auto make = [&](int jobs) {
        for (made.clear(); jobs-- > 0;) made.push_back(schedule.Next());
    };
    schedule.Show(10, 2, nullptr);
    make(3);
    schedule.Show(10, 2, nullptr);  // shown again: 12, being made, is not asked for twice
    made.push_back(schedule.Next());
    EXPECT_EQ((std::vector<int>{10, 11, 12, 13}), made);
    for (int job : made) EXPECT_EQ(job != 13, schedule.Arrived(job, job != 13)) << job;  // 13 gives none
    schedule.Show(0, 2, &letGo);  // 10 to 12 lie beyond the two pages kept on either side
    EXPECT_EQ((std::vector<int>{10, 11, 12}), letGo);
    make(11);
    schedule.Show(10, 2, nullptr);
    make(4);
    EXPECT_EQ((std::vector<int>{10, 11, 12, -1}), made);
}
