// Icons of 16-bit NE files (.exe, .dll, .icl): the resource table's type
// records, each followed by its resources' name records.
#include <utility>

#include "iconfile/IconBytes.h"

namespace {
constexpr uint16_t kIconType = 0x8003, kGroupType = 0x800E;

struct TNamed {
    uint16_t id;
    TBytes bytes;  // empty when out of bounds
};
}  // namespace

void ReadNeIcons(TBytes file, size_t neAt, TIconFile& out) {
    if (!file.Has(neAt, 0x28)) {
        out.damaged = true;
        return;
    }
    // No room between the resource table and the resident names: no resources.
    if (file.U16(neAt + 0x24) == file.U16(neAt + 0x26)) return;
    const size_t table = neAt + file.U16(neAt + 0x24);
    if (!file.Has(table, 2)) {
        out.damaged = true;
        return;
    }
    // Offsets and lengths are counted in units of 1 << shift bytes.
    const unsigned shift = file.U16(table);
    if (shift > 24) {
        out.damaged = true;
        return;
    }
    std::vector<TNamed> icons, groups;
    size_t at = table + 2;
    // Each record takes room in the file, so the walk ends at its end at the latest.
    for (;;) {
        if (!file.Has(at, 2)) {
            out.damaged = true;
            break;
        }
        const uint16_t type = file.U16(at);
        if (type == 0) break;
        if (!file.Has(at, 8)) {
            out.damaged = true;
            break;
        }
        const size_t count = file.U16(at + 2);
        at += 8;
        if (!file.Has(at, count * 12)) {
            out.damaged = true;
            break;
        }
        for (size_t i = 0; i < count; ++i, at += 12) {
            if (type != kIconType && type != kGroupType) continue;
            const uint64_t offset = static_cast<uint64_t>(file.U16(at)) << shift;
            const uint64_t length = static_cast<uint64_t>(file.U16(at + 2)) << shift;
            TNamed named{file.U16(at + 6), TBytes{}};
            if (FitsIn(offset, length, file.size))
                named.bytes = TBytes{file.data + offset, static_cast<size_t>(length)};
            else
                out.damaged = true;
            (type == kIconType ? icons : groups).push_back(named);
        }
    }
    auto find = [&icons](uint16_t id) {
        for (const TNamed& icon : icons)
            if (icon.id == (0x8000 | id)) return icon.bytes;
        return TBytes{};
    };
    for (const TNamed& named : groups) {
        if (!named.bytes.data) continue;
        TIconGroup group = GroupFromDirectory(named.bytes, find, out.damaged);
        if (!group.images.empty()) out.groups.push_back(std::move(group));
    }
}
