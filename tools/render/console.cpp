#include "tools/render/console.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace render {

namespace {

std::mutex stderrMutex;
// Whether a bar is on the last line of stderr, to be cleared before a message.
bool barShown = false;

constexpr const char* kClearLine = "\r\033[K";
constexpr int kBarWidth = 40;

}  // namespace

void printError(const std::string& message) {
    std::lock_guard lock(stderrMutex);
    if (barShown) {
        std::fputs(kClearLine, stderr);
        barShown = false;
    }
    std::fprintf(stderr, "vexobit-render: %s\n", message.c_str());
    std::fflush(stderr);
}

ProgressBar::ProgressBar(bool enabled, std::int64_t totalFrames) : total(totalFrames) {
    if (enabled && total > 0 && isatty(STDERR_FILENO) == 1) drawer = std::thread([this] { run(); });
}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::finish() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (drawer.joinable()) drawer.join();
    std::lock_guard lock(stderrMutex);
    if (barShown) {
        std::fputs(kClearLine, stderr);
        std::fflush(stderr);
        barShown = false;
    }
}

void ProgressBar::run() {
    using namespace std::chrono_literals;
    std::unique_lock lock(mutex);
    if (wake.wait_for(lock, 500ms, [this] { return stopping; })) return;
    do {
        const double fraction =
            std::min(1.0, static_cast<double>(done.load(std::memory_order_relaxed)) / static_cast<double>(total));
        const int filled = static_cast<int>(fraction * kBarWidth);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(kBarWidth - filled), '-');
        std::lock_guard out(stderrMutex);
        std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), static_cast<int>(fraction * 100.0));
        std::fflush(stderr);
        barShown = true;
    } while (!wake.wait_for(lock, 100ms, [this] { return stopping; }));
}

}  // namespace render
