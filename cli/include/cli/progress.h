#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace proxcred::cli {

// A progress line on standard error while a long batch runs, shown only when
// standard error is a terminal and only once the batch has run for a second.
class Progress {
  public:
    explicit Progress(std::string what);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void advance(std::size_t done);

  private:
    using Clock = std::chrono::steady_clock;

    std::string what_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point started_ = Clock::now();
    Clock::time_point lastShown_ = started_;
};

}  // namespace proxcred::cli
