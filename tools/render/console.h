// Messages and the progress bar on the terminal, safe to use from the render
// threads: a message first clears the bar so every line stays whole.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace render {

// Prints "vexobit-render: MESSAGE" as one line on stderr.
void printError(const std::string& message);

// Redraws a bar on stderr every tenth of a second while frames are rendered,
// from the first half second on, so quick renders never show one. Only when
// enabled (stderr is a terminal and the user did not ask for quiet).
class ProgressBar {
public:
    ProgressBar(bool enabled, std::int64_t totalFrames);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Called by the render threads after each block.
    void advance(std::int64_t frames) { done.fetch_add(frames, std::memory_order_relaxed); }
    // Stops redrawing and clears the bar.
    void finish();

private:
    void run();

    std::int64_t total;
    std::atomic<std::int64_t> done{0};
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread drawer;
};

}  // namespace render
