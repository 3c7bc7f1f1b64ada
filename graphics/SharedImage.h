#pragma once
// Image records shared by reference count between pictures. A record is the
// only place that deletes the handles it holds: when one is replaced, and
// when the last user lets the record go.
#include <windows.h>

#include <string>

#include "base/RefPtr.h"
#include "graphics/GdiObject.h"

// Whether a record deletes the handle it was made around, or was only lent it.
enum class THandleUse { Owned, Borrowed };

// The last RefPtr to let a record go deletes it and the handles it owns.
class TSharedImage : public TRefCounted {
public:
    bool OwnsHandle() const { return use_ == THandleUse::Owned; }

protected:
    explicit TSharedImage(THandleUse use) : use_(use) {}

private:
    const THandleUse use_;
};

class TIconImage : public TSharedImage {
public:
    // An empty record, or one around `handle`.
    explicit TIconImage(HICON handle = nullptr, THandleUse use = THandleUse::Owned);
    // Icon-file bytes, whose handle is made when first asked for.
    TIconImage(std::string iconData, SIZE size);
    ~TIconImage() override;

    // Read-only: the record alone changes its handle.
    const HICON& GdiHandle = handle_;
    std::string IconData;
    SIZE Size{0, 0};

    // Keeps the handle made from the record's own bytes, unless it has one.
    void SetMadeHandle(GdiIcon made, SIZE size);

private:
    HICON handle_;
};

class TBitmapImage : public TSharedImage {
public:
    TBitmapImage() : TSharedImage(THandleUse::Owned) {}
    // A record owning `handle` and `palette`, as `description` tells it.
    TBitmapImage(GdiBitmap handle, GdiPalette palette, const DIBSECTION& description);
    // A record around a handle whose lender deletes it after the record has gone.
    TBitmapImage(HBITMAP lent, const DIBSECTION& description);
    ~TBitmapImage() override;

    // Read-only: the record alone changes and deletes its handles.
    const HBITMAP& GdiHandle = handle_;
    const HBITMAP& MaskGdiHandle = mask_;
    const HPALETTE& Palette = palette_;
    DIBSECTION Description{};
    std::string StoredBmp;  // BMP-file bytes, while the pixels are as read
    bool ShortHeader = false;   // read from a file with the 12-byte header
    bool HalftoneMade = false;  // the palette is a halftone one made for the screen

    // The handle itself is a device-independent section, whose colour table can be read.
    bool IsSection() const { return handle_ && Description.dsBm.bmBits; }
    // The device-independent form: the handle itself, or a copy kept beside a
    // device-dependent handle; none while neither exists.
    HBITMAP SectionHandle() const { return IsSection() ? handle_ : section_; }
    const DIBSECTION& SectionDescription() const { return IsSection() ? Description : sectionDescription_; }
    // Keeps a section beside the device-dependent handle (none drops it).
    void ReplaceSection(GdiBitmap section, const DIBSECTION& description);
    // Each deletes the one it replaces; masks and palettes are always the record's.
    void ReplaceMask(GdiBitmap mask);
    void ReplacePalette(GdiPalette palette);
    // Hands the palette out to a caller who deletes it from now on.
    GdiPalette TakePalette();

private:
    HBITMAP handle_ = nullptr;
    HBITMAP mask_ = nullptr;
    HPALETTE palette_ = nullptr;
    HBITMAP section_ = nullptr;
    DIBSECTION sectionDescription_{};
};

// Copies a palette, or hands back the shared system one; none stays none.
GdiPalette CopyPalette(HPALETTE palette);
