// How long the NC listing takes with a program of millions of lines (Qt's offscreen platform): indexing the
// file, what the index holds, and jumping to a line far down, painted.
//
// Usage: listing_bench NC-FILE
// The exit status is 1 when a jump to 90 % of the file takes more than 100 ms.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/NcListing.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: listing_bench NC-FILE\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    NcListing listing;
    listing.resize(400, 600);
    listing.show();

    const Clock::time_point indexing = Clock::now();
    listing.open(argv[1]);
    const double indexed = MillisecondsSince(indexing);
    const std::int64_t lines = listing.index().lineCount();
    std::printf("index: %lld lines in %.1f ms, %zu bytes\n", static_cast<long long>(lines), indexed,
                listing.index().memoryUse());

    double worst = 0.0;
    for (const std::int64_t line : {lines * 9 / 10, lines / 2, lines - 5, lines * 9 / 10 + 1000}) {
        const Clock::time_point jumping = Clock::now();
        listing.showLine(line);
        listing.grab();
        const double jumped = MillisecondsSince(jumping);
        std::printf("jump to line %lld, painted: %.2f ms\n", static_cast<long long>(line), jumped);
        worst = std::max(worst, jumped);
    }
    return worst > 100.0 ? 1 : 0;
}
