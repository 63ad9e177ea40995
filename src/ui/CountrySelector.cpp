#include "ui/CountrySelector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Format.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/CountryTable.h"
#include "ui/GameConfiguration.h"
#include "ui/Global.h"

std::array<int, 241> CountrySelector::sortOrder{};

namespace {
constexpr std::int32_t kLast = CountryTable::kRows - 1;

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool codeLess(int a, int b) { return std::u16string_view(CountryTable::kRow[a].code) < CountryTable::kRow[b].code; }
}  // namespace

CountrySelector::CountrySelector(float x, float y, float z, std::u16string caption_, std::u16string helpText_,
                                 std::int32_t* value_)
    : MenuItemValue(x, y, z, value_, 0, kLast, 1, std::move(caption_), std::move(helpText_)) {
    setWidth(512.0f);
    rebuildSortOrder();
}

void CountrySelector::rebuildSortOrder() {
    for (int i = 0; i < CountryTable::kRows; ++i) sortOrder[static_cast<std::size_t>(i)] = i;
    // Row 0 ("not specified") stays first; the codes are unique, so any sort gives the
    // same order as taking the smallest remaining code for each place.
    std::sort(sortOrder.begin() + 1, sortOrder.end(), codeLess);
}

int CountrySelector::rowAt(std::int32_t position) {
    return sortOrder[static_cast<std::size_t>(std::clamp(position, 0, kLast))];
}

std::int32_t CountrySelector::findNext(std::int32_t from, char16_t letter) {
    from = std::clamp(from, 0, kLast);
    for (std::int32_t p = from == kLast ? 0 : from + 1; p != from; p = p == kLast ? 0 : p + 1)
        if (lowerAscii(CountryTable::kRow[rowAt(p)].code[0]) == letter) return p;
    return from;
}

void CountrySelector::globePoint(int row, float out[3]) {
    const double latitude = CountryTable::kRow[row].latitude * std::numbers::pi / 180.0;
    const double longitude = CountryTable::kRow[row].longitude * std::numbers::pi / 180.0;
    // (0, 0, -1) turned up by the latitude, then about the vertical axis by -longitude.
    out[0] = static_cast<float>(std::cos(latitude) * std::sin(longitude));
    out[1] = static_cast<float>(std::sin(latitude));
    out[2] = static_cast<float>(-std::cos(latitude) * std::cos(longitude));
}

void CountrySelector::tick(double time, double dt) {
    MenuItemValue::tick(time, dt);
    const char16_t typed = qor->input().typedChar;
    if (bHovered && !bDisabled && value && typed != 0) {
        const std::int32_t next = findNext(*value, typed);
        if (next != *value) {
            *value = next;
            onClick();
        }
    }
    // Read without clearing: the screen polls the trigger itself.
    if (bTriggered) storeChoice();
}

void CountrySelector::storeChoice() {
    if (!global || !value) return;
    const int row = rowAt(*value);
    GameConfiguration& c = global->configuration;
    c.countryCode[0] = static_cast<char>(CountryTable::kRow[row].code[0]);
    c.countryCode[1] = static_cast<char>(CountryTable::kRow[row].code[1]);
    globePoint(row, c.countryPosition);
}

void CountrySelector::drawValue(float x, float y, float z) {
    if (!value) return;
    const int row = rowAt(*value);
    const std::u16string name = qor->language().getString(StringId::COUNTRYNONE + row);
    const std::u16string shown = formatString(u"%s (%s)", name, CountryTable::kRow[row].code);
    drawValueText(shown, x, y, z, getTextFitScale(shown, getFrameWidth() - 80.0f));
}
