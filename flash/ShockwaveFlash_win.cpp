#include "flash/ShockwaveFlash_win.h"

#include <cstdio>
#include <vector>

#include "base/Exception.h"
#include "base/SystemError.h"
#include "flash/FlashIds.h"

namespace kestrix {

namespace {

constexpr const char* kHostClass = "TShockwaveFlash";

std::wstring WideFromAnsi(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

[[noreturn]] void ThrowComError(const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    throw Exception(std::string(what) + ": " + SystemErrorMessage(static_cast<unsigned long>(result)) + " (" + code +
                    ")");
}

}  // namespace

// The container side of in-place activation: everything the control asks of its host.
class TFlashSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit TFlashSite(HWND window) : window_(window) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleInPlaceSite || iid == IID_IOleWindow) *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow)
            *object = static_cast<IOleInPlaceFrame*>(this);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        GetClientRect(window_, clip);
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(window_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, tool bars or accelerators to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    LONG references_ = 1;
    HWND window_;
};

TShockwaveFlash::TShockwaveFlash(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    RegisterClassOnce(kHostClass);
    bounds_ = {left, top, left + width, top + height};
    CreateHandle(kHostClass, WS_VISIBLE | WS_CLIPCHILDREN, 0, "");
    site_ = new TFlashSite(handle_);
    try {
        ActivateControl(width, height);
    } catch (...) {
        ReleaseControl();  // the destructor does not run for a half-built object
        throw;
    }
}

void TShockwaveFlash::ActivateControl(int width, int height) {
    HRESULT result = CoCreateInstance(kFlashClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      reinterpret_cast<void**>(&object_));
    if (FAILED(result)) ThrowComError("The Flash player control could not be created", result);
    object_->SetClientSite(site_);
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    RECT place{0, 0, width, height};
    result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, handle_, &place);
    if (FAILED(result)) ThrowComError("The Flash player control could not be shown", result);
    result = object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_));
    if (FAILED(result)) ThrowComError("The Flash player control has no dispatch interface", result);
}

void TShockwaveFlash::ReleaseControl() {
    if (dispatch_) dispatch_->Release();
    dispatch_ = nullptr;
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
    }
    object_ = nullptr;
    if (site_) site_->Release();
    site_ = nullptr;
}

TShockwaveFlash::~TShockwaveFlash() { ReleaseControl(); }

HWND TShockwaveFlash::ControlWindow() const {
    IOleInPlaceObject* inPlace = nullptr;
    HWND window = nullptr;
    if (object_ && SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->GetWindow(&window);
        inPlace->Release();
    }
    return window;
}

LRESULT TShockwaveFlash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && object_) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            RECT place{0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&place, &place);
            inPlace->Release();
        }
    }
    return TControl::HandleMessage(message, wParam, lParam);
}

void TShockwaveFlash::PutProperty(DISPID id, VARIANT value) {
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &namedPut, 1, 1};
    const HRESULT result =
        dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    VariantClear(&value);
    if (FAILED(result)) ThrowComError("The Flash player control refused a property", result);
}

VARIANT TShockwaveFlash::GetProperty(DISPID id) {
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const HRESULT status =
        dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (FAILED(status)) ThrowComError("The Flash player control did not give a property", status);
    return result;
}

void TShockwaveFlash::PutText(DISPID id, const std::string& text) {
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(WideFromAnsi(text).c_str());
    PutProperty(id, value);
}

void TShockwaveFlash::PutInteger(DISPID id, int number) {
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = number;
    PutProperty(id, value);
}

void TShockwaveFlash::SetMovie(const std::string& path) { PutText(FlashDispId::Movie, path); }
void TShockwaveFlash::SetBGColor(const std::string& color) { PutText(FlashDispId::BGColor, color); }
void TShockwaveFlash::SetScaleMode(int scaleMode) { PutInteger(FlashDispId::ScaleMode, scaleMode); }
void TShockwaveFlash::SetAlignMode(int alignMode) { PutInteger(FlashDispId::AlignMode, alignMode); }
void TShockwaveFlash::SetBackgroundColor(int color) { PutInteger(FlashDispId::BackgroundColor, color); }

void TShockwaveFlash::CallMethod(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT result = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) ThrowComError("The Flash player control does not know a method", result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    result = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    if (FAILED(result)) ThrowComError("The Flash player control failed a method", result);
}

void TShockwaveFlash::Play() { CallMethod(L"Play"); }
void TShockwaveFlash::Stop() { CallMethod(L"Stop"); }
void TShockwaveFlash::Rewind() { CallMethod(L"Rewind"); }

}  // namespace kestrix
