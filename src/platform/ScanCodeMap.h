#pragma once
// The one table from SDL's scan codes (physical key positions) to the PC set-1 scan
// codes that keyboard input codes 1 to 255 use. Extended keys carry + 0x80: right Ctrl
// 157, right Alt 184, keypad Enter 156, keypad / 181, arrows 200/203/205/208, Print
// Screen 183, Pause 197. Keys without a set-1 counterpart map to 0 (no key).
namespace ScanCodeMap {
// The set-1 code of an SDL scan code, 0 when there is none or the code is out of range.
int toInputCode(int sdlScancode);
}  // namespace ScanCodeMap
