// The helper thread runs each job it is handed exactly once, unless the job
// is taken back before it begins; one taken back never runs.
#include "unfold/helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace nettor;

TEST(HelperThreadTest, EveryJobRunsOnceUnlessTakenBackBeforeItBegins)
{
    // Busy threads on every core make the helper begin late now and then,
    // so that both answers of withdraw() come up.
    std::atomic<bool> busy{true};
    std::vector<std::thread> spinners;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        spinners.emplace_back([&] {
            while (busy.load(std::memory_order_relaxed)) {
            }
        });
    HelperThread helper;
    std::vector<int> runs(4000, 0);
    for (std::size_t job = 0; job < runs.size(); ++job) {
        helper.post([&runs, job] { ++runs[job]; });
        if (job % 2 == 0 && helper.withdraw()) {
            runs[job] += 10; // what the job would add, were it still to run, shows
        } else {
            helper.wait();
        }
    }
    // The last wait saw every job before it end; one more job makes sure a
    // job taken back last has had every chance to run.
    helper.post([] {});
    helper.wait();
    busy = false;
    for (std::thread& t : spinners) t.join();
    for (std::size_t job = 0; job < runs.size(); ++job)
        ASSERT_TRUE(runs[job] == 1 || (job % 2 == 0 && runs[job] == 10)) << "job " << job << ": " << runs[job];
}
