#pragma once
// Icon pictures: an icon handle, or icon-file bytes from which the handle is made.
#include "graphics/Graphic.h"
#include "graphics/SharedImage.h"

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;

    const char* ClassName() const override { return "TIcon"; }
    TGraphic* NewOfSameClass() const override { return new TIcon; }

    bool Empty() override;
    // The size chosen from icon-file data, else the platform's standard icon size.
    int Width() override;
    int Height() override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // Icons always draw through their own mask.
    void SetTransparent(bool) override {}
    bool Transparent() const override { return true; }

    // Lent to the caller: the icon's record keeps it.
    HICON GdiHandle();
    // Shows `handle` from now on. Owned: handed over, the record destroys it,
    // also when this throws. Borrowed: the caller destroys it after this icon
    // has let go of it.
    void SetGdiHandle(HICON handle, THandleUse use = THandleUse::Owned);
    // Shows `icon` from now on; the record destroys it, also when this throws.
    void SetGdiHandle(GdiIcon&& icon);

    void Draw(TCanvas& canvas, const RECT& rect) override;
    void ShareFrom(TPersistent* source) override;
    void ReadData(TByteReader& reader) override;
    void WriteData(std::string& out) override;
    void LoadFromStream(const std::string& bytes) override;
    std::string SaveToStream() override;
    // Icons do not travel through the clipboard.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) override;

    TIconImage* Image() const { return image_.Get(); }

private:
    // Uses `image`, new or shared, from now on and lets the old record go.
    void NewImage(TIconImage* image);

    RefPtr<TIconImage> image_;
    SIZE wanted_{0, 0};
};
