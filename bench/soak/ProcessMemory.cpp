#include "ProcessMemory.h"

#include <fstream>

#include <malloc.h>

#include <sys/resource.h>
#include <unistd.h>

double peakResidentMiB() {
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

double currentResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long long sizePages = 0;
    long long residentPages = 0;
    if (!(statm >> sizePages >> residentPages)) return 0.0;
    return static_cast<double>(residentPages) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

double heapInUseMiB() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}
