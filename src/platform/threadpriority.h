#pragma once
/// Work beside a print run that may lag behind it gives way to the run.

namespace tarvel {

/// How far the threads of side work (award lists, e-certificates) give way: their nice value
/// goes up by this much. On a machine with two cores the run keeps one to itself and the
/// side work takes what the other has left; on more cores nothing changes.
inline constexpr int kSideWorkNiceSteps = 10;

/// Raises the calling thread's nice value (Linux schedules threads one by one) by `steps`, at
/// most to 19; the program's other threads keep theirs. Best effort: where the system does
/// not allow it the thread stays as it is. Returns whether it changed.
bool yieldToOtherThreads(int steps = kSideWorkNiceSteps) noexcept;

} // namespace tarvel
