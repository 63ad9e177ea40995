#pragma once
// The P35 fighter: an enemy biplane with the P35's pictures, worth twice as much and a
// little tougher. Everything else is the biplane's.
#include "game/EnemyBiplane.h"

class EnemyP35 : public EnemyBiplane {
public:
    static constexpr std::int32_t kScoreValue = 300;
    static constexpr float kHealth = 0.3f;

    EnemyP35();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
};
