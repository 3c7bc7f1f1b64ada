// A .bmp as one icon: a square 32-bit icon image holding the picture, fully
// opaque, at its own size or shrunk to fit 256 x 256 when it is larger, centred
// between fully transparent margins.

#include <algorithm>

#include "iconfile/IconBytes.h"

namespace {
// Past this many pixels a picture is taken for damaged rather than read:
// honest pictures are far smaller, and shrinking visits every pixel.
constexpr uint64_t kMostPixels = uint64_t{1} << 28;
constexpr uint64_t kIconSide = 256;

enum : uint32_t { kPlainRows = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// One colour of 16- and 32-bit pixels, given by its mask and widened to 8
// bits by repeating its bits (five bits abcde become abcdeabc), as other
// readers show such pixels.
class TChannel {
public:
    explicit TChannel(uint32_t mask = 0) : mask_(mask) {
        if (!mask) return;
        while (((mask >> shift_) & 1) == 0) ++shift_;
        while (shift_ + bits_ < 32 && (mask >> (shift_ + bits_)) != 0) ++bits_;
    }
    uint32_t Of(uint32_t pixel) const {
        if (bits_ == 0) return 0;
        const uint32_t value = (pixel & mask_) >> shift_;
        if (bits_ >= 8) return value >> (bits_ - 8);
        uint32_t wide = 0;
        for (int at = 8 - bits_; at > -bits_; at -= bits_) wide |= at >= 0 ? value << at : value >> -at;
        return wide;
    }

private:
    uint32_t mask_;
    int shift_ = 0, bits_ = 0;
};

// What the headers say of the picture's pixels.
struct TPicture {
    uint64_t width = 0, height = 0;
    bool topDown = false;
    unsigned bits = 0;
    uint32_t compression = kPlainRows;
    size_t rowsAt = 0;
    std::vector<uint32_t> table;  // 0x00RRGGBB
    TChannel red, green, blue;

    // Indices past the table show black.
    uint32_t Colour(unsigned index) const { return index < table.size() ? table[index] : 0; }
    bool RunLength() const { return compression == kRle8 || compression == kRle4; }
};

enum class TRead { Picture, NotOurs, Damaged };

// The file and bitmap headers and the colour table. Kinds of bitmap this
// reader does not know are not ours; headers, tables or rows that cannot all
// be in the file, or sizes no picture has, are damage.
TRead ReadHeaders(TBytes file, TPicture& p) {
    const size_t info = 14;
    if (!file.Has(info, 4)) return TRead::Damaged;
    const uint32_t headerSize = file.U32(info);
    int64_t width = 0, height = 0;
    size_t entries = 0, entrySize = 4;
    bool masked = false;
    if (headerSize == 12) {
        // The oldest header: 16-bit sides, three-byte table entries, no compression.
        if (!file.Has(info, 12)) return TRead::Damaged;
        width = file.U16(info + 4);
        height = file.U16(info + 6);
        p.bits = file.U16(info + 10);
        if (p.bits != 1 && p.bits != 4 && p.bits != 8 && p.bits != 24) return TRead::NotOurs;
        entrySize = 3;
        entries = p.bits <= 8 ? size_t{1} << p.bits : 0;
    } else if (headerSize >= 40) {
        if (!file.Has(info, 40)) return TRead::Damaged;
        width = static_cast<int32_t>(file.U32(info + 4));
        height = static_cast<int32_t>(file.U32(info + 8));
        p.bits = file.U16(info + 14);
        p.compression = file.U32(info + 16);
        // Headers of other lengths are other systems', whose compression
        // values past run-length rows mean other things.
        masked = p.compression == kBitFields &&
                 (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124);
        const bool known = (p.compression == kPlainRows && (p.bits == 1 || p.bits == 4 || p.bits == 8 ||
                                                            p.bits == 16 || p.bits == 24 || p.bits == 32)) ||
                           (p.compression == kRle8 && p.bits == 8) || (p.compression == kRle4 && p.bits == 4) ||
                           (masked && (p.bits == 16 || p.bits == 32));
        if (!known) return TRead::NotOurs;
        // The masks follow a 40-byte header and lie inside the longer ones,
        // at the same place either way; without them, 16 bits are 5-5-5.
        if (masked)
            p.red = TChannel(file.U32(info + 40)), p.green = TChannel(file.U32(info + 44)),
            p.blue = TChannel(file.U32(info + 48));
        else if (p.bits == 16)
            p.red = TChannel(0x7C00), p.green = TChannel(0x03E0), p.blue = TChannel(0x001F);
        else
            p.red = TChannel(0xFF0000), p.green = TChannel(0xFF00), p.blue = TChannel(0xFF);
        entries = p.bits <= 8 ? ColourTableEntries(file.U32(info + 32), p.bits) : 0;
    } else {
        return TRead::NotOurs;
    }
    const uint64_t tableAt = info + uint64_t{headerSize} + (masked && headerSize == 40 ? 12 : 0);
    if (!FitsIn(tableAt, entries * entrySize, file.size)) return TRead::Damaged;

    if (width <= 0 || height == 0) return TRead::Damaged;
    p.topDown = height < 0;
    p.width = static_cast<uint64_t>(width);
    p.height = static_cast<uint64_t>(p.topDown ? -height : height);
    // Both sides are below 2^31, so the product cannot overflow.
    if (p.width * p.height > kMostPixels) return TRead::Damaged;
    // Run-length rows are always stored bottom-up.
    if (p.RunLength() && p.topDown) return TRead::Damaged;
    p.rowsAt = file.U32(10);
    const uint64_t stride = (p.width * p.bits + 31) / 32 * 4;
    if (!FitsIn(p.rowsAt, p.RunLength() ? 0 : stride * p.height, file.size)) return TRead::Damaged;

    for (size_t i = 0; i < entries; ++i) {
        const size_t at = static_cast<size_t>(tableAt) + i * entrySize;
        p.table.push_back(file.U8(at) | (file.U8(at + 1) << 8) | (file.U8(at + 2) << 16));
    }
    return TRead::Picture;
}

// Shrinks a picture by area averaging (a box filter): each icon pixel is the
// mean of the picture pixels under it, each weighted by the part of it that
// the icon pixel covers. Along a side of n picture pixels and m icon pixels,
// picture pixel i spans [i*m, (i+1)*m) and icon pixel j spans [j*n, (j+1)*n),
// so every overlap is a whole number and the sums are exact; the mean is
// rounded to nearest, halves up. A picture of the icon's size comes through
// unchanged. Rows may come in any order; a row's pixels come from the left.
class TShrink {
public:
    TShrink(uint64_t width, uint64_t height, size_t toWidth, size_t toHeight)
        : width_(width), height_(height), toWidth_(toWidth), toHeight_(toHeight), row_(toWidth * 3),
          sums_(toWidth * toHeight * 3) {}

    // The next `count` pixels of the row being read.
    void Pixels(uint32_t rgb, uint64_t count) {
        if (count == 0) return;
        if (run_ != 0 && rgb != rgb_) Flush();
        rgb_ = rgb;
        run_ += count;
    }
    // The row read is the picture's row `fromTop`.
    void EndRow(uint64_t fromTop) {
        Flush();
        Overlaps(fromTop, 1, height_, toHeight_, [&](size_t y, uint64_t part) {
            for (size_t i = 0; i < row_.size(); ++i) sums_[y * row_.size() + i] += part * row_[i];
        });
        std::fill(row_.begin(), row_.end(), 0);
        x_ = 0;
    }
    // `count` whole rows of one colour, the first of them `fromTop`: under
    // every icon pixel, a row's overlaps add up to the picture's width.
    void Rows(uint64_t fromTop, uint64_t count, uint32_t rgb) {
        if (count == 0) return;
        Overlaps(fromTop, count, height_, toHeight_, [&](size_t y, uint64_t part) {
            for (size_t x = 0; x < toWidth_; ++x)
                for (int c = 0; c < 3; ++c) sums_[(y * toWidth_ + x) * 3 + c] += part * width_ * Channel(rgb, c);
        });
    }
    // Icon pixel (x, y), top row first, as 0x00RRGGBB.
    uint32_t At(size_t x, size_t y) const {
        const uint64_t whole = width_ * height_;
        uint32_t rgb = 0;
        for (int c = 0; c < 3; ++c)
            rgb |= static_cast<uint32_t>((sums_[(y * toWidth_ + x) * 3 + c] + whole / 2) / whole) << (16 - 8 * c);
        return rgb;
    }

private:
    static uint64_t Channel(uint32_t rgb, int c) { return (rgb >> (16 - 8 * c)) & 0xFF; }

    void Flush() {
        Overlaps(x_, run_, width_, toWidth_, [&](size_t x, uint64_t part) {
            for (int c = 0; c < 3; ++c) row_[x * 3 + c] += part * Channel(rgb_, c);
        });
        x_ += run_;
        run_ = 0;
    }
    // each(j, overlap) for every icon pixel j that picture pixels first ..
    // first + count - 1 overlap, along a side of n picture and m icon pixels.
    template <typename Each>
    static void Overlaps(uint64_t first, uint64_t count, uint64_t n, size_t m, Each each) {
        const uint64_t from = first * m, to = (first + count) * m;
        for (uint64_t j = from / n; j < m && j * n < to; ++j)
            each(static_cast<size_t>(j), std::min(to, (j + 1) * n) - std::max(from, j * n));
    }

    const uint64_t width_, height_;
    const size_t toWidth_, toHeight_;
    std::vector<uint64_t> row_;   // the row being read, under each icon column
    std::vector<uint64_t> sums_;  // red, green, blue of each icon pixel
    uint64_t x_ = 0, run_ = 0;
    uint32_t rgb_ = 0;
};

// Uncompressed rows, each padded to four bytes, the bottom row first unless
// the height is negative; all of them lie in the file.
void ReadPlainRows(TBytes file, const TPicture& p, TShrink& shrink) {
    const uint64_t stride = (p.width * p.bits + 31) / 32 * 4;
    for (uint64_t k = 0; k < p.height; ++k) {
        const size_t row = static_cast<size_t>(p.rowsAt + k * stride);
        for (size_t x = 0; x < p.width; ++x) {
            uint32_t rgb;
            if (p.bits == 24) {
                rgb = file.U8(row + x * 3) | (file.U8(row + x * 3 + 1) << 8) | (file.U8(row + x * 3 + 2) << 16);
            } else if (p.bits > 8) {
                const uint32_t v = p.bits == 16 ? file.U16(row + x * 2) : file.U32(row + x * 4);
                rgb = (p.red.Of(v) << 16) | (p.green.Of(v) << 8) | p.blue.Of(v);
            } else {
                const size_t bit = x * p.bits;
                rgb = p.Colour((file.U8(row + bit / 8) >> (8 - p.bits - bit % 8)) & ((1u << p.bits) - 1));
            }
            shrink.Pixels(rgb, 1);
        }
        shrink.EndRow(p.topDown ? k : p.height - 1 - k);
    }
}

// Run-length rows, bottom-up: runs of one index (at 4 bits, of two taking
// turns), literal blocks padded to two bytes, and escapes for the end of a
// row, the end of the picture and a jump ahead. Pixels the data skips show
// the colour table's first entry, as ImageMagick shows them. False when the
// data runs out first, or a run, block or jump would leave its row or the
// picture, or data follows the last row.
bool ReadRunLengthRows(TBytes file, const TPicture& p, TShrink& shrink) {
    const bool four = p.compression == kRle4;
    const uint32_t skipped = p.Colour(0);
    uint64_t x = 0, y = 0;  // y counted from the bottom
    size_t at = p.rowsAt;
    // Ends the row being read; the rest of it is skipped.
    auto endRow = [&] {
        shrink.Pixels(skipped, p.width - x);
        shrink.EndRow(p.height - 1 - y);
        ++y;
        x = 0;
    };
    for (;;) {
        if (y == p.height) return !file.Has(at, 2) || (file.U8(at) == 0 && file.U8(at + 1) == 1);
        if (!file.Has(at, 2)) return false;
        const unsigned count = file.U8(at), value = file.U8(at + 1);
        at += 2;
        if (count > 0) {
            if (count > p.width - x) return false;
            if (four)
                for (unsigned i = 0; i < count; ++i) shrink.Pixels(p.Colour(i % 2 ? value & 15 : value >> 4), 1);
            else
                shrink.Pixels(p.Colour(value), count);
            x += count;
        } else if (value == 0) {
            endRow();
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (!file.Has(at, 2)) return false;
            const uint64_t right = file.U8(at), up = file.U8(at + 1);
            at += 2;
            if (right > p.width - x || up >= p.height - y) return false;
            if (up == 0) {
                shrink.Pixels(skipped, right);
                x += right;
                continue;
            }
            const uint64_t column = x + right;
            endRow();
            shrink.Rows(p.height - y - (up - 1), up - 1, skipped);
            y += up - 1;
            shrink.Pixels(skipped, column);
            x = column;
        } else {
            const size_t length = four ? (value + 1) / 2 : value;
            if (value > p.width - x || !file.Has(at, length)) return false;
            for (unsigned i = 0; i < value; ++i)
                shrink.Pixels(p.Colour(four ? (file.U8(at + i / 2) >> (i % 2 ? 0 : 4)) & 15 : file.U8(at + i)), 1);
            x += value;
            at += length + length % 2;
        }
    }
    endRow();
    shrink.Rows(0, p.height - y, skipped);
    return true;
}
}  // namespace

void ReadBmpIcon(TBytes file, TIconFile& out) {
    TPicture picture;
    const TRead read = ReadHeaders(file, picture);
    if (read == TRead::Damaged) out.damaged = true;
    if (read != TRead::Picture) return;

    // The longer side 256 when it is longer, the other in proportion.
    const uint64_t longer = std::max(picture.width, picture.height);
    auto fit = [longer](uint64_t side) {
        return static_cast<size_t>(longer <= kIconSide
                                       ? side
                                       : std::max<uint64_t>(1, (side * kIconSide * 2 + longer) / (2 * longer)));
    };
    const size_t w = fit(picture.width), h = fit(picture.height);
    TShrink shrink(picture.width, picture.height, w, h);
    if (!picture.RunLength())
        ReadPlainRows(file, picture, shrink);
    else if (!ReadRunLengthRows(file, picture, shrink)) {
        out.damaged = true;
        return;
    }

    // Icons are shown at square sizes, so a picture that is not square is
    // centred on a square of its longer side and keeps its proportions. An odd
    // margin leaves its extra pixel at the right or the bottom.
    const size_t side = std::max(w, h), left = (side - w) / 2, top = (side - h) / 2;
    auto inPicture = [&](size_t x, size_t fromTop) {
        return x >= left && x - left < w && fromTop >= top && fromTop - top < h;
    };
    const size_t maskStride = (side + 31) / 32 * 4;
    TIconGroup group;
    std::vector<unsigned char>& image = group.storage;
    image.reserve(40 + (side * 4 + maskStride) * side);
    Push32(image, 40);
    Push32(image, static_cast<uint32_t>(side));
    Push32(image, static_cast<uint32_t>(side * 2));  // colour rows and mask rows
    Push16(image, 1);
    Push16(image, 32);
    Push32(image, 0);
    Push32(image, static_cast<uint32_t>((side * 4 + maskStride) * side));
    for (int i = 0; i < 4; ++i) Push32(image, 0);
    // Icon rows run bottom-up. The margins are clear twice over: no alpha, and
    // the mask's bit set, for whoever reads only the mask.
    for (size_t y = 0; y < side; ++y) {
        const size_t fromTop = side - 1 - y;
        for (size_t x = 0; x < side; ++x)
            Push32(image, inPicture(x, fromTop) ? shrink.At(x - left, fromTop - top) | 0xFF000000u : 0);
    }
    const size_t maskAt = image.size();
    image.insert(image.end(), maskStride * side, 0);
    for (size_t y = 0; y < side; ++y)
        for (size_t x = 0; x < side; ++x)
            if (!inPicture(x, side - 1 - y))
                image[maskAt + y * maskStride + x / 8] |= static_cast<unsigned char>(0x80 >> x % 8);
    const uint8_t size = static_cast<uint8_t>(side == 256 ? 0 : side);
    group.images.push_back(TIconImageRef{size, size, 0, 1, 32, image.data(), image.size()});
    out.groups.push_back(std::move(group));
}
