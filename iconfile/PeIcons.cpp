// Icons of PE32 and PE32+ files: the resource directory found through the
// optional header's data directory, walked type -> name -> first language.
#include <algorithm>
#include <map>
#include <utility>

#include "iconfile/IconBytes.h"

namespace {
constexpr uint32_t kSubdirectory = 0x80000000u;
constexpr uint16_t kIconType = 3, kGroupType = 14;

struct TSections {
    TBytes file;
    size_t table = 0, count = 0;

    // The file bytes of `length` bytes at `rva`, when they lie within one
    // section's stored data and within the file; an empty view otherwise.
    TBytes Map(uint32_t rva, uint32_t length) const {
        for (size_t i = 0; i < count; ++i) {
            const size_t at = table + i * 40;
            const uint32_t start = file.U32(at + 12), stored = file.U32(at + 16), raw = file.U32(at + 20);
            if (rva < start || rva - start >= stored) continue;
            const uint32_t into = rva - start;
            if (length > stored - into) return TBytes{};
            const uint64_t from = static_cast<uint64_t>(raw) + into;
            return FitsIn(from, length, file.size) ? TBytes{file.data + from, length} : TBytes{};
        }
        return TBytes{};
    }
};

struct TEntry {
    uint32_t name, target;
};

// The entries of the directory at `at`, as many as fit.
std::vector<TEntry> Entries(TBytes tree, size_t at, bool& damaged) {
    std::vector<TEntry> entries;
    if (!tree.Has(at, 16)) {
        damaged = true;
        return entries;
    }
    const size_t count = static_cast<size_t>(tree.U16(at + 12)) + tree.U16(at + 14);
    for (size_t i = 0; i < count; ++i) {
        const size_t e = at + 16 + i * 8;
        if (!tree.Has(e, 8)) {
            damaged = true;
            break;
        }
        entries.push_back(TEntry{tree.U32(e), tree.U32(e + 4)});
    }
    return entries;
}

// The data of the first language under a name's entry.
TBytes FirstLanguage(const TSections& sections, TBytes tree, const TEntry& named, bool& damaged) {
    if (!(named.target & kSubdirectory)) {
        damaged = true;
        return TBytes{};
    }
    std::vector<TEntry> languages = Entries(tree, named.target & ~kSubdirectory, damaged);
    if (languages.empty() || (languages[0].target & kSubdirectory) || !tree.Has(languages[0].target, 16)) {
        damaged = true;
        return TBytes{};
    }
    const size_t leaf = languages[0].target;
    TBytes data = sections.Map(tree.U32(leaf), tree.U32(leaf + 4));
    if (!data.data) damaged = true;
    return data;
}
}  // namespace

void ReadPeIcons(TBytes file, size_t peAt, TIconFile& out) {
    const size_t header = peAt + 4, optional = peAt + 24;
    if (!file.Has(header, 20) || !file.Has(optional, 2)) {
        out.damaged = true;
        return;
    }
    size_t directories, countAt;
    switch (file.U16(optional)) {
    case 0x10B: directories = optional + 96, countAt = optional + 92; break;
    case 0x20B: directories = optional + 112, countAt = optional + 108; break;
    default: out.damaged = true; return;
    }
    if (!file.Has(countAt, 4)) {
        out.damaged = true;
        return;
    }
    if (file.U32(countAt) <= 2) return;  // no resource directory at all
    if (!file.Has(directories + 16, 8)) {
        out.damaged = true;
        return;
    }
    const uint32_t rva = file.U32(directories + 16), length = file.U32(directories + 20);
    if (rva == 0 || length == 0) return;

    TSections sections{file, optional + file.U16(header + 16), file.U16(header + 2)};
    if (!file.Has(sections.table, sections.count * 40)) {
        out.damaged = true;
        sections.count = file.Has(sections.table, 0) ? (file.size - sections.table) / 40 : 0;
    }
    // The tree's offsets count from its start and may reach anywhere in the
    // section holding it, not just within the directory's stated size.
    TBytes tree;
    for (size_t i = 0; i < sections.count && !tree.data; ++i) {
        const size_t at = sections.table + i * 40;
        const uint32_t start = file.U32(at + 12), stored = file.U32(at + 16), raw = file.U32(at + 20);
        if (rva < start || rva - start >= stored) continue;
        const uint64_t from = static_cast<uint64_t>(raw) + (rva - start);
        const uint64_t wanted = stored - (rva - start);
        if (!FitsIn(from, 1, file.size)) break;
        if (!FitsIn(from, wanted, file.size)) out.damaged = true;
        tree = TBytes{file.data + from, static_cast<size_t>(std::min<uint64_t>(wanted, file.size - from))};
    }
    if (!tree.data) {
        out.damaged = true;
        return;
    }

    TEntry icons{0, 0}, groups{0, 0};
    bool haveIcons = false, haveGroups = false;
    for (const TEntry& type : Entries(tree, 0, out.damaged)) {
        if (type.name == kIconType) icons = type, haveIcons = true;
        if (type.name == kGroupType) groups = type, haveGroups = true;
    }
    if (!haveGroups) return;
    std::map<uint16_t, TBytes> images;
    if (haveIcons && (icons.target & kSubdirectory)) {
        for (const TEntry& named : Entries(tree, icons.target & ~kSubdirectory, out.damaged))
            if (!(named.name & kSubdirectory) && named.name <= 0xFFFF)
                images.emplace(static_cast<uint16_t>(named.name), FirstLanguage(sections, tree, named, out.damaged));
    } else if (haveIcons) {
        out.damaged = true;
    }
    if (!(groups.target & kSubdirectory)) {
        out.damaged = true;
        return;
    }
    auto find = [&images](uint16_t id) {
        auto found = images.find(id);
        return found == images.end() ? TBytes{} : found->second;
    };
    for (const TEntry& named : Entries(tree, groups.target & ~kSubdirectory, out.damaged)) {
        TBytes dir = FirstLanguage(sections, tree, named, out.damaged);
        if (!dir.data) continue;
        TIconGroup group = GroupFromDirectory(dir, find, out.damaged);
        if (!group.images.empty()) out.groups.push_back(std::move(group));
    }
}
