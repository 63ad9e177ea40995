#pragma once
// The loading screen: a black screen with a progress bar that loads every shared
// resource (music, textures and their skins, sounds, the language, the fonts) in 98
// numbered steps, then runs the application's second start-up stage.
//
// Each frame it runs steps until a quarter of a second of physical time has passed, so
// the window stays responsive and the bar moves. One step may open the language screen
// above it; loading then waits until that screen closes. The last step pushes the start
// screens above it and marks it finished; the stack removes it once it is the top again.
//
// Every resource it creates is a child of Global's resourceRoot (and dies with it) and
// is registered by name; textures also register skin i as "<name>:<i>". A missing file
// or resource, or a name registered twice, is fatal.
//
// Pushed by Global::initPreLoader as the stack's first screen; owned by the stack.
#include <cstdint>
#include <string>
#include <vector>

#include "render/Context.h"

class LoadingBar;
class QorBase;
class Skin;
class Texture;

class Loader : public Context {
public:
    static constexpr std::int32_t kSteps = 98;
    static constexpr double kFrameBudget = 0.25;  // s of loading per frame

    // One picture file that loading brings in by name.
    struct TextureFile {
        const char16_t* path;  // in the archives, or relative to the data folder on disk
        const char16_t* name;  // registered resource name
        int flags;             // Texture load flags
    };

    Loader();

    // Ticks the bar, then runs steps until the frame's budget is used up.
    void tickContents(double time, double dt) override;
    // Runs the next step and returns its number; with `countOnly`, only the number of
    // steps. Once the last step has run, returns kSteps and does nothing.
    std::int32_t loadStuff(bool countOnly);
    // Hangs `resource` under Global's resourceRoot and registers it as `name`.
    static void registerResource(QorBase* resource, const std::u16string& name);
    // The same, then registers skin i of the texture as "<name>:<i>".
    static void registerTexture(Texture* texture, const std::u16string& name);
    // The glyph sheets, extra sheets and code-point table of one font (see the .cpp).
    // Loads the screen's own pictures (the progress bar it shows, the mouse pointer), which
    // must be registered before the screen is made.
    static void loadOwnPictures();
    // Every picture file that loading names: the screen's own pictures, then those of the
    // steps. Not the glyph sheets of the fonts, which are found by number.
    static std::vector<TextureFile> textureFiles();
    static void fontRes(bool recordOnly, const std::u16string& name, const std::u16string& prefix,
                        const std::u16string& folder, std::u16string codePage);

    LoadingBar* pLoadingBar = nullptr;  // child of the screen
    std::int32_t totalSteps = 0;
    std::uint8_t bYieldStep = 1;   // end the frame after the next step
    std::int32_t currentStep = 0;  // the last step started

private:
    void runStep(int step);
    bool loadPlainTexture(int step);
    bool loadSound(int step);
    void applySettingsStep();
    void loadLanguageFlags();
    void loadLogo();
    void loadSea();
    void loadJoinedHalves(const TextureFile& file, int anchor);
    void chooseLanguage();
    void verifyLanguageFiles(int language);
    static void loadFontSheets(bool recordOnly, const std::u16string& name, const std::u16string& pattern, int flags,
                               const std::u16string& registeredPattern);
    static void loadCodePointTable(bool recordOnly, const std::u16string& prefix, const std::u16string& codePage);
    // The line metrics measured on a font's glyph art, registered as name + "Lines".
    static void loadFontLines(bool recordOnly, const std::u16string& name, const std::u16string& path);
    void createFont(int step);
};
