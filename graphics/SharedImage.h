#pragma once
// Image records shared by reference count between pictures. A record owns its
// platform handles; the last user to let it go deletes them.
#include <windows.h>

#include <string>

class TSharedImage {
public:
    TSharedImage() = default;
    TSharedImage(const TSharedImage&) = delete;
    TSharedImage& operator=(const TSharedImage&) = delete;

    void Reference() { InterlockedIncrement(&useCount_); }
    // Drops one use; the last one deletes the handles and the record.
    void Release();
    LONG UseCount() const { return useCount_; }

protected:
    virtual ~TSharedImage() = default;
    virtual void FreeHandles() = 0;

private:
    volatile LONG useCount_ = 0;
};

class TIconImage : public TSharedImage {
public:
    HICON GdiHandle = nullptr;
    bool HasData = false;
    std::string IconData;  // icon-file bytes
    SIZE Size{0, 0};

protected:
    void FreeHandles() override;
};

class TBitmapImage : public TSharedImage {
public:
    HBITMAP GdiHandle = nullptr;
    HBITMAP MaskGdiHandle = nullptr;
    HPALETTE Palette = nullptr;
    HBITMAP SectionHandle = nullptr;
    DIBSECTION Description{};
    bool HasStoredBmp = false;
    std::string StoredBmp;  // BMP-file bytes
    bool ShortHeader = false;
    bool HalftoneMade = false;

protected:
    ~TBitmapImage() override;
    void FreeHandles() override;
};

// The shared 16-colour system palette: never deleted.
HPALETTE SystemPalette16();
// Deletes a palette unless it is the shared system one.
void DeletePalette(HPALETTE palette);
// Copies a palette, or hands back the shared system one; 0 stays 0.
HPALETTE CopyPalette(HPALETTE palette);
