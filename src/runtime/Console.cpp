#include "runtime/Console.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/TextScan.h"
#include "inputaudio/QorInput.h"
#include "platform/WindowListener.h"
#include "render/Camera.h"
#include "render/FontGDI.h"
#include "render/QorGraphics.h"
#include "render/VertexBuffer.h"

QOR_DEFINE_CLASS(Console, Context, nullptr)

namespace {
constexpr std::uint8_t kDown = 0x80;

// The text after a command word, when the line starts with it: the word must match
// from the first character; what follows is scanned for the number.
bool afterWord(std::u16string_view line, std::u16string_view word, std::u16string_view& rest) {
    if (line.substr(0, word.size()) != word) return false;
    rest = line.substr(word.size());
    return true;
}

// A fault the system itself raises: a write to a page that allows no access.
[[noreturn]] void raiseSegmentationFault() {
    void* page = mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    *static_cast<volatile int*>(page) = 0;
    __builtin_trap();
}
}  // namespace

Console::Console() {
    QOR_LOG("Console::Console", u"Starting console...");
    onPresentationRestored();
    if (QorInput* in = qor->pQorInput)
        in->keyPressTaker = [this](int code, unsigned modifiers, bool repeat) {
            return takeKeyPress(code, modifiers, repeat);
        };
}

Console::~Console() {
    if (pFont) pFont->destroy();
    if (QorInput* in = qor->pQorInput) in->keyPressTaker = nullptr;
}

ClassInfo* Console::getClass() const { return &classInfo; }

void Console::appendLine(const std::u16string& line) {
    const bool following = cursor == static_cast<int>(history.size()) - 1;
    history.push_back(line);
    QOR_LOG("Console::addLine", u"> %s", line);
    if (following) ++cursor;
}

void Console::onPresentationRestored() {
    if (!pCamera || !qor->pQorGraphics) return;  // no display: nothing to lay out
    const QorGraphics& g = qor->graphics();
    if (g.viewportWidth <= 0) return;
    const int halfWidth = g.viewportWidth / 2;  // whole pixels, so text lands on pixel centres
    pCamera->position = Vector3{0.0f, 0.0f, -static_cast<float>(halfWidth)};
    pCamera->target = Vector3{0.0f, 0.0f, 0.0f};
    pCamera->aspect = static_cast<float>(g.viewportHeight) / static_cast<float>(g.viewportWidth);
}

bool Console::takeKeyPress(int code, unsigned modifiers, bool repeat) {
    if (qor->bDebugLocked || code != kKeyGrave || !(modifiers & WindowListener::kLeftShift)) return false;
    if (!repeat) ++chordPresses;
    return true;
}

void Console::tickContents(double, double) {
    bKeyboardTaken = false;
    QorInput* in = qor->pQorInput;
    if (!in) return;
    if (chordPresses > 0) {
        if (chordPresses % 2 != 0) bOpen = !bOpen;
        chordPresses = 0;
        bKeyboardTaken = true;  // the chord's keys, still down, reach nothing else
        return;
    }
    if (!bOpen) return;
    bKeyboardTaken = true;
    const char16_t c = in->typedChar;
    if (c == 13) {
        executeCommand(input);
        input.clear();
    } else if (c == 8) {
        if (!input.empty()) input.pop_back();
    } else if (c != 0) {
        input.push_back(c);
    }
    const auto& keys = in->keyState;
    if (keys[kKeyPageUp] & kDown) {
        if (cursor > 0) --cursor;
    } else if (keys[kKeyPageDown] & kDown) {
        if (cursor < static_cast<int>(history.size()) - 1) ++cursor;
    }
}

int Console::textHeightFor(int viewportHeight, int virtualHeight) {
    if (virtualHeight <= 0) return kTextHeight;
    const double scaled = static_cast<double>(kTextHeight) * viewportHeight / virtualHeight;
    return std::max(kTextHeight, static_cast<int>(std::lround(scaled)));
}

// The font at the height the window asks for now; a new window size makes it again
// (between frames' drawing, so nothing drawn still uses the old one's cache).
FontGDI& Console::textFont() {
    const QorGraphics& g = qor->graphics();
    const int height = textHeightFor(g.viewportHeight, g.virtualHeight);
    if (pFont && pFont->height == height) return *pFont;
    if (pFont) pFont->destroy();
    pFont = new FontGDI(height, 1.0f, 1.0f, 1.0f, qor->defaultFont().fontName);
    return *pFont;
}

// The prompt at the bottom, the history upward from the line at cursor, all over a dark
// panel as wide as the view and as high as the lines, so they read over any screen.
void Console::renderContents() {
    if (!bOpen || !pCamera) return;
    const ViewRect view = pCamera->getViewRect(0.0f);
    FontGDI& font = textFont();
    const int lineHeight = font.height;
    const int margin = lineHeight / 3;  // whole pixels around the lines
    const int shownLines = 1 + std::clamp(cursor + 1, 0, visibleLines + 1);
    const auto x = static_cast<float>(static_cast<int>(view.left) + margin);
    auto y = static_cast<float>(static_cast<int>(view.bottom) + margin + lineHeight);
    const int savedDebugLevel = qor->debugLevel;
    qor->debugLevel = 0;
    const float backdrop[4] = {view.left, view.bottom + static_cast<float>(shownLines * lineHeight + 2 * margin),
                               view.right, view.bottom};
    drawFilledRect(backdrop, kBackdropColour);
    const bool cursorOn = static_cast<long long>(std::floor(qor->timer.frameStart * 8.0)) % 2 == 0;
    font.drawTextAt(x, y, 0.0f, kTextColour, 0, formatString(cursorOn ? u"> %s_" : u"> %s", input));
    int budget = visibleLines;
    for (int i = cursor; i >= 0 && budget >= 0; --i, --budget) {
        y += static_cast<float>(lineHeight);
        font.drawTextAt(x, y, 0.0f, kTextColour, 0, formatString(u"%s", history[static_cast<std::size_t>(i)]));
    }
    qor->debugLevel = savedDebugLevel;
}

void Console::executeCommand(std::u16string line) {
    std::u16string_view rest;
    if (afterWord(line, u"debug", rest)) {
        if (auto v = scanInt(rest)) {
            qor->debugLevel = *v;
            return;
        }
    }
    if (afterWord(line, u"fps", rest)) {
        if (auto v = scanDouble(rest)) {
            qor->timer.start(*v);
            return;
        }
    }
    if (afterWord(line, u"fontcache", rest)) {
        if (auto v = scanInt(rest)) {
            if (qor->pQorGraphics) qor->graphics().bEnableFontCache = *v != 0;
            return;
        }
    }
    if (afterWord(line, u"rel", rest)) {
        if (auto v = scanInt(rest)) {
            qor->bDebugLocked = *v != 0;
            return;
        }
    }
    if (line == u"crash") QOR_FATAL("Console::executeCommand", u"Crash requested.");
    if (line == u"crash2") raiseSegmentationFault();
    if (!line.empty()) addLine(u"Unknown command: %s", line);
}
