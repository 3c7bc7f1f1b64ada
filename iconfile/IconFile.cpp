#include "iconfile/IconFile.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "iconfile/IconBytes.h"

namespace {
TBytes Bytes(const std::string& data) { return TBytes{reinterpret_cast<const unsigned char*>(data.data()), data.size()}; }

uint32_t Colors(const TIconFileEntry& e) { return e.colorCount == 0 ? 0x7FFFFFFF : e.colorCount; }

// Moving from `best` to `candidate` brings the side no further from the
// target, and not past it.
bool CloserOrEqual(int candidate, int best, int target) {
    int d = candidate - target, b = best - target;
    return std::abs(d) <= std::abs(b) && (d <= 0 || d <= b);
}
}  // namespace

int IconFileType(const std::string& data) { return data.size() < 6 ? -1 : Bytes(data).U16(2); }

namespace {
// The directory of an icon file: the entries whose bytes lie within it;
// `damaged` when the directory or an entry's bytes run past the end.
std::vector<TIconFileEntry> Directory(TBytes file, bool& damaged) {
    std::vector<TIconFileEntry> entries;
    const size_t count = file.U16(4);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 6 + i * 16;
        if (!file.Has(at, 16)) {
            damaged = true;
            break;
        }
        TIconFileEntry entry{file.U8(at),      file.U8(at + 1),  file.U16(at + 2), file.U16(at + 4),
                             file.U16(at + 6), file.U32(at + 8), file.U32(at + 12)};
        if (!FitsIn(entry.offset, entry.size, file.size)) {
            damaged = true;
            continue;
        }
        entries.push_back(entry);
    }
    return entries;
}
}  // namespace

std::vector<TIconFileEntry> IconFileEntries(const std::string& data) {
    bool damaged = false;
    return data.size() < 6 ? std::vector<TIconFileEntry>{} : Directory(Bytes(data), damaged);
}

size_t ChooseIconEntry(const std::vector<TIconFileEntry>& entries, int targetWidth, int targetHeight,
                       uint32_t displayColors) {
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const TIconFileEntry& e = entries[i];
        const TIconFileEntry& b = entries[best];
        if (displayColors >= Colors(e) && Colors(e) >= Colors(b) &&
            CloserOrEqual(e.width, b.width, targetWidth) && CloserOrEqual(e.height, b.height, targetHeight))
            best = i;
    }
    return best;
}

bool IsPngImage(const unsigned char* bytes, size_t size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return bytes && size >= 8 && std::memcmp(bytes, signature, 8) == 0;
}

size_t IconImageLength(const unsigned char* bytes, size_t size) {
    if (!bytes) return 0;
    const TBytes header{bytes, size};
    if (IsPngImage(bytes, size)) {
        // Chunk by chunk to the end chunk; without one, all the bytes are the image's.
        for (uint64_t at = 8; header.Has(static_cast<size_t>(at), 8);) {
            const uint64_t end = at + 12 + static_cast<uint64_t>(header.BigU32(static_cast<size_t>(at)));
            if (end > size) break;
            if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) return static_cast<size_t>(end);
            at = end;
        }
        return size;
    }
    if (size < 40 || header.U32(0) < 40) return 0;
    const int32_t width = static_cast<int32_t>(header.U32(4));
    const int32_t doubleHeight = static_cast<int32_t>(header.U32(8));
    const unsigned bits = header.U16(14);
    if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 8192 || doubleHeight % 2 != 0) return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
    if (header.U32(16) != 0) return 0;  // compressed
    const uint64_t height = static_cast<uint64_t>(doubleHeight) / 2;
    const uint64_t colourRow = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    const uint64_t maskRow = ((static_cast<uint64_t>(width) + 31) / 32) * 4;
    const uint64_t table = ColourTableEntries(header.U32(32), bits);
    const uint64_t length = header.U32(0) + table * 4 + (colourRow + maskRow) * height;
    return length <= size ? static_cast<size_t>(length) : 0;
}

bool IconImageIsWhole(const unsigned char* bytes, size_t size) { return IconImageLength(bytes, size) != 0; }

namespace {
// Images made here point into `storage`; a copy's must point into its own.
void Rebase(TIconGroup& to, const TIconGroup& from) {
    const auto first = reinterpret_cast<uintptr_t>(from.storage.data());
    for (TIconImageRef& image : to.images) {
        const auto at = reinterpret_cast<uintptr_t>(image.bytes);
        if (!from.storage.empty() && at >= first && at - first < from.storage.size())
            image.bytes = to.storage.data() + (at - first);
    }
}

void ReadIcoFile(TBytes file, TIconFile& out) {
    TIconGroup group;
    for (const TIconFileEntry& e : Directory(file, out.damaged)) {
        if (!IconImageIsWhole(file.data + e.offset, e.size)) {
            out.damaged = true;
            continue;
        }
        group.images.push_back(
            TIconImageRef{e.width, e.height, e.colorCount, e.planes, e.bitCount, file.data + e.offset, e.size});
    }
    if (!group.images.empty()) out.groups.push_back(std::move(group));
}
}  // namespace

TIconGroup::TIconGroup(const TIconGroup& other) : images(other.images), storage(other.storage) { Rebase(*this, other); }

TIconGroup& TIconGroup::operator=(const TIconGroup& other) {
    if (this != &other) {
        images = other.images;
        storage = other.storage;
        Rebase(*this, other);
    }
    return *this;
}

TIconFile ReadIconFile(const unsigned char* data, size_t size) {
    TIconFile out;
    const TBytes file{data, data ? size : 0};
    if (file.Has(0, 2) && file.data[0] == 'M' && file.data[1] == 'Z') {
        // A DOS program without a newer header is simply not ours to read.
        const size_t next = file.U32(0x3C);
        if (file.Has(0x3C, 4) && file.Has(next, 4) && std::memcmp(file.data + next, "PE\0\0", 4) == 0) {
            out.kind = TIconFileKind::Pe;
            ReadPeIcons(file, next, out);
        } else if (file.Has(0x3C, 4) && file.Has(next, 2) && std::memcmp(file.data + next, "NE", 2) == 0) {
            out.kind = TIconFileKind::Ne;
            ReadNeIcons(file, next, out);
        }
    } else if (file.Has(0, 2) && file.data[0] == 'B' && file.data[1] == 'M') {
        out.kind = TIconFileKind::Bmp;
        ReadBmpIcon(file, out);
    } else if (file.Has(0, 6) && file.U16(0) == 0 && file.U16(2) == 1) {
        out.kind = TIconFileKind::Ico;
        ReadIcoFile(file, out);
    }
    return out;
}
