#pragma once
/// How the program's memory allocator treats what a print run frees.

namespace tarvel {

/// Keeps memory that is freed for the allocations after, rather than giving it back to the
/// system at once. Every PDF document drawn takes and frees buffers of some hundred
/// kilobytes (each compressed stream gets a fresh zlib state, each document its page
/// buffers). With the C library's sliding thresholds that memory went back to the system
/// on free and came back page by page, faulted in and zeroed, for the next document: a run
/// took up to a quarter longer, the more so when a thread beside it (the award lists) did
/// the same. Fixed thresholds of tens of megabytes keep it. Call once, first thing in main(),
/// before any thread starts; does nothing where the C library has no such setting.
void keepFreedMemoryForReuse() noexcept;

} // namespace tarvel
