#include "ScoreTablePage.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "CountryNames.h"
#include "HtmlPage.h"
#include "ScoreStore.h"
#include "Utf8Text.h"

namespace {

constexpr const char* kTableNames[ScoreTablePage::kTableCount] = {"Duel", "Invasion", "Challenge", "Balloon Pop",
                                                                  "Free-For-All"};

std::string formatDate(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    char text[32] = "";
    if (gmtime_r(&t, &tm)) std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    return text;
}

std::string countryCell(const std::string& code) {
    const std::string name = CountryNames::englishName(code);
    if (name.empty()) return code == "--" ? "not specified" : Utf8Text::escapeHtml(code);
    return Utf8Text::escapeHtml(name) + " (" + Utf8Text::escapeHtml(code) + ")";
}

std::string renderTable(ScoreStore& store, int table) {
    std::string html = "<h2 id=\"table" + std::to_string(table) + "\">" + kTableNames[table] + "</h2>\n";
    const auto best = store.bestEntries(table, ScoreTablePage::kRowsPerTable);
    if (best.empty()) return html + "<p class=\"empty\">No scores yet.</p>\n";
    html +=
        "<table class=\"scores\">\n<tr><th class=\"number rank\">#</th><th>Name</th><th class=\"country\">Country</th>"
        "<th class=\"number rating\">Rating</th><th class=\"date\">Date</th></tr>\n";
    int rank = 0;
    for (const ScoreStore::BestEntry& entry : best) {
        html += "<tr><td class=\"number\">" + std::to_string(++rank) + "</td><td class=\"name\">" +
                (entry.name.empty() ? std::string("<i>no name</i>") : Utf8Text::escapeHtml(entry.name)) + "</td><td>" +
                countryCell(entry.countryCode) + "</td><td class=\"number\">" +
                ScoreTablePage::formatScore(entry.score) + "</td><td class=\"date\">" + formatDate(entry.time) +
                "</td></tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace

const char* ScoreTablePage::tableName(int table) { return kTableNames[table]; }

std::string ScoreTablePage::formatScore(std::int32_t score) {
    const std::int64_t value = score;
    const std::int64_t magnitude = value < 0 ? -value : value;
    char text[32];
    std::snprintf(text, sizeof text, "%s%" PRId64 ".%03" PRId64 "%%", value < 0 ? "-" : "", magnitude / 1000,
                  magnitude % 1000);
    return text;
}

std::string ScoreTablePage::render(ScoreStore& store, std::optional<int> table) {
    std::string body = "<nav>";
    for (int t = 0; t < kTableCount; ++t) {
        if (t) body += " · ";
        body += "<a href=\"?table=" + std::to_string(t) + "\">" + kTableNames[t] + "</a>";
    }
    body += " · <a href=\"highscoretable.php\">All tables</a></nav>\n";
    body += "<p>The best rating of every installation of the game in each table.</p>\n";
    if (table) return HtmlPage::wrap("World-wide high scores", body + renderTable(store, *table));
    for (int t = 0; t < kTableCount; ++t) body += renderTable(store, t);
    return HtmlPage::wrap("World-wide high scores", body);
}
