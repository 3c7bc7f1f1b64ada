#pragma once
// The icon list of a scanned file, filled in short steps that the message
// loop runs between messages, so that a file of thousands of icons never
// freezes the window. Every icon's item comes first, so any icon can be
// clicked at once; the pictures follow in order. Filled step by step or in
// one go, the list ends the same.
#include <functional>

class TCustomImageList;
class TCustomListView;
class TIconSource;

class TIconListFill {
public:
    TIconListFill(TIconSource& source, TCustomImageList& images, TCustomListView& view);
    ~TIconListFill();
    TIconListFill(const TIconListFill&) = delete;
    TIconListFill& operator=(const TIconListFill&) = delete;

    // Empties the list and begins filling it with the `count` icons the
    // source counted last; an earlier fill is abandoned.
    void Start(int count);
    // Abandons the fill under way; the list keeps what it has.
    void Cancel();
    bool Filling() const { return filling_; }
    // The items and pictures in the list so far.
    int Items() const { return items_; }
    int Pictures() const { return pictures_; }
    // Fills for a short while; false once the list is full.
    bool Step();
    // Fills the rest at once.
    void Finish();

    // Told when a fill begins, and when it ends or is abandoned.
    std::function<void(bool filling)> OnFillingChange;

private:
    void SetFilling(bool filling);
    void AppendItems();
    void AppendPictures();

    TIconSource& source_;
    TCustomImageList& images_;
    TCustomListView& view_;
    int count_ = 0;
    int items_ = 0;
    int pictures_ = 0;
    bool filling_ = false;
    double pictureCost_ = 1;  // milliseconds a picture took in the last step
};
