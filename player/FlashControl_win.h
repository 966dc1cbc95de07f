// The movie player control: an in-process ActiveX control that hosts activate in place in
// a child window. It plays a movie with the portable engine and takes its properties and
// methods through the dispatch interface.
#pragma once

#include <ole2.h>
#include <ocidl.h>
#include <windows.h>

#include <memory>
#include <string>

#include "swf/Player.h"

namespace kestrix {

class TFlashControl final : public IDispatch, public IOleObject, public IOleInPlaceObject, public IPersistStreamInit {
public:
    TFlashControl();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: the properties Movie, ScaleMode, AlignMode, BackgroundColor, BGColor,
    // Playing and Loop; the methods Play, Stop and Rewind.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT position) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* classId) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow and IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersistStreamInit: no stored state beyond the defaults.
    STDMETHODIMP GetClassID(CLSID* classId) override { return GetUserClassID(classId); }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return S_OK; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return S_OK; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override { return S_OK; }

private:
    ~TFlashControl();
    HRESULT InPlaceActivate(HWND parent, LPCRECT position);
    HRESULT PutProperty(DISPID id, VARIANT& value);
    HRESULT GetProperty(DISPID id, VARIANT* result);
    HRESULT CallMethod(DISPID id);

    void LoadMovie(const std::wstring& path);
    void RestartClock();
    void StartFrameTimer();
    void OnTimer();
    void Paint();
    uint32_t* BackBuffer(HDC dc, int width, int height);
    void ReleaseBackBuffer();
    uint32_t FallbackColor() const;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LONG references_ = 1;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    HWND window_ = nullptr;
    SIZEL extent_{2540, 2540};  // HIMETRIC

    std::wstring movieName_;
    int scaleMode_ = 0;  // show all
    int alignMode_ = 0;  // centre
    int backgroundColor_ = -1;  // -1: the movie's own
    std::wstring bgColorText_;
    bool playing_ = true;
    bool loop_ = true;

    std::shared_ptr<const swf::Movie> movie_;
    std::unique_ptr<swf::Player> player_;
    HBITMAP backBuffer_ = nullptr;
    uint32_t* backBits_ = nullptr;
    int backWidth_ = 0;
    int backHeight_ = 0;
    LARGE_INTEGER lastTick_{};
    LARGE_INTEGER tickFrequency_{};
};

// Objects alive and server locks, for DllCanUnloadNow.
extern LONG gServerReferences;

}  // namespace kestrix
