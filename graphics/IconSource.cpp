#include "graphics/IconSource.h"

#include <cstring>
#include <memory>
#include <vector>

#include "base/FileHandle.h"
#include "base/LateBound.h"
#include "graphics/GdiObject.h"
#include "iconfile/IconBytes.h"
#include "iconfile/IconImages.h"

namespace {
// The platform's reader of the icons it finds elsewhere than in the file.
const TLateBound<decltype(ExtractIconA)> kExtractIcon{"shell32.dll", "ExtractIconA"};

// Larger files hold no icons worth reading whole into memory.
constexpr unsigned long long kLargestFile = 256ull << 20;

unsigned long long SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& now) {
    return (static_cast<unsigned long long>(now.nFileSizeHigh) << 32) | now.nFileSizeLow;
}

// The image the platform would choose for the system's icon size.
const TIconImageRef* ChosenImage(const TIconGroup& group) {
    if (group.images.empty()) return nullptr;
    // Of one image there is nothing to choose: the platform's search is spared.
    if (group.images.size() == 1) return &group.images.front();
    // The group as the platform's own directory form: 14-byte entries whose
    // ids are the images' positions counted from 1.
    std::vector<unsigned char> directory(6 + 14 * group.images.size());
    Put16(directory, 2, 1);
    Put16(directory, 4, static_cast<unsigned>(group.images.size()));
    for (size_t i = 0; i < group.images.size(); ++i) {
        const TIconImageRef& image = group.images[i];
        const size_t at = 6 + 14 * i;
        directory[at] = image.width;
        directory[at + 1] = image.height;
        Put16(directory, at + 2, image.colorCount);
        Put16(directory, at + 4, image.planes);
        Put16(directory, at + 6, image.bitCount);
        Put32(directory, at + 8, static_cast<uint32_t>(image.size));
        Put16(directory, at + 12, static_cast<unsigned>(i + 1));
    }
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    int id = LookupIconIdFromDirectoryEx(directory.data(), TRUE, cx, cy, LR_DEFAULTCOLOR);
    if (id < 1 || static_cast<size_t>(id) > group.images.size()) id = 1;
    return &group.images[static_cast<size_t>(id) - 1];
}
}  // namespace

struct TIconSource::TReadFile {
    std::string path;
    unsigned long long size = 0;
    FILETIME written{};
    std::vector<unsigned char> bytes;  // the images point into these
    TIconFile icons;
    // A well-formed executable without icons of its own: the platform may
    // know where its icons are kept.
    bool askPlatform = false;
    std::vector<const TIconImageRef*> chosen;  // by group, once asked for

    // Nothing read: no file, or a folder.
    TReadFile() = default;
    TReadFile(const std::string& name, const WIN32_FILE_ATTRIBUTE_DATA& now)
        : path(name), size(SizeOf(now)), written(now.ftLastWriteTime) {
        if (size > kLargestFile) return;
        FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) return;
        bytes.resize(static_cast<size_t>(size));
        DWORD got = 0;
        if (!bytes.empty() &&
            (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
             got != bytes.size())) {
            bytes.clear();
            return;
        }
        icons = ReadIconFile(bytes.data(), bytes.size());
        askPlatform = (icons.kind == TIconFileKind::Pe || icons.kind == TIconFileKind::Ne) && !icons.damaged &&
                      icons.groups.empty();
    }

    // The image group `index` shows, chosen once.
    const TIconImageRef* Chosen(size_t index) {
        if (index >= icons.groups.size()) return nullptr;
        if (chosen.size() != icons.groups.size()) chosen.assign(icons.groups.size(), nullptr);
        if (!chosen[index]) chosen[index] = ChosenImage(icons.groups[index]);
        return chosen[index];
    }

    bool Same(const std::string& other, const WIN32_FILE_ATTRIBUTE_DATA& now) const {
        return path == other && size == SizeOf(now) && CompareFileTime(&written, &now.ftLastWriteTime) == 0;
    }
};

namespace {
GdiIcon MakeIcon(const TIconImageRef* chosen) {
    if (!chosen) return GdiIcon();
    return IconFromImage(chosen->bytes, chosen->size, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
}
}  // namespace

GdiIcon IconFromImage(const unsigned char* bytes, size_t size, int width, int height) {
    // The platform reads the bytes only: they were checked to be whole.
    return GdiIcon(CreateIconFromResourceEx(const_cast<PBYTE>(bytes), static_cast<DWORD>(size), TRUE, 0x00030000,
                                            width, height, LR_DEFAULTCOLOR));
}

std::optional<TIconGroup> IconGroupFromHandle(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return std::nullopt;
    const GdiBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP shape{};
    if (!colour || !GetObjectA(colour.Get(), sizeof shape, &shape) || shape.bmWidth <= 0 || shape.bmWidth > 256 ||
        shape.bmHeight <= 0 || shape.bmHeight > 256)
        return std::nullopt;
    const LONG width = shape.bmWidth, height = shape.bmHeight;
    const size_t colourBytes = static_cast<size_t>(width) * height * 4;
    const size_t maskBytes = static_cast<size_t>((width + 31) / 32 * 4) * height;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } format{};
    format.header = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    TIconGroup group;
    std::vector<unsigned char>& image = group.storage;
    image.resize(sizeof(BITMAPINFOHEADER) + colourBytes + maskBytes);
    WindowDC screen(nullptr);
    unsigned char* rows = image.data() + sizeof(BITMAPINFOHEADER);
    if (GetDIBits(screen.Get(), colour.Get(), 0, height, rows, reinterpret_cast<BITMAPINFO*>(&format),
                  DIB_RGB_COLORS) != height)
        return std::nullopt;
    // The first call may have filled in sizes and counts; the mask is asked for afresh.
    format = {};
    format.header = {sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    if (GetDIBits(screen.Get(), mask.Get(), 0, height, rows + colourBytes, reinterpret_cast<BITMAPINFO*>(&format),
                  DIB_RGB_COLORS) != height)
        return std::nullopt;
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, height * 2, 1, 32, BI_RGB,
                            static_cast<DWORD>(colourBytes + maskBytes), 0, 0, 0, 0};
    std::memcpy(image.data(), &header, sizeof header);
    const auto side = [](LONG n) { return static_cast<uint8_t>(n == 256 ? 0 : n); };
    group.images.push_back(TIconImageRef{side(width), side(height), 0, 1, 32, image.data(), image.size()});
    return group;
}

TIconSource::TIconSource() = default;
TIconSource::~TIconSource() = default;

int TIconSource::Count(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now) ||
        (now.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        file_ = std::make_unique<TReadFile>();
    else if (!file_ || !file_->Same(path, now))
        file_ = std::make_unique<TReadFile>(path, now);
    if (file_->askPlatform)
        return static_cast<int>(reinterpret_cast<UINT_PTR>(
            kExtractIcon(GetModuleHandleA(nullptr), file_->path.c_str(), static_cast<UINT>(-1))));
    return static_cast<int>(file_->icons.groups.size());
}

GdiIcon TIconSource::Icon(int index) const {
    if (!file_ || index < 0) return GdiIcon();
    if (file_->askPlatform)
        return GdiIcon(kExtractIcon(GetModuleHandleA(nullptr), file_->path.c_str(), static_cast<UINT>(index)));
    return MakeIcon(file_->Chosen(static_cast<size_t>(index)));
}

const TIconImageRef* TIconSource::PlainImage(int index) const {
    if (!file_ || file_->askPlatform || index < 0) return nullptr;
    const TIconImageRef* chosen = file_->Chosen(static_cast<size_t>(index));
    TBitmapImageLayout layout;
    if (!chosen || !BitmapImageLayout(chosen->bytes, chosen->size, layout)) return nullptr;
    // Any other size the platform scales.
    const bool systemSize = layout.width == static_cast<size_t>(GetSystemMetrics(SM_CXICON)) &&
                            layout.height == static_cast<size_t>(GetSystemMetrics(SM_CYICON));
    return systemSize ? chosen : nullptr;
}

std::optional<TIconGroup> TIconSource::Group(int index) const {
    if (!file_ || index < 0) return std::nullopt;
    if (file_->askPlatform) {
        const GdiIcon icon(kExtractIcon(GetModuleHandleA(nullptr), file_->path.c_str(), static_cast<UINT>(index)));
        return IconGroupFromHandle(icon.Get());
    }
    const auto& groups = file_->icons.groups;
    if (static_cast<size_t>(index) >= groups.size()) return std::nullopt;
    const TIconGroup& group = groups[static_cast<size_t>(index)];
    if (group.images.empty()) return std::nullopt;
    return SelfContained(group);
}
