#include "graphics/Icon.h"

#include <cstring>

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "graphics/Canvas.h"
#include "iconfile/IconFile.h"
#include "resources/StringIds.h"

namespace {
[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(LoadStr(SInvalidIcon)); }

SIZE StandardSize() { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }

uint32_t DisplayColors() {
    WindowDC screen(nullptr);
    int bits = GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES);
    return bits <= 8 ? (1u << bits) : 0x7FFFFFFF;
}

// Built from icon-file data: the entry for the wanted size and the display's
// colours, checked to hold what its header claims before the platform sees it.
GdiIcon BuildIcon(const std::string& data, SIZE wanted, SIZE& size) {
    if (IconFileType(data) == 0) {
        size = {0, 0};
        return GdiIcon(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    }
    std::vector<TIconFileEntry> entries = IconFileEntries(data);
    if (entries.empty()) InvalidIcon();
    SIZE target = wanted.cx || wanted.cy ? wanted : StandardSize();
    const TIconFileEntry& e = entries[ChooseIconEntry(entries, target.cx, target.cy, DisplayColors())];
    auto* bits = reinterpret_cast<BYTE*>(const_cast<char*>(data.data())) + e.offset;
    if (!IconImageIsWhole(bits, e.size)) InvalidIcon();
    // A side of 0 stands for 256 pixels.
    size = {e.width ? e.width : 256, e.height ? e.height : 256};
    GdiIcon made(CreateIconFromResourceEx(bits, e.size, TRUE, 0x00030000, size.cx, size.cy, 0));
    if (!made) RaiseLastPlatformError();
    return made;
}
}  // namespace

TIcon::TIcon() : image_(MakeRef<TIconImage>()) { transparent_ = true; }

TIcon::~TIcon() = default;

void TIcon::NewImage(TIconImage* image) { image_ = RefPtr<TIconImage>(image); }

bool TIcon::Empty() { return !image_->GdiHandle && image_->IconData.empty(); }

int TIcon::Width() { return image_->Size.cx ? image_->Size.cx : GetSystemMetrics(SM_CXICON); }

int TIcon::Height() { return image_->Size.cy ? image_->Size.cy : GetSystemMetrics(SM_CYICON); }

void TIcon::SetWidth(int width) {
    if (image_->GdiHandle) throw EInvalidGraphicOperation(LoadStr(SChangeIconSize));
    wanted_.cx = width;
}

void TIcon::SetHeight(int height) {
    if (image_->GdiHandle) throw EInvalidGraphicOperation(LoadStr(SChangeIconSize));
    wanted_.cy = height;
}

HICON TIcon::GdiHandle() {
    if (!image_->GdiHandle && !image_->IconData.empty()) {
        SIZE size{};
        GdiIcon made = BuildIcon(image_->IconData, wanted_, size);
        image_->SetMadeHandle(std::move(made), size);
    }
    return image_->GdiHandle;
}

void TIcon::SetGdiHandle(HICON handle, THandleUse use) {
    // Taking the handle it already holds would let the old record destroy it.
    if (handle && handle == image_->GdiHandle) return;
    GdiIcon taken(use == THandleUse::Owned ? handle : nullptr);
    auto* image = new TIconImage(handle, use);
    taken.Release();
    NewImage(image);
    Changed();
}

void TIcon::SetGdiHandle(GdiIcon&& icon) { SetGdiHandle(icon.Release(), THandleUse::Owned); }

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    HDC dc = canvas.GdiHandle();
    // The icon keeps its own size; the rectangle only places it.
    DrawIconEx(dc, rect.left, rect.top, GdiHandle(), 0, 0, 0, nullptr, DI_NORMAL);
}

void TIcon::ShareFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TIcon*>(source)) {
        if (other != this) NewImage(other->image_.Get());
    } else if (!source) {
        NewImage(new TIconImage);
    } else {
        AssignError(source);
    }
    Changed();
}

void TIcon::LoadFromStream(const std::string& bytes) {
    int type = IconFileType(bytes);
    if (type < 0 || type > 1) InvalidIcon();
    // The handle and its size come with the first use.
    NewImage(new TIconImage(bytes, {0, 0}));
    Changed();
}

std::string TIcon::SaveToStream() {
    if (!image_->IconData.empty()) return image_->IconData;
    // A handle without its file bytes cannot be written back faithfully.
    InvalidIcon();
}

void TIcon::ReadData(TByteReader& reader) { LoadFromStream(reader.Read(reader.Remaining())); }

void TIcon::WriteData(std::string& out) { out += SaveToStream(); }

void TIcon::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
    throw EInvalidGraphicOperation(LoadStr(SIconToClipboard));
}

void TIcon::SaveToClipboardFormat(UINT&, GdiBitmap&, GdiPalette&) {
    throw EInvalidGraphicOperation(LoadStr(SIconToClipboard));
}
