// The system's own text for a Windows error code (Windows builds only).
#pragma once

#include <string>

namespace kestrix {

std::string SystemErrorMessage(unsigned long errorCode);

}  // namespace kestrix
