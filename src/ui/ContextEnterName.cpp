#include "ui/ContextEnterName.h"

#include <cmath>

#include "engine/ChildIterator.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/FadingText.h"
#include "ui/FramePanel.h"
#include "ui/Global.h"
#include "ui/KeyButton.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuResources.h"
#include "ui/ScreenBelow.h"
#include "ui/TextFont.h"

namespace {
constexpr int kNameLayout = 0x202;               // from x; the system font for any character
constexpr char16_t kBackspaceGlyph[] = u"\x03";  // the font's backspace arrow
constexpr int kLetters = 26;
constexpr int kKeysPerRow = 7;
constexpr float kKeyStep = 74.0f;
constexpr float kKeyWidth = 72.0f;
// The name is typed onto the panel's snow-white face: in the palette's ink it reads at
// more than 15:1, where white letters in a thin ring hardly did.
constexpr UColor kNameColour = 0xFF161F3Au;

std::u16string text(int id) { return qor->language().getString(id); }

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void playPop(float frequency) {
    if (auto* sound = dynamic_cast<Sound*>(MenuResources::find(u"pop"))) sound->playAtFrequency(frequency);
}
}  // namespace

ContextEnterName::ContextEnterName(bool closeOnEscape) {
    bDeleteOnClose = 1;
    bCloseOnEscape = closeOnEscape ? 1 : 0;
    MenuResources::playSound(u"pop");
    buildLayout();
}

ContextEnterName::Edit ContextEnterName::type(std::u16string& name, char16_t c) {
    if (c == kBackspace) {
        if (name.empty()) return Edit::kNone;
        const bool pairEnd = isLowSurrogate(name.back());
        name.pop_back();
        if (pairEnd && !name.empty() && isHighSurrogate(name.back())) name.pop_back();
        return Edit::kRemoved;
    }
    if (c < 0x20 || c == 0x7F) return Edit::kNone;
    const bool halfWaiting = !name.empty() && isHighSurrogate(name.back());
    if (isLowSurrogate(c)) {
        if (!halfWaiting) return Edit::kNone;
        name.push_back(c);  // room for it was kept when its first half came
        return Edit::kAppended;
    }
    if (halfWaiting) name.pop_back();  // its partner never came
    const std::size_t units = isHighSurrogate(c) ? 2 : 1;
    if (name.size() + units > kMaxNameLength) return Edit::kNone;
    name.push_back(c);
    return isHighSurrogate(c) ? Edit::kHalf : Edit::kAppended;
}

std::u16string ContextEnterName::keptName(std::u16string name) {
    if (!name.empty() && isHighSurrogate(name.back())) name.pop_back();
    while (!name.empty() &&
           (name.back() == u' ' || name.back() == u'\t' || name.back() == u'\r' || name.back() == u'\n'))
        name.pop_back();
    return name;
}

void ContextEnterName::onInputModeChange() {
    ContextMenu::onInputModeChange();
    buildLayout();
}

// Called while the engine walks its objects (an input mode change): the old widgets are
// only flagged, and go at the next walk over the dialog's children.
void ContextEnterName::clearLayout() {
    for (ChildIterator it(this); !it.done; it.next()) it.current->pendingDelete = 1;
    for (ChildIterator it(navigationList); !it.done; it.next()) it.current->pendingDelete = 1;
    pOkButton = nullptr;
    pNameText = nullptr;
}

void ContextEnterName::buildLayout() {
    clearLayout();
    const bool touch = qor->input().inputMode == QorInput::kModeTouch;
    addChild(new FramePanel(0.0f, 0.0f, 0.0f, 640.0f, touch ? 400.0f : 256.0f, text(StringId::ENTERYOURNAME)));
    pNameText = new FadingText(0.0f, touch ? 150.0f : 50.0f, 0.0f, u"", MenuFonts::get(MenuFonts::kLarge), kNameColour);
    pNameText->layoutFlags = kNameLayout;
    addChild(pNameText);
    pOkButton = new MenuButton(0.0f, touch ? -150.0f : -80.0f, 0.0f, text(StringId::OK), u"");
    pOkButton->setWidth(160.0f);
    pOkButton->bDisabled = keptName(name).empty() ? 1 : 0;
    addItem(pOkButton);
    if (touch) addKeyboard();
    showName();
}

void ContextEnterName::addKeyboard() {
    auto key = [this](float x, float y, std::u16string caption, char16_t c) {
        auto* button = new KeyButton(x, y, 0.0f, std::move(caption), u"", c, &pendingChar);
        button->setWidth(kKeyWidth);
        addItem(button);
    };
    for (int j = 0; j < kLetters; ++j) {
        const auto letter = static_cast<char16_t>(u'a' + j);
        const int column = j % kKeysPerRow;
        const int row = j / kKeysPerRow;  // whole rows
        key(kKeyStep * static_cast<float>(column - 3), 50.0f - 50.0f * static_cast<float>(row),
            std::u16string(1, letter), letter);
    }
    key(148.0f, -100.0f, u" ", u' ');
    key(222.0f, -100.0f, kBackspaceGlyph, kBackspace);
}

void ContextEnterName::tickContents(double time, double dt) {
    ScreenBelow::tickHooks(*this);
    pendingChar = 0;
    ContextMenu::tickContents(time, dt);
    const char16_t c = pendingChar != 0 ? pendingChar : qor->input().typedChar;
    const Edit edit = type(name, c);
    if (edit == Edit::kAppended) MenuResources::playSound(u"pop");  // a pair sounds once, when whole
    if (edit == Edit::kRemoved) playPop(2.0f);
    showName();
    const std::u16string kept = keptName(name);
    const bool chosen = pOkButton->takeTrigger() || c == kReturn;
    pOkButton->bDisabled = kept.empty() ? 1 : 0;
    if (kept.empty() || !chosen || bFinished) return;
    if (global) global->profiles.createProfile(kept);
    bFinished = 1;
}

void ContextEnterName::showName() {
    const TextFont* font = pNameText->font;
    // Measured as it is drawn, by the fallback typeface, so that it is centred indeed.
    const float width = font ? font->measureTextAs(name + u"_", kNameLayout).x : 0.0f;
    const float squeeze = width > kNameWidth ? kNameWidth / width : 1.0f;
    // The cursor blinks four times a second; the name with it stays centred either way.
    const bool cursor = static_cast<long long>(std::floor(localTime * 8.0)) % 2 == 0;
    pNameText->text = cursor ? name + u"_" : name;
    pNameText->scale = Vector3{squeeze, 1.0f, 1.0f};
    pNameText->position.x = -(width * squeeze) / 2.0f;
    pNameText->updateXform();
}

void ContextEnterName::renderContents() {
    ScreenBelow::draw(*this);
    ContextMenu::renderContents();
}
