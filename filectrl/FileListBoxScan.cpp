// Listing a directory and drawing its entries.
#include "filectrl/FileListBox.h"

#include "base/FindHandle.h"
#include "base/ScopeGuard.h"
#include "filectrl/ListGlyphs.h"
#include "filectrl/PathHelpers.h"
#include "framework/Application.h"
#include "graphics/Bitmap.h"

namespace {
constexpr DWORD kAttributeBits[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                    0x08 /* volume label */, FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_ARCHIVE};
constexpr DWORD kHiddenKinds = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x08 | FILE_ATTRIBUTE_DIRECTORY;

bool IsExecutableName(const std::string& name) {
    std::string extension = LowerForDisplay(ExtensionPart(name));
    return extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".pif";
}
}  // namespace

void TFileListBox::RescanFiles() {
    if (!WindowHandle()) return;
    DWORD asked = 0;
    for (int kind = ftReadOnly; kind <= ftArchive; ++kind)
        if (fileType_ & (1u << kind)) asked |= kAttributeBits[kind];
    bool normal = (fileType_ & (1u << ftNormal)) != 0;
    ChangeDirectory(directory_);
    Items().Clear();
    {
        // The screen cursor as it was, put back however the listing ends.
        ScopeGuard cursor([saved = Application.ScreenCursor()] { Application.SetScreenCursor(saved); });
        int lastInsert = 0;
        size_t start = 0;
        for (;;) {
            // Each part exactly as written; an empty part finds nothing.
            size_t end = mask_.find(';', start);
            std::string part = mask_.substr(start, end == std::string::npos ? std::string::npos : end - start);
            WIN32_FIND_DATAA found;
            FindHandle search = part.empty() ? FindHandle() : AdoptFindHandle(FindFirstFileA(part.c_str(), &found));
            if (search) {
                do {
                    DWORD attributes = found.dwFileAttributes;
                    // Hidden, system and directory entries only when asked for.
                    if (attributes & kHiddenKinds & ~asked) continue;
                    if (normal || (attributes & asked)) {
                        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                            lastInsert = Items().Add("[" + std::string(found.cFileName) + "]",
                                                     showGlyphs_ ? directory_glyph_.get() : nullptr);
                        else
                            lastInsert = Items().Add(found.cFileName, IsExecutableName(found.cFileName)
                                                                          ? executable_.get()
                                                                          : unknown_.get());
                    }
                    if (lastInsert == 100) Application.SetScreenCursor(crHourGlass);
                } while (FindNextFileA(search.Get(), &found));
            }
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    NotifyChange();
}

void TFileListBox::DrawItem(int index, RECT rect, UINT) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int offset = 2;
    auto* glyph = dynamic_cast<TBitmap*>(Items().Objects(index));
    if (showGlyphs_ && glyph && !glyph->Empty()) offset = DrawListGlyph(canvas, *glyph, rect.left + 2, rect) + 6;
    canvas.TextOut(rect.left + offset, rect.top, Items().Strings(index));
}
