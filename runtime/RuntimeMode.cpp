#include "runtime/RuntimeMode.h"

#include "base/Text.h"

namespace kestrix {

RuntimeMode ModeFromArgument(const std::string* firstArgument) {
    if (!firstArgument) return RuntimeMode::Configuration;
    const std::string modeSwitch = LowerCase(firstArgument->substr(0, 2));
    if (modeSwitch == "/s") return RuntimeMode::ScreenSaver;
    if (modeSwitch == "/p") return RuntimeMode::Preview;
    return RuntimeMode::Configuration;
}

}  // namespace kestrix
