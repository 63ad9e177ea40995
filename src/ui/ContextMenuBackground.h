#pragma once
// The animated backdrop of every menu: sky, sea and falling snow. Owned by Global and
// never pushed on the screen stack: each menu screen hangs it as its background hook, so
// one backdrop goes on moving behind all menus.
#include "render/Context.h"

class ContextMenuBackground : public Context {
public:
    ContextMenuBackground();
};
