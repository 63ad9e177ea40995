#pragma once

// ReverbSettings: the room a sound or a piece of music is played in. Plain data.
struct ReverbSettings {
    double mix = 0.0;   // wet share 0..1; 0 = no reverb
    double size = 0.5;  // room size 0..1 (longer tail when larger)
    double damp = 0.5;  // high-frequency damping 0..1 (darker when larger)
};
