// The bars that an action list fills: a menu bar whose entries open menus of actions, and a
// tool bar of action buttons. Both are tool-bar controls, flat, with the hot entry in a
// highlight colour of our choosing.
#pragma once

#include <string>
#include <vector>

#include "ui/Actions.h"
#include "ui/Control.h"

namespace kestrix {

// One entry of a menu: an action under the entry's own caption ("S&ave As..."), or a
// separator when action is null.
struct TMenuEntry {
    std::string caption;
    TAction* action = nullptr;
};

struct TMenuDefinition {
    std::string caption;  // "&File"
    std::vector<TMenuEntry> entries;
};

class TActionBar : public TControl {
public:
    // Hot entries are filled with this colour.
    void SetHighlightColor(COLORREF color) { highlight_ = color; }
    bool ChildNotify(NMHDR& header, LRESULT& result) override;

protected:
    TActionBar(TControl* parent, TActionList& actions, bool withImages);
    void AddButton(int id, int image, const std::string& text);
    void AddSeparator();

    TActionList& actions_;
    COLORREF highlight_;
};

class TActionMainMenuBar : public TActionBar {
public:
    TActionMainMenuBar(TControl* parent, TActionList& actions, std::vector<TMenuDefinition> menus);
    // Opens the menu whose caption has "&" before this letter; false when there is none.
    bool OpenMenuByLetter(char letter);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OpenMenu(int index);

    std::vector<TMenuDefinition> menus_;
};

class TActionToolBar : public TActionBar {
public:
    // A null action stands for a separator. Buttons show the action's image and caption.
    TActionToolBar(TControl* parent, TActionList& actions, const std::vector<TAction*>& buttons);
    LRESULT ChildItemCommand(WORD id, WORD notification) override;
};

}  // namespace kestrix
