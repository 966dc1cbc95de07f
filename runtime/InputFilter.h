// What the playing screen saver does with each input message once it is armed, and how its
// alignment index maps to the player's alignment flags.
#pragma once

#include <cstdint>

namespace kestrix {

enum class InputAction {
    None,     // let the message through
    Swallow,  // handled: nobody receives it
    Close,    // close the screen saver; the message still goes through
};

struct ScreenPoint {
    int32_t X;
    int32_t Y;
};

// message: the window message number; position: its LPARAM for mouse messages.
InputAction DecideInput(uint32_t message, uint32_t position, ScreenPoint start);

// Alignment index 0..8 (row by row from the top left) to the player's flags (1 left,
// 2 right, 4 top, 8 bottom; 0 centre). Indexes outside 0..8 centre the movie.
int AlignModeForAlignment(int alignment);

}  // namespace kestrix
