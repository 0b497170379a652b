// The solver's pool: every job reaches every thread exactly once, one job after another, and the
// threads are the same ones from job to job.

#include "edbforge/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <vector>

TEST(ThreadPool, EachJobRunsOncePerThreadOnTheSameThreads) {
    for (const int size : {1, 3, 8}) {
        SCOPED_TRACE(size);
        solve::thread_pool pool(size);
        ASSERT_EQ(pool.size(), size);
        std::vector<std::thread::id> first(size);
        pool.run([&](int t) { first[t] = std::this_thread::get_id(); });
        EXPECT_EQ(first[0], std::this_thread::get_id());
        EXPECT_EQ(std::set<std::thread::id>(first.begin(), first.end()).size(),
                  static_cast<std::size_t>(size));
        for (int job = 0; job < 500; ++job) {
            std::vector<std::atomic<int>> calls(size);
            std::atomic<bool> same{true};
            pool.run([&](int t) {
                calls[t].fetch_add(1);
                if (std::this_thread::get_id() != first[t]) same = false;
            });
            // run() returned: every thread has finished this job.
            for (int t = 0; t < size; ++t)
                ASSERT_EQ(calls[t].load(), 1) << "job " << job << " thread " << t;
            ASSERT_TRUE(same);
        }
    }
}
