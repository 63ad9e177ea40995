#pragma once
// A picture with the timing of the menus' labels: it waits `delay`, fades in over
// `fadeIn`, stays opaque, fades out over the last `fadeOut` of its `lifetime`, and
// then removes itself (bAutoRemove) or stays drawn. Seconds throughout; the fade is in
// the alpha byte of its colour. By default it shows the game's logo, "logo:all".
#include "render/Renderable.h"

class LogoImage : public Renderable {
public:
    // Takes the skin "logo:all"; fatal when it is not loaded.
    LogoImage();
    void tick(double time, double dt) override;
    // Drawn only once the delay is over.
    void render() override;

    std::uint8_t bAutoRemove = 1;
    double delay = 0.0;
    double lifetime = 999999.0;
    double fadeIn = 0.0;
    double fadeOut = 0.0;
    double age = 0.0;
};
