#include "player/FlashControl_win.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/MemoryStream.h"
#include "flash/FlashIds.h"

namespace kestrix {

LONG gServerReferences = 0;

namespace {

constexpr const char* kWindowClass = "KestrixMoviePlayer";
constexpr UINT_PTR kFrameTimer = 1;
constexpr uint32_t kWhite = 0xFFFFFFFF;

struct NamedId {
    const wchar_t* name;
    DISPID id;
};

constexpr NamedId kNames[] = {
    {L"Movie", FlashDispId::Movie},         {L"ScaleMode", FlashDispId::ScaleMode},
    {L"AlignMode", FlashDispId::AlignMode}, {L"BackgroundColor", FlashDispId::BackgroundColor},
    {L"BGColor", FlashDispId::BGColor},     {L"Playing", FlashDispId::Playing},
    {L"Loop", FlashDispId::Loop},           {L"Play", FlashDispId::Play},
    {L"Stop", FlashDispId::Stop},           {L"Rewind", FlashDispId::Rewind},
};

HINSTANCE ModuleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
    return module;
}

void RegisterWindowClassOnce(WNDPROC procedure) {
    WNDCLASSEXA existing{sizeof existing};
    if (GetClassInfoExA(ModuleInstance(), kWindowClass, &existing)) return;
    WNDCLASSEXA windowClass{sizeof windowClass};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExA(&windowClass);
}

// The movie path arrives as wide text; files are opened by their ANSI name, as everywhere else.
std::string AnsiPath(const std::wstring& path) {
    const int length = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(std::strlen(ansi.c_str()));
    return ansi;
}

// A COLORREF-like integer (0x00BBGGRR, as the property's callers give it) as 0xAARRGGBB.
uint32_t ArgbFromColorRef(int color) {
    const uint32_t c = static_cast<uint32_t>(color);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

}  // namespace

TFlashControl::TFlashControl() {
    InterlockedIncrement(&gServerReferences);
    QueryPerformanceFrequency(&tickFrequency_);
}

TFlashControl::~TFlashControl() {
    InPlaceDeactivate();
    ReleaseBackBuffer();
    if (site_) site_->Release();
    InterlockedDecrement(&gServerReferences);
}

STDMETHODIMP TFlashControl::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kFlashInterfaceId)
        *object = static_cast<IDispatch*>(this);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(this);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TFlashControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) TFlashControl::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

// ---- dispatch ----

STDMETHODIMP TFlashControl::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP TFlashControl::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

STDMETHODIMP TFlashControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (const NamedId& named : kNames)
            if (_wcsicmp(names[i], named.name) == 0) ids[i] = named.id;
        if (ids[i] == DISPID_UNKNOWN) result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

STDMETHODIMP TFlashControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        return PutProperty(id, params->rgvarg[0]);
    }
    if (id == FlashDispId::Play || id == FlashDispId::Stop || id == FlashDispId::Rewind) return CallMethod(id);
    if (flags & DISPATCH_PROPERTYGET) return GetProperty(id, result);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT TFlashControl::PutProperty(DISPID id, VARIANT& value) {
    VARIANT converted;
    VariantInit(&converted);
    const VARTYPE type = (id == FlashDispId::Movie || id == FlashDispId::BGColor) ? VT_BSTR
                         : (id == FlashDispId::Playing || id == FlashDispId::Loop) ? VT_BOOL
                                                                                     : VT_I4;
    if (FAILED(VariantChangeType(&converted, &value, 0, type))) return DISP_E_TYPEMISMATCH;
    HRESULT outcome = S_OK;
    switch (id) {
        case FlashDispId::Movie: LoadMovie(converted.bstrVal ? converted.bstrVal : L""); break;
        case FlashDispId::ScaleMode: scaleMode_ = converted.lVal; break;
        case FlashDispId::AlignMode: alignMode_ = converted.lVal; break;
        case FlashDispId::BackgroundColor: backgroundColor_ = converted.lVal; break;
        case FlashDispId::BGColor: bgColorText_ = converted.bstrVal ? converted.bstrVal : L""; break;
        case FlashDispId::Playing: converted.boolVal ? CallMethod(FlashDispId::Play) : CallMethod(FlashDispId::Stop); break;
        case FlashDispId::Loop:
            loop_ = converted.boolVal != VARIANT_FALSE;
            if (player_) player_->SetLoop(loop_);
            break;
        default: outcome = DISP_E_MEMBERNOTFOUND;
    }
    VariantClear(&converted);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return outcome;
}

HRESULT TFlashControl::GetProperty(DISPID id, VARIANT* result) {
    if (!result) return E_POINTER;
    VariantInit(result);
    switch (id) {
        case FlashDispId::Movie:
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(movieName_.c_str());
            return S_OK;
        case FlashDispId::BGColor:
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(bgColorText_.c_str());
            return S_OK;
        case FlashDispId::Playing:
        case FlashDispId::Loop:
            result->vt = VT_BOOL;
            result->boolVal = (id == FlashDispId::Playing ? playing_ : loop_) ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case FlashDispId::ScaleMode:
        case FlashDispId::AlignMode:
        case FlashDispId::BackgroundColor:
            result->vt = VT_I4;
            result->lVal = id == FlashDispId::ScaleMode ? scaleMode_ : id == FlashDispId::AlignMode ? alignMode_
                                                                                                   : backgroundColor_;
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT TFlashControl::CallMethod(DISPID id) {
    if (id == FlashDispId::Play) {
        playing_ = true;
        if (player_) player_->Play();
        RestartClock();
    } else if (id == FlashDispId::Stop) {
        playing_ = false;
        if (player_) player_->Stop();
    } else if (id == FlashDispId::Rewind) {
        if (player_) player_->Rewind();
    }
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return S_OK;
}

// Setting a movie loads it and starts it at once; bytes that are not a movie leave the
// control empty.
void TFlashControl::LoadMovie(const std::wstring& path) {
    movieName_ = path;
    player_.reset();
    movie_.reset();
    try {
        TMemoryStream file;
        file.LoadFromFile(AnsiPath(path));
        std::string error;
        movie_ = swf::Movie::Load(file.Bytes().data(), file.Bytes().size(), error);
    } catch (const std::exception&) {
        movie_.reset();
    }
    if (!movie_) return;
    player_ = std::make_unique<swf::Player>(movie_);
    player_->SetLoop(loop_);
    playing_ ? player_->Play() : player_->Stop();
    RestartClock();
    StartFrameTimer();
}

// Ticks twice per frame: the engine steps frames by the clock, so a late tick loses nothing.
void TFlashControl::StartFrameTimer() {
    if (!window_ || !movie_) return;
    const double rate = std::max(1.0, movie_->FrameRate());
    SetTimer(window_, kFrameTimer, static_cast<UINT>(std::max(5.0, 1000.0 / rate / 2)), nullptr);
}

// ---- OLE object and in-place activation ----

STDMETHODIMP TFlashControl::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

STDMETHODIMP TFlashControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

STDMETHODIMP TFlashControl::Close(DWORD) {
    InPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP TFlashControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            if (site && !site_) SetClientSite(site);
            return InPlaceActivate(parent, position);
        case OLEIVERB_HIDE:
            if (window_) ShowWindow(window_, SW_HIDE);
            return S_OK;
        default: return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT TFlashControl::InPlaceActivate(HWND parent, LPCRECT position) {
    if (window_) return S_OK;
    if (!site_) return E_UNEXPECTED;
    if (FAILED(site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite_)))) return E_FAIL;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
        inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
        return E_FAIL;
    }
    inPlaceSite_->OnInPlaceActivate();
    HWND siteWindow = nullptr;
    inPlaceSite_->GetWindow(&siteWindow);
    if (siteWindow) parent = siteWindow;
    RECT place = position ? *position : RECT{0, 0, 0, 0};
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = nullptr;
    RECT clip;
    OLEINPLACEFRAMEINFO frameInfo{sizeof frameInfo};
    if (SUCCEEDED(inPlaceSite_->GetWindowContext(&frame, &document, &place, &clip, &frameInfo))) {
        if (frame) frame->Release();
        if (document) document->Release();
    }
    RegisterWindowClassOnce(WindowProc);
    window_ = CreateWindowExA(0, kWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, parent, nullptr, ModuleInstance(),
                              this);
    if (!window_) return E_FAIL;
    StartFrameTimer();
    RestartClock();
    return S_OK;
}

STDMETHODIMP TFlashControl::GetUserClassID(CLSID* classId) {
    if (!classId) return E_POINTER;
    *classId = kFlashClassId;
    return S_OK;
}

STDMETHODIMP TFlashControl::SetExtent(DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

STDMETHODIMP TFlashControl::GetExtent(DWORD, SIZEL* size) {
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

STDMETHODIMP TFlashControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
              OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE;
    return S_OK;
}

STDMETHODIMP TFlashControl::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP TFlashControl::InPlaceDeactivate() {
    if (window_) {
        const HWND window = window_;
        window_ = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    if (inPlaceSite_) {
        inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_->Release();
        inPlaceSite_ = nullptr;
    }
    return S_OK;
}

STDMETHODIMP TFlashControl::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    if (window_)
        MoveWindow(window_, position->left, position->top, position->right - position->left,
                   position->bottom - position->top, TRUE);
    return S_OK;
}

// ---- playback and drawing ----

void TFlashControl::RestartClock() { QueryPerformanceCounter(&lastTick_); }

void TFlashControl::OnTimer() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double elapsed = static_cast<double>(now.QuadPart - lastTick_.QuadPart) / tickFrequency_.QuadPart;
    lastTick_ = now;
    if (!player_ || !player_->Playing()) return;
    const int before = player_->CurrentFrame();
    player_->AdvanceTime(elapsed);
    if (player_->CurrentFrame() != before) InvalidateRect(window_, nullptr, FALSE);
}

uint32_t TFlashControl::FallbackColor() const {
    return backgroundColor_ >= 0 ? ArgbFromColorRef(backgroundColor_) : kWhite;
}

// The back buffer follows the window's size; it is kept between frames.
uint32_t* TFlashControl::BackBuffer(HDC dc, int width, int height) {
    if (backBuffer_ && backWidth_ == width && backHeight_ == height) return backBits_;
    ReleaseBackBuffer();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    backBuffer_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!backBuffer_ || !bits) {
        ReleaseBackBuffer();
        return nullptr;
    }
    backBits_ = static_cast<uint32_t*>(bits);
    backWidth_ = width;
    backHeight_ = height;
    return backBits_;
}

void TFlashControl::ReleaseBackBuffer() {
    if (backBuffer_) DeleteObject(backBuffer_);
    backBuffer_ = nullptr;
    backBits_ = nullptr;
    backWidth_ = backHeight_ = 0;
}

// Drawn into the back buffer and copied in one go, so a frame never shows half-drawn.
void TFlashControl::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    const int width = client.right;
    const int height = client.bottom;
    uint32_t* pixels = width > 0 && height > 0 ? BackBuffer(dc, width, height) : nullptr;
    if (pixels) {
        if (player_) {
            player_->Render(pixels, width, height, width, static_cast<swf::ScaleMode>(std::clamp(scaleMode_, 0, 3)),
                            alignMode_);
        } else {
            std::fill(pixels, pixels + static_cast<size_t>(width) * height, FallbackColor());
        }
        HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(memory, backBuffer_);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(window_, &paint);
}

LRESULT CALLBACK TFlashControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* control = reinterpret_cast<TFlashControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (control && control->window_ == window) {
        switch (message) {
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: control->Paint(); return 0;
            case WM_TIMER:
                if (wParam == kFrameTimer) control->OnTimer();
                return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace kestrix
