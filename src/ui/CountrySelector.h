#pragma once
// The country choice of the network set-up: a value item over the positions of the
// country list sorted by code ("--" first), showing "Name (CODE)". While the pointer is
// on it, a typed letter jumps to the next country whose code starts with that letter
// (codes are upper case, so lower-case letters find them). Every change writes the
// code into the configuration record's countryCode and the country's point on a unit
// globe into countryPosition.
#include <array>
#include <cstdint>
#include <string>

#include "ui/MenuItemValue.h"

class CountrySelector : public MenuItemValue {
public:
    // value: a position 0..240 in the sorted list; not owned. Rebuilds the sort order.
    CountrySelector(float x, float y, float z, std::u16string caption, std::u16string helpText, std::int32_t* value);

    void tick(double time, double dt) override;
    void drawValue(float x, float y, float z) override;

    // The table row at a list position (clamped to the list).
    static int rowAt(std::int32_t position);
    // The position whose code starts with `letter` next after `from`, wrapping; `from`
    // itself when there is none.
    static std::int32_t findNext(std::int32_t from, char16_t letter);
    // The globe point of a row: (0, 0, -1) turned by yaw -longitude and pitch latitude.
    static void globePoint(int row, float out[3]);

    // Position -> table row: row 0 first, then rows 1..240 by code.
    static std::array<int, 241> sortOrder;

private:
    static void rebuildSortOrder();
    void storeChoice();
};
