#include "graphics/Icon.h"

#include <cstring>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "graphics/Canvas.h"
#include "resources/StringIds.h"

namespace {
#pragma pack(push, 1)
struct IconDir {
    WORD reserved, type, count;
};
struct IconDirEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes, imageOffset;
};
#pragma pack(pop)

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(LoadStr(SInvalidIcon)); }

// The entries of icon-file bytes; a header of another kind is refused.
std::vector<IconDirEntry> IconEntries(const std::string& data) {
    if (data.size() < sizeof(IconDir)) InvalidIcon();
    IconDir dir;
    std::memcpy(&dir, data.data(), sizeof dir);
    if (dir.reserved != 0 || (dir.type != 0 && dir.type != 1) || dir.count == 0) InvalidIcon();
    if (data.size() < sizeof dir + dir.count * sizeof(IconDirEntry)) InvalidIcon();
    std::vector<IconDirEntry> entries(dir.count);
    std::memcpy(entries.data(), data.data() + sizeof dir, dir.count * sizeof(IconDirEntry));
    for (const IconDirEntry& e : entries)
        if (e.imageOffset > data.size() || e.bytesInRes > data.size() - e.imageOffset) InvalidIcon();
    return entries;
}

int Side(BYTE value) { return value == 0 ? 256 : value; }

// The entry nearest the wanted size, the deeper one among equals.
const IconDirEntry& Choose(const std::vector<IconDirEntry>& entries, SIZE wanted) {
    const IconDirEntry* best = &entries[0];
    auto score = [&](const IconDirEntry& e) { return std::abs(Side(e.width) - wanted.cx) + std::abs(Side(e.height) - wanted.cy); };
    for (const IconDirEntry& e : entries)
        if (score(e) < score(*best) || (score(e) == score(*best) && e.bitCount > best->bitCount)) best = &e;
    return *best;
}

SIZE StandardSize() { return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}; }
}  // namespace

TIcon::TIcon() : image_(new TIconImage) {
    image_->Reference();
    transparent_ = true;
}

TIcon::~TIcon() { image_->Release(); }

void TIcon::NewImage(TIconImage* image) {
    image->Reference();
    image_->Release();
    image_ = image;
}

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
        std::vector<IconDirEntry> entries = IconEntries(image_->IconData);
        SIZE wanted = StandardSize();
        if (wanted_.cx > 0) wanted.cx = wanted_.cx;
        if (wanted_.cy > 0) wanted.cy = wanted_.cy;
        const IconDirEntry& e = Choose(entries, wanted);
        auto* bits = reinterpret_cast<BYTE*>(&image_->IconData[e.imageOffset]);
        GdiIcon made(CreateIconFromResourceEx(bits, e.bytesInRes, TRUE, 0x00030000, Side(e.width), Side(e.height), 0));
        image_->SetMadeHandle(std::move(made), {Side(e.width), Side(e.height)});
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

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
    HDC dc = canvas.GdiHandle();
    // The icon keeps its own size; the rectangle only places it.
    DrawIconEx(dc, rect.left, rect.top, GdiHandle(), 0, 0, 0, nullptr, DI_NORMAL);
}

void TIcon::ShareFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TIcon*>(source)) {
        if (other != this) NewImage(other->image_);
    } else if (!source) {
        NewImage(new TIconImage);
    } else {
        AssignError(source);
    }
    Changed();
}

void TIcon::LoadFromStream(const std::string& bytes) {
    std::vector<IconDirEntry> entries = IconEntries(bytes);
    const IconDirEntry& e = Choose(entries, StandardSize());
    NewImage(new TIconImage(bytes, {Side(e.width), Side(e.height)}));
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

void TIcon::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation(LoadStr(SIconToClipboard));
}
