// The runtime's mode, from the first two characters of its first argument.
#pragma once

#include <string>

namespace kestrix {

enum class RuntimeMode { ScreenSaver, Preview, Configuration };

// "/s" plays, "/p" shows nothing; anything else, or no argument, configures. Case does not
// matter, and whatever follows the two characters (a window number) is not used.
RuntimeMode ModeFromArgument(const std::string* firstArgument);

}  // namespace kestrix
