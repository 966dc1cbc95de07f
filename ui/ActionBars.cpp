#include "ui/ActionBars.h"

#include <cctype>

#include "ui/Application.h"

namespace kestrix {

namespace {

constexpr int kMenuButtonBase = 1;    // menu bar entries are numbered from here
constexpr int kSeparatorWidth = 8;
constexpr int kMenuPicturePadding = 2;  // beside an item's picture, before its text
// A hot entry's colour unless told otherwise: the light grey of XP-style bars.
constexpr COLORREF kDefaultHighlight = RGB(226, 225, 219);

}  // namespace

TActionBar::TActionBar(TControl* parent, TActionList& actions, bool withImages)
    : TControl(parent), actions_(actions), highlight_(kDefaultHighlight) {
    CreateHandle(TOOLBARCLASSNAMEA,
                 WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TRANSPARENT | CCS_NODIVIDER |
                     CCS_NOPARENTALIGN | CCS_NORESIZE,
                 0, "");
    SendMessageA(handle_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(handle_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(withImages ? actions.ImageList() : nullptr));
}

void TActionBar::AddButton(int id, int image, const std::string& text) {
    // The control keeps its own copy of the text in its string pool.
    const std::string pooled = text + '\0';
    const LRESULT textIndex = SendMessageA(handle_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(pooled.c_str()));
    TBBUTTON button{};
    button.iBitmap = image >= 0 ? image : I_IMAGENONE;
    button.idCommand = id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    button.iString = textIndex;
    SendMessageA(handle_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageA(handle_, TB_AUTOSIZE, 0, 0);
}

void TActionBar::AddSeparator() {
    TBBUTTON button{};
    button.iBitmap = kSeparatorWidth;
    button.fsStyle = BTNS_SEP;
    SendMessageA(handle_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageA(handle_, TB_AUTOSIZE, 0, 0);
}

bool TActionBar::ChildNotify(NMHDR& header, LRESULT& result) {
    if (header.code != NM_CUSTOMDRAW) return false;
    auto& draw = reinterpret_cast<NMTBCUSTOMDRAW&>(header);
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT: result = CDRF_NOTIFYITEMDRAW; return true;
        case CDDS_ITEMPREPAINT:
            draw.clrHighlightHotTrack = highlight_;
            draw.clrTextHighlight = GetSysColor(COLOR_BTNTEXT);  // a light highlight keeps dark text
            result = TBCDRF_HILITEHOTTRACK;
            return true;
    }
    return false;
}

TActionMainMenuBar::TActionMainMenuBar(TControl* parent, TActionList& actions, std::vector<TMenuDefinition> menus)
    : TActionBar(parent, actions, false), menus_(std::move(menus)) {
    for (size_t i = 0; i < menus_.size(); ++i)
        AddButton(kMenuButtonBase + static_cast<int>(i), -1, menus_[i].caption);
}

bool TActionMainMenuBar::OpenMenuByLetter(char letter) {
    for (size_t i = 0; i < menus_.size(); ++i) {
        const std::string& caption = menus_[i].caption;
        const size_t amp = caption.find('&');
        if (amp == std::string::npos || amp + 1 >= caption.size()) continue;
        const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
        if (lower(caption[amp + 1]) != lower(letter)) continue;
        OpenMenu(static_cast<int>(i));
        return true;
    }
    return false;
}

void TActionMainMenuBar::OpenMenu(int index) {
    const TMenuDefinition& menu = menus_[static_cast<size_t>(index)];
    HMENU popup = CreatePopupMenu();
    for (const TMenuEntry& entry : menu.entries) {
        if (!entry.action) {
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(entry.action->Id()), entry.caption.c_str());
        const int image = entry.action->ImageIndex();
        if (image >= 0 && image < actions_.ImageCount()) {
            // Drawn by us (WM_DRAWITEM), so its transparent pixels show the item's own colour.
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_BITMAP | MIIM_DATA;
            item.hbmpItem = HBMMENU_CALLBACK;
            item.dwItemData = static_cast<ULONG_PTR>(image);
            SetMenuItemInfoA(popup, static_cast<UINT>(entry.action->Id()), FALSE, &item);
        }
    }
    const int buttonId = kMenuButtonBase + index;
    RECT button{};
    SendMessageA(handle_, TB_GETRECT, buttonId, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(handle_, HWND_DESKTOP, reinterpret_cast<POINT*>(&button), 2);
    TPMPARAMS keepClear{sizeof keepClear, button};  // the menu opens below its entry, never over it
    SendMessageA(handle_, TB_PRESSBUTTON, buttonId, TRUE);
    const int chosen = static_cast<int>(
        TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL,
                         button.left, button.bottom, handle_, &keepClear));
    SendMessageA(handle_, TB_PRESSBUTTON, buttonId, FALSE);
    DestroyMenu(popup);
    if (const TAction* action = actions_.Find(chosen)) action->Execute();
}

LRESULT TActionMainMenuBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The open menu's item pictures: this bar owns the menu, so it is asked for them.
    if (message == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU) {
            int width = 0, height = 0;
            ImageList_GetIconSize(actions_.ImageList(), &width, &height);
            item->itemWidth = static_cast<UINT>(width + 2 * kMenuPicturePadding);
            item->itemHeight = static_cast<UINT>(height);
            return TRUE;
        }
    }
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType == ODT_MENU) {
            int width = 0, height = 0;
            ImageList_GetIconSize(actions_.ImageList(), &width, &height);
            const int top = (item->rcItem.top + item->rcItem.bottom - height) / 2;
            ImageList_Draw(actions_.ImageList(), static_cast<int>(item->itemData), item->hDC,
                           item->rcItem.left + kMenuPicturePadding, top, ILD_TRANSPARENT);
            return TRUE;
        }
    }
    // A menu opens as the button goes down, as menus do.
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int index = static_cast<int>(SendMessageA(handle_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
        if (index >= 0 && index < static_cast<int>(menus_.size())) {
            if (Application) Application->Guarded([this, index] { OpenMenu(index); });
            else OpenMenu(index);
            return 0;
        }
    }
    return TActionBar::HandleMessage(message, wParam, lParam);
}

TActionToolBar::TActionToolBar(TControl* parent, TActionList& actions, const std::vector<TAction*>& buttons)
    : TActionBar(parent, actions, true) {
    for (const TAction* action : buttons) {
        if (action) AddButton(action->Id(), action->ImageIndex(), action->Caption());
        else AddSeparator();
    }
}

LRESULT TActionToolBar::ChildItemCommand(WORD id, WORD notification) {
    if (notification == BN_CLICKED)
        if (const TAction* action = actions_.Find(id)) action->Execute();
    return 0;
}

}  // namespace kestrix
