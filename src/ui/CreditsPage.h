#pragma once
// The credits page: builds `page` (allocated and pushed by the caller) as a screen that
// shows the build's version line and closes itself after a minute, or on Escape or a
// fire key. The credits text itself comes with the scrolling text page.
class ContextMenu;

void openCreditsPage(ContextMenu* page);
