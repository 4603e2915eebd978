#include "sdl_present_log.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace presentlog {
namespace {
std::FILE* file = nullptr;
} // namespace

void Open() {
    const char* path = std::getenv("VANTOREL_PRESENT_LOG");
    if (file || !path || !*path)
        return;
    file = std::fopen(path, "w");
    if (!file) {
        std::fprintf(stderr, "vantorel: cannot write the present log %s\n", path);
        return;
    }
    // A line at a time: whoever measures reads the file while the game runs.
    std::setvbuf(file, nullptr, _IOLBF, BUFSIZ);
}

void Path(const char* how) {
    if (file)
        std::fprintf(file, "path %s\n", how);
}

void Presented() {
    if (!file)
        return;
    // steady_clock is CLOCK_MONOTONIC, the clock the benchmark reads its own start from.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::fprintf(
        file, "%lld\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

void Close() {
    if (file)
        std::fclose(file);
    file = nullptr;
}

} // namespace presentlog
