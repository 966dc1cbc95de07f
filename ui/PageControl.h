// A page control: tabs along the top, each showing its page (a TTabSheet) below them.
#pragma once

#include <vector>

#include "ui/Control.h"

namespace kestrix {

// One page: the window text is the tab's caption, and the page holds the controls.
class TTabSheet : public TControl {
public:
    TTabSheet(TControl* parent, const std::string& caption);
};

class TPageControl : public TControl {
public:
    explicit TPageControl(TControl* parent);

    TTabSheet* AddPage(const std::string& caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // Ctrl+Tab and Ctrl+Shift+Tab, round the pages.
    void SelectNextPage(bool forward);

    bool ChildNotify(NMHDR& header, LRESULT& result) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayoutPages();
    void ShowActivePage();

    std::vector<TTabSheet*> pages_;
};

}  // namespace kestrix
