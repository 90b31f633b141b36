#include "platform/threadpriority.h"

#include <algorithm>
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarvel {

bool yieldToOtherThreads(int steps) noexcept
{
    // PRIO_PROCESS with a thread id names that one thread on Linux.
    const auto thread = id_t(::syscall(SYS_gettid));
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, thread);
    if (errno != 0)
        return false;
    const int wanted = std::min(19, now + std::max(0, steps));
    return wanted != now && ::setpriority(PRIO_PROCESS, thread, wanted) == 0;
}

} // namespace tarvel
