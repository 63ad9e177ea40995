#pragma once
// The world-wide high-score page as last drawn, in each of its forms (all tables, or one
// of them), so that readers share one drawing instead of each reading the store. A form
// is drawn again by the first reader that finds it a second old or older; readers that
// come while it draws take the copy before it, so the store is read at most once a
// second per form however many readers there are, and a change to the scores shows
// within a second. A drawing that fails (the store throws) is passed on to its reader,
// and the next reader draws the form again. Used from many threads at once; the store
// must outlive the cache.
#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "ScoreTablePage.h"

class ScoreStore;

class ScoreTableCache {
public:
    using Clock = std::chrono::steady_clock;
    // How long a drawing is shown before it is drawn again.
    static constexpr Clock::duration kLifetime = std::chrono::seconds(1);

    // `now` tells the time; tests step a clock of their own.
    explicit ScoreTableCache(ScoreStore& store, std::function<Clock::time_point()> now = Clock::now);

    // The page with every table, or only with `table` when given (0..4).
    std::shared_ptr<const std::string> page(std::optional<int> table);

private:
    struct Drawing {
        std::shared_ptr<const std::string> html;  // null until first drawn
        Clock::time_point drawn;                  // when its drawing began
        bool drawing = false;                     // a reader is drawing it again now
    };

    void finishDrawing(Drawing& drawing, std::shared_ptr<const std::string> html, Clock::time_point began);

    ScoreStore& store_;
    std::function<Clock::time_point()> now_;
    std::mutex mutex_;  // guards drawings_
    std::condition_variable drawn_;
    std::array<Drawing, ScoreTablePage::kTableCount + 1> drawings_;  // table by table, then all
};
