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
    // Drawn outside the lock: the other forms, and the copies, stay at hand meanwhile. A
    // drawing that fails leaves the form to the next reader, who draws it again.
    std::shared_ptr<const std::string> html;
    try {
        html = std::make_shared<const std::string>(ScoreTablePage::render(store_, table));
    } catch (...) {
        finishDrawing(drawing, nullptr, began);
        throw;
    }
    finishDrawing(drawing, html, began);
    return html;
}

// Ends a drawing, and keeps `html` as its form's unless it is null.
void ScoreTableCache::finishDrawing(Drawing& drawing, std::shared_ptr<const std::string> html,
                                    Clock::time_point began) {
    {
        std::lock_guard lock(mutex_);
        if (html) {
            drawing.html = std::move(html);
            drawing.drawn = began;
        }
        drawing.drawing = false;
    }
    drawn_.notify_all();
}
