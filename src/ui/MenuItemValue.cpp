#include "ui/MenuItemValue.h"

#include <algorithm>
#include <cmath>

#include "engine/Format.h"
#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "render/Context.h"
#include "ui/TextFont.h"

namespace {
constexpr float kArrowInset = 24.0f;
constexpr float kArrowReachSquared = 2500.0f;  // within 50 units of an arrow

bool readsRightToLeft() { return qor->language().rightToLeft == 1; }
}  // namespace

MenuItemValue::MenuItemValue(float x, float y, float z, std::int32_t* value_, std::int32_t minimum_,
                             std::int32_t maximum_, std::int32_t step_, std::u16string caption_,
                             std::u16string helpText_)
    : MenuItem(x, y, z, std::move(caption_), std::move(helpText_)),
      value(value_),
      minimum(minimum_),
      maximum(maximum_),
      step(step_) {}

Vector3 MenuItemValue::leftArrowPoint() const { return Vector3{kArrowInset - getFrameWidth() * 0.5f, 0.0f, 0.0f}; }
Vector3 MenuItemValue::rightArrowPoint() const { return Vector3{getFrameWidth() * 0.5f - kArrowInset, 0.0f, 0.0f}; }

void MenuItemValue::tick(double time, double dt) {
    MenuItem::tick(time, dt);
    if (!isPointerPressOnItem() || !value) return;
    const Vector3 pointer = qor->pCurrentContext ? qor->pCurrentContext->pointer : Vector3{0.0f, 0.0f, 0.0f};
    const std::int32_t sign = readsRightToLeft() ? -1 : 1;
    auto near = [&](const Vector3& local) {
        const Vector3 d = local2world(local) - pointer;
        return d.x * d.x + d.y * d.y + d.z * d.z < kArrowReachSquared;
    };
    // Wide arithmetic: a step added to a value near the ends of the range must not wrap.
    std::int64_t v = *value;
    if (near(leftArrowPoint())) v -= static_cast<std::int64_t>(sign) * step;
    if (near(rightArrowPoint())) v += static_cast<std::int64_t>(sign) * step;
    v = std::min<std::int64_t>(std::max<std::int64_t>(v, minimum), maximum);
    *value = static_cast<std::int32_t>(v);
    onClick();
}

Vector3 MenuItemValue::getNavigationPoint(int i) {
    if (i == 0) return toScreen(local2world(leftArrowPoint()));
    if (i == 1) return toScreen(local2world(rightArrowPoint()));
    return kNoPoint;
}

void MenuItemValue::render() {
    MenuItem::render();
    if (bDisabled || bHidden || !pFont || !value) return;
    UColor colour = (highlightColour & 0x00FFFFFFu) |
                    static_cast<UColor>(std::lround(std::clamp(highlight, 0.0, 1.0) * 255.0)) << 24;
    if (qor->input().inputMode == QorInput::kModeTouch) colour = normalColour;
    const bool rtl = readsRightToLeft();
    const float reach = getFrameWidth() * 0.5f - 15.0f;
    const bool showLeft = rtl ? *value < maximum : *value > minimum;
    const bool showRight = rtl ? *value > minimum : *value < maximum;
    if (showLeft) pFont->drawTextAt(Vector3{position.x - reach, position.y, position.z}, colour, 0x12, u"\x07");
    if (showRight) pFont->drawTextAt(Vector3{position.x + reach, position.y, position.z}, colour, 0x18, u"\x08");
}

void MenuItemValue::drawValue(float x, float y, float z) {
    if (value) drawValueText(formatString(u"%d", *value), x, y, z, 1.0f);
}
