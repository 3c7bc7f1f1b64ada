#pragma once
// The strings (each with one object) of a platform list box or combo box. While
// the control has no window they are kept here and handed to the next window.
#include <windows.h>

#include <string>
#include <vector>

#include "base/Component.h"

// One kind of platform list: its window class, messages and notification codes.
struct TListKind {
    const char* windowClass;
    UINT addString, insertString, deleteString, resetContent, getCount, getText, getTextLen;
    UINT getItemData, setItemData, findStringExact, getCurSel, setCurSel, errorResult;
    UINT setItemHeight;
    WORD selChange, dblClick;  // notification codes
};

extern const TListKind ListBoxKind;
extern const TListKind ComboBoxKind;

class TPlatformItems {
public:
    explicit TPlatformItems(const TListKind& kind) : m_(kind) {}

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
    const TListKind& m_;
    HWND wnd_ = nullptr;
    std::vector<Item> kept_;
    int keptIndex_ = -1;
    bool sorted_ = false;
};
