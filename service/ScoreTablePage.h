#pragma once
// The world-wide high-score page: for each table the best entry of every installation,
// with the installation's country.
#include <optional>
#include <string>

class ScoreStore;

class ScoreTablePage {
public:
    static constexpr int kTableCount = 5;
    static constexpr int kRowsPerTable = 100;

    // The name the game shows for `table` (0..4).
    static const char* tableName(int table);
    // "12.345%" for 12345 thousandths of a percent.
    static std::string formatScore(std::int32_t score);
    // The page with every table, or only with `table` when given (0..4).
    static std::string render(ScoreStore& store, std::optional<int> table);
};
