#pragma once
// Memory use of this process, in MiB.

// The peak resident set size so far (getrusage ru_maxrss).
double peakResidentMiB();

// The resident set size now (/proc/self/statm); 0 where it cannot be read.
double currentResidentMiB();

// Bytes the allocator has handed out and not yet been given back (mallinfo2), in MiB: unlike the
// resident size, it falls when memory is freed but kept by the allocator for reuse.
double heapInUseMiB();
