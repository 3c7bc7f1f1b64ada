#pragma once
// The abstract picture and what decoders report while they work.
#include <windows.h>

#include <functional>
#include <string>

#include "base/ByteReader.h"
#include "base/Component.h"
#include "graphics/GdiObject.h"

class TCanvas;

enum class TProgressStage { StageStart, StageRunning, StageEnd };
using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, unsigned char percentDone,
                                          bool redrawNow, const RECT& rect, const std::string& message)>;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    TNotifyEvent OnChange;
    bool PaletteChanged = false;

    virtual const char* ClassName() const = 0;
    // A new, empty picture of the same class.
    virtual TGraphic* NewOfSameClass() const = 0;

    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    // Same class and same stored bytes; two empty pictures are equal.
    virtual bool Equals(TGraphic* other);
    virtual bool Empty() = 0;
    virtual int Width() = 0;
    virtual int Height() = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual HPALETTE Palette() { return nullptr; }
    // Takes `palette` over, also when this throws; a picture without palettes lets it go.
    virtual void SetPalette(GdiPalette) {}
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    // The stored form inside a picture container's "Data".
    virtual void ReadData(TByteReader& reader) = 0;
    virtual void WriteData(std::string& out) = 0;
    // The file form.
    virtual void LoadFromStream(const std::string& bytes) = 0;
    virtual std::string SaveToStream() = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // The clipboard forms. A load copies what the clipboard keeps; a save
    // hands out new objects, the caller's until the clipboard takes them.
    virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) = 0;
    virtual void SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) = 0;

    // Takes another picture's content; a source of another class is refused.
    virtual void ShareFrom(TPersistent* source);

protected:
    virtual void Changed();
    [[noreturn]] void AssignError(TPersistent* source) const;
    bool transparent_ = false;
};
