#pragma once
// The strings (each with one object) of a platform list box or combo box. While
// the control has no window they are kept here and handed to the next window.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "graphics/Colors.h"

class TCanvas;
class TFont;

struct TItemMessages {
    UINT addString, insertString, deleteString, resetContent, getCount, getText, getTextLen;
    UINT getItemData, setItemData, findStringExact, getCurSel, setCurSel, errorResult;
};

extern const TItemMessages ListBoxItemMessages;
extern const TItemMessages ComboBoxItemMessages;

class TPlatformItems {
public:
    explicit TPlatformItems(const TItemMessages& messages) : m_(messages) {}

    void Attach(HWND wnd);  // fills the new window with the kept items
    void Detach();          // keeps the window's items before it goes
    void SetSorted(bool sorted) { sorted_ = sorted; }

    int Count() const;
    // Adds in the list's order; returns the position the item went to.
    int Add(const std::string& text, TObject* object = nullptr);
    void Insert(int index, const std::string& text, TObject* object = nullptr);
    void Delete(int index);
    void Clear();
    std::string Strings(int index) const;
    TObject* Objects(int index) const;
    void SetObject(int index, TObject* object);
    // Position of the first item equal to `text` without regard to case, searching
    // after `start` and wrapping; -1 when none.
    int FindExact(const std::string& text, int start = -1) const;
    int ItemIndex() const;
    void SetItemIndex(int index);

private:
    struct Item {
        std::string text;
        TObject* object;
    };
    const TItemMessages& m_;
    HWND wnd_ = nullptr;
    std::vector<Item> kept_;
    int keptIndex_ = -1;
    bool sorted_ = false;
};

struct TMessage;

// Answers the reflected item-drawing and item-measuring messages of an
// owner-drawn list: the canvas gets the item's context, font and colours
// (highlight for a selected item), `draw` runs, then the focus rectangle is
// drawn when focused. Returns false for any other message.
bool OwnerDrawMessage(TMessage& message, TCanvas& canvas, TFont& font, TColor color, int itemHeight,
                      const std::function<void(int index, RECT rect, UINT state)>& draw);
