#pragma once
// Finding the menus' shared resources by name, and playing their sounds. Menus built
// before the resources are loaded (and headless tests, which load none) get null
// skins and silence instead of stopping the program: a widget without a skin draws no
// frame and hit-tests by its own size.
#include <string_view>

class Skin;
class Sound;
class QorBase;

class MenuResources {
public:
    // The registered resource of that name, or null.
    static QorBase* find(std::u16string_view name);
    static Skin* findSkin(std::u16string_view name);
    // Plays the registered sound of that name once, when there is one.
    static void playSound(std::u16string_view name);
};
