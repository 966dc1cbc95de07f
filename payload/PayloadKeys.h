// The keys of a compiled screen saver's payload, in the order the compile stores them.
#pragma once

namespace kestrix::PayloadKey {

constexpr const char* SSNameVersion = "SSNameVersion";  // string
constexpr const char* FlashFile = "FlashFile";          // file: the movie
constexpr const char* Scale = "Scale";                  // integer, -1..3
constexpr const char* Alignment = "Alignment";          // integer, 0..8
constexpr const char* Title = "Title";                  // string
constexpr const char* Website = "Website";              // string
constexpr const char* Email = "Email";                  // string
constexpr const char* Logo = "Logo";                    // stream: a BMP file
constexpr const char* Transparent = "Transparent";      // integer, 0 or 1
constexpr const char* CopyrightText = "CopyrightText";  // string, lines joined by CR LF
constexpr const char* ScrollBar = "ScrollBar";          // integer, -1..3

}  // namespace kestrix::PayloadKey

namespace kestrix::PayloadTag {

// Every record starts with one of these ten-character tags.
constexpr const char* String = "STREAM:STR";
constexpr const char* Integer = "STREAM:INT";
constexpr const char* Stream = "STREAM:STM";
constexpr const char* File = "STREAM:FIL";
constexpr const char* End = "STREAM:END";

}  // namespace kestrix::PayloadTag
