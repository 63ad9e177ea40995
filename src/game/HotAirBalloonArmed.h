#pragma once
// The armed hot-air balloon: a HotAirBalloon with a bomb hanging under its own basket,
// which it lets go over a palm of the defending side. Worth twice as much.
#include "game/HotAirBalloon.h"

class HotAirBalloonArmed : public HotAirBalloon {
public:
    static constexpr std::int32_t kScoreValue = 200;

    HotAirBalloonArmed();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The balloon's entry, then its bomb (pointing down, falling slowly) and its palm.
    void enter() override;
};
