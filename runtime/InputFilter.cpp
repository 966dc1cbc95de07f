#include "runtime/InputFilter.h"

#include <cstdlib>

namespace kestrix {

namespace {

// Window message numbers, spelled out so this stays free of Windows headers.
enum : uint32_t {
    kActivate = 0x0006,
    kActivateApp = 0x001C,
    kNcActivate = 0x0086,
    kKeyDown = 0x0100,
    kKeyUp = 0x0101,
    kSysKeyDown = 0x0104,
    kSysKeyUp = 0x0105,
    kMouseMove = 0x0200,
    kLeftButtonDown = 0x0201,
    kRightButtonDown = 0x0204,
    kMiddleButtonDown = 0x0207,
};

// Moves within this many pixels of where the cursor was at the start are not the user's.
constexpr int kMoveTolerance = 5;

}  // namespace

InputAction DecideInput(uint32_t message, uint32_t position, ScreenPoint start) {
    switch (message) {
        case kRightButtonDown: return InputAction::Swallow;
        case kMouseMove: {
            const int x = static_cast<int>(position & 0xFFFF);
            const int y = static_cast<int>(position >> 16);
            const bool moved = std::abs(x - start.X) > kMoveTolerance || std::abs(y - start.Y) > kMoveTolerance;
            return moved ? InputAction::Close : InputAction::None;
        }
        case kActivate:
        case kActivateApp:
        case kNcActivate:
        case kKeyDown:
        case kKeyUp:
        case kSysKeyDown:
        case kSysKeyUp:
        case kLeftButtonDown:
        case kMiddleButtonDown: return InputAction::Close;
        default: return InputAction::None;
    }
}

int AlignModeForAlignment(int alignment) {
    static const int kAlignModes[9] = {5, 4, 6, 1, 0, 2, 9, 8, 10};
    return alignment >= 0 && alignment <= 8 ? kAlignModes[alignment] : 0;
}

}  // namespace kestrix
