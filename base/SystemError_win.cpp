#include <windows.h>

#include "base/SystemError.h"

namespace kestrix {

std::string SystemErrorMessage(unsigned long errorCode) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        errorCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message(text ? text : "", length);
    LocalFree(text);
    while (!message.empty() && static_cast<unsigned char>(message.back()) <= ' ') message.pop_back();
    if (message.empty()) message = "System error " + std::to_string(errorCode) + ".";
    return message;
}

}  // namespace kestrix
