#pragma once
// The picture container: owns at most one picture of any registered kind.
#include <functional>
#include <memory>
#include <string>

#include "graphics/Graphic.h"

class TBitmap;

using TGraphicFactory = std::function<TGraphic*()>;

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TNotifyEvent OnChange;
    // No picture kind reports progress; kept for the picture view, which forwards it.
    TProgressEvent OnProgress;

    TGraphic* Content() const { return content_.get(); }
    // Installs a new picture of g's class sharing g's content (none for null).
    void SetContent(TGraphic* graphic);
    // The picture as a bitmap, replacing any other kind by an empty bitmap.
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;

    void ShareFrom(TPersistent* source);
    // Loads a file by its extension's registered kind.
    void LoadFromFile(const std::string& fileName);

    // Clipboard formats: 2 (bitmap) makes a bitmap; 3 and 14 name metafiles.
    static bool SupportsClipboardFormat(UINT format);
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
    void SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette);

    // The stored form: a length byte, the class name, the picture's own data.
    void ReadData(const std::string& bytes);
    std::string WriteData() const;

    // Registers a file kind; later registrations win.
    static void RegisterFileFormat(const std::string& extension, const std::string& description, unsigned descriptionId,
                                   const std::string& className, TGraphicFactory factory);
    // Withdraws every file kind of that picture class; the kinds it hid are found again.
    static void UnregisterGraphicClass(const std::string& className);
    // "desc (*.ext)|*.ext|..." for every kind whose pictures are of class G.
    template <typename G>
    static std::string FilterText() {
        return FilterTextFor([](TGraphic* g) { return dynamic_cast<G*>(g) != nullptr; });
    }
    // The registered picture class of that name, or an empty factory.
    static TGraphicFactory FindClass(const std::string& className);

private:
    static std::string FilterTextFor(const std::function<bool(TGraphic*)>& isOfClass);
    // Replaces the content (none for null) and says so.
    void Install(std::unique_ptr<TGraphic> graphic);
    void Changed();

    std::unique_ptr<TGraphic> content_;
};
