#include "ui/PageControl.h"

#include <commctrl.h>

namespace kestrix {

namespace {
constexpr const char* kTabSheetClass = "TTabSheet";
}  // namespace

TTabSheet::TTabSheet(TControl* parent, const std::string& caption) : TControl(parent) {
    RegisterClassOnce(kTabSheetClass);
    CreateHandle(kTabSheetClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, caption);
}

TPageControl::TPageControl(TControl* parent) : TControl(parent) {
    // A container for Tab, so Tab walks into the active page; the tabs take the focus by click.
    CreateHandle(WC_TABCONTROLA, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, "");
}

TTabSheet* TPageControl::AddPage(const std::string& caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = caption;
    item.pszText = text.data();
    const int index = PageCount();
    SendMessageA(handle_, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    TTabSheet* page = Add<TTabSheet>(caption);
    pages_.push_back(page);
    LayoutPages();
    ShowActivePage();
    return page;
}

int TPageControl::ActivePageIndex() const { return static_cast<int>(SendMessageA(handle_, TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount()) return;
    SendMessageA(handle_, TCM_SETCURSEL, index, 0);
    ShowActivePage();
}

void TPageControl::SelectNextPage(bool forward) {
    if (pages_.empty()) return;
    const int count = PageCount();
    SetActivePageIndex((ActivePageIndex() + (forward ? 1 : count - 1)) % count);
}

void TPageControl::ShowActivePage() {
    const int active = ActivePageIndex();
    const HWND focus = GetFocus();
    for (int i = 0; i < PageCount(); ++i) {
        TTabSheet* page = pages_[static_cast<size_t>(i)];
        // The focus must not stay behind on a page that goes out of sight.
        if (i != active && focus && (focus == page->Handle() || IsChild(page->Handle(), focus))) SetFocus(handle_);
        page->SetVisible(i == active);
    }
}

void TPageControl::LayoutPages() {
    RECT r;
    GetClientRect(handle_, &r);
    SendMessageA(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    for (TTabSheet* page : pages_) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TPageControl::ChildNotify(NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE) return false;
    ShowActivePage();
    result = 0;
    return true;
}

LRESULT TPageControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TControl::HandleMessage(message, wParam, lParam);
    if (message == WM_SIZE) LayoutPages();
    return result;
}

}  // namespace kestrix
