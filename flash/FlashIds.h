// The identity of the movie player control: its class, its programmatic name, and the
// dispatch numbers of the properties and methods that the hosts use.
#pragma once

#include <ole2.h>
#include <windows.h>

namespace kestrix {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6C-AE6D-11CF-96B8-444553540000}: the control's dual interface.
constexpr IID kFlashInterfaceId = {0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr const char* kFlashClassIdText = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
constexpr const char* kFlashProgId = "ShockwaveFlash.ShockwaveFlash";

namespace FlashDispId {
constexpr DISPID Movie = 102;
constexpr DISPID Loop = 106;
constexpr DISPID ScaleMode = 120;
constexpr DISPID AlignMode = 121;
constexpr DISPID BackgroundColor = 123;
constexpr DISPID Playing = 125;
constexpr DISPID BGColor = 140;
constexpr DISPID Play = 0x70;
constexpr DISPID Stop = 0x71;
constexpr DISPID Rewind = 0x72;
}  // namespace FlashDispId

}  // namespace kestrix
