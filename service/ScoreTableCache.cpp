#include "ScoreTableCache.h"

ScoreTableCache::ScoreTableCache(ScoreStore& store, std::function<Clock::time_point()> now)
    : store_(store), now_(std::move(now)) {}

std::shared_ptr<const std::string> ScoreTableCache::page(std::optional<int> table) {
    Drawing& drawing = drawings_[table.value_or(ScoreTablePage::kTableCount)];
    Clock::time_point began;
    {
        std::unique_lock lock(mutex_);
        // Only the first drawing is waited for: there is no copy to take before it.
        drawn_.wait(lock, [&drawing] { return drawing.html || !drawing.drawing; });
        began = now_();
        if (drawing.html && (drawing.drawing || began - drawing.drawn < kLifetime)) return drawing.html;
        drawing.drawing = true;
    }
    // Drawn outside the lock: the other forms, and the copies, stay at hand meanwhile.
    auto html = std::make_shared<const std::string>(ScoreTablePage::render(store_, table));
    {
        std::lock_guard lock(mutex_);
        drawing.html = html;
        drawing.drawn = began;
        drawing.drawing = false;
    }
    drawn_.notify_all();
    return html;
}
