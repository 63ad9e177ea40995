#pragma once
// The Invasion's waves: which enemy groups each wave sends (one EnemySpawner per row) and
// from where the camera watches it.
//
// Waves 1 to 10 have patterns of their own. Later waves repeat the pattern of
// ((wave - 1) mod 10) + 1, at the higher level the wave number gives, and add one more
// group of the two types the first ten never send: kamikazes from wave 11 on, and from
// wave 21 bombers in the even waves (kamikazes still in the odd ones), more of them in
// each later decade.
//
// The camera looks left, ahead or right of the island by the wave's place in its decade,
// farther out for waves 7 to 9 of each decade, and mirrored in every other decade.
//
// Pure data and arithmetic; no state.
#include <cstdint>
#include <vector>

class InvasionWaveTable {
public:
    static constexpr int kPatterns = 10;

    // The arguments of one EnemySpawner, before the level of the wave.
    struct Row {
        std::int32_t type;   // EnemySpawner::Type
        std::int32_t count;  // release times, before the two-sides rule of the spawner
        std::int32_t group;  // enemies released together at each time
        bool evenly;         // times evenly spaced over the window, else random in it
        std::uint32_t tint;  // ARGB tint of every enemy of the row; 0 keeps their own
        double startTime;    // s, the release window (before the spawner's lead time)
        double endTime;      // s
    };

    // The rows of `wave` in creation order; none for a wave below 1.
    static std::vector<Row> rowsFor(std::int32_t wave);
    // The number of enemies `wave` sends with `sides` player sides (the spawner raises a
    // count of 2 or more by half, truncated, for two sides).
    static std::int32_t enemyCount(std::int32_t wave, std::int32_t sides);
    // -1 (left), 0 (ahead) or +1 (right): where the camera looks during `wave`.
    static std::int32_t cameraDirection(std::int32_t wave);
    // Whether the camera stands twice as far out during `wave`.
    static bool cameraWide(std::int32_t wave);
};
