// Side work gives way to the run: only its own thread's nice value goes up, never past 19.
#include "platform/threadpriority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarvel {
namespace {

int niceOfThisThread()
{
    return ::getpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)));
}

TEST(ThreadPriority, OnlyTheCallingThreadGivesWayAndNotPast19)
{
    const int caller = niceOfThisThread();
    for (const int steps : {3, 40, 0}) {
        int before = 0;
        int after = 0;
        bool changed = false;
        std::thread side([&] {
            before = niceOfThisThread();
            changed = yieldToOtherThreads(steps);
            after = niceOfThisThread();
        });
        side.join();
        SCOPED_TRACE(steps);
        EXPECT_EQ(after, std::min(19, before + steps));
        EXPECT_EQ(changed, after != before);
    }
    EXPECT_EQ(niceOfThisThread(), caller);
}

} // namespace
} // namespace tarvel
