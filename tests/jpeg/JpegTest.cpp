#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "base/Exceptions.h"
#include "fixtures.h"
#include "framework/FormReader.h"
#include "framework/Image.h"
#include "graphics/Picture.h"
#include "jpeg/JPEGImage.h"
#include "tests/support/CmykJpeg.h"
#include "tests/support/GuiTest.h"
#include "tests/support/Pictures.h"
#include "tests/support/FileBytes.h"

namespace {
const bool registered = (RegisterJPEGImage(), true);
COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};

unsigned Byte(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }

// The body of the first segment with that marker, walking from SOI to the first scan; "-" for none.
std::string Segment(const std::string& file, unsigned marker, size_t skip = 0) {
    for (size_t i = 2; i + 4 <= file.size() && Byte(file, i) == 0xFF;) {
        size_t length = Byte(file, i + 2) * 256 + Byte(file, i + 3);
        if (Byte(file, i + 1) == marker && skip-- == 0) return file.substr(i + 4, length - 2);
        if (Byte(file, i + 1) == 0xDA) break;
        i += 2 + length;
    }
    return "-";
}

// Quality 90 applied to the example tables of the JPEG standard, in the zig-zag order DQT stores.
std::vector<unsigned> Quality90Table(bool chroma) {
    static const unsigned luma[8][8] = {
        {16, 11, 10, 16, 24, 40, 51, 61},     {12, 12, 14, 19, 26, 58, 60, 55},
        {14, 13, 16, 24, 40, 57, 69, 56},     {14, 17, 22, 29, 51, 87, 80, 62},
        {18, 22, 37, 56, 68, 109, 103, 77},   {24, 35, 55, 64, 81, 104, 113, 92},
        {49, 64, 78, 87, 103, 121, 120, 101}, {72, 92, 95, 98, 112, 100, 103, 99}};
    static const unsigned chromaCorner[4][4] = {{17, 18, 24, 47}, {18, 21, 26, 66}, {24, 26, 56, 99}, {47, 66, 99, 99}};
    std::vector<unsigned> out;
    for (int sum = 0; sum < 15; ++sum)
        for (int k = 0; k <= sum; ++k) {
            int row = sum % 2 ? k : sum - k, col = sum - row;
            if (row > 7 || col > 7) continue;
            unsigned base = !chroma ? luma[row][col] : row < 4 && col < 4 ? chromaCorner[row][col] : 99;
            out.push_back(std::min(255u, std::max(1u, (base * 20 + 50) / 100)));
        }
    return out;
}

void Fill(TBitmap& b, int w, int h) {
    FillBitmap(b, w, h, kQuadrants[0]);
    RECT parts[3] = {{w / 2, 0, w, h / 2}, {0, h / 2, w / 2, h}, {w / 2, h / 2, w, h}};
    for (int i = 0; i < 3; ++i) {
        b.Surface().Brush.SetColor(static_cast<TColor>(kQuadrants[i + 1]));
        b.Surface().FillRect(parts[i]);
    }
}

std::string Encoded(TBitmap& bitmap, bool progressive = false) {
    TJPEGImage image;
    image.Progressive = progressive;
    image.CopyFromBitmap(bitmap);
    return image.SaveToStream();
}

// A decoded pixel as red, green, blue, read from the bitmap's own bytes.
COLORREF PixelOf(TBitmap& b, int x, int y) {
    const unsigned char* row = b.RowAddress(y);
    if (b.PixelLayout() == TPixelLayout::pl24Bit) return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    PALETTEENTRY e{};
    GetPaletteEntries(b.Palette(), row[x], 1, &e);
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

::testing::AssertionResult Near(COLORREF got, COLORREF want, int tolerance = 12) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((want >> shift) & 0xFF)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "got 0x" << got << ", want 0x" << want;
    return ::testing::AssertionSuccess();
}


std::string JpegErrorText(int code) { return "JPEG error #" + std::to_string(code); }

template <typename Action>
std::string JpegErrorOf(Action action) {
    try {
        action();
    } catch (const EJPEG& e) {
        return e.Message;
    }
    return "no error";
}

// Counts the decodes an image starts and those it ends at 100 %.
struct Watch {
    int starts = 0, endsAt100 = 0;
    explicit Watch(TJPEGImage& image) {
        image.OnProgress = [this](TObject*, TProgressStage stage, unsigned char percent, bool, const RECT&,
                                  const std::string&) {
            starts += stage == TProgressStage::StageStart;
            endsAt100 += stage == TProgressStage::StageEnd && percent == 100;
        };
    }
};

// The banner's picture data in the window's description compiled into this program.
std::string BannerData() {
    HRSRC info = FindResourceA(nullptr, "TFORM1", reinterpret_cast<LPCSTR>(RT_RCDATA));
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    for (const TFormNode& panel : ParseFormText(std::string(bytes, SizeofResource(nullptr, info))).children)
        for (const TFormNode& child : panel.children)
            for (const auto& [name, value] : child.properties)
                if (child.name == "Image1" && name == "Picture.Data") return value.AsBinary();
    return {};
}
}  // namespace

TEST(JpegExport, SixteenBySixteenBitmapsOfEveryDepthBecomeBaselineJfifWithQuality90Tables) {
    for (TPixelLayout layout : {TPixelLayout::pl1Bit, TPixelLayout::pl4Bit, TPixelLayout::pl8Bit,
                                TPixelLayout::pl24Bit, TPixelLayout::pl32Bit, TPixelLayout::plDevice}) {
        SCOPED_TRACE(static_cast<int>(layout));
        TBitmap icon;
        Fill(icon, 16, 16);
        icon.SetPixelLayout(layout);
        std::string file = Encoded(icon);
        EXPECT_EQ(icon.PixelLayout(), layout);  // a copy was converted, not the bitmap
        EXPECT_EQ(file.substr(0, 2) + file.substr(file.size() - 2), "\xFF\xD8\xFF\xD9");
        EXPECT_EQ(file.substr(2, 13), std::string("\xFF\xE0\x00\x10JFIF\0\x01\x01", 13));  // JFIF 1.01
        EXPECT_EQ(Segment(file, 0xC0).substr(0, 6), std::string("\x08\x00\x10\x00\x10\x03", 6));
        EXPECT_EQ(Segment(file, 0xC2), "-");
        std::vector<std::vector<unsigned>> tables(2);
        for (size_t n = 0; n < 2; ++n) {
            std::string dqt = Segment(file, 0xDB, n);
            for (size_t at = 0; at + 65 <= dqt.size(); at += 65)
                for (size_t i = 1; i <= 64 && Byte(dqt, at) < 2; ++i) tables[Byte(dqt, at)].push_back(Byte(dqt, at + i));
        }
        EXPECT_EQ(tables[0], Quality90Table(false));
        EXPECT_EQ(tables[1], Quality90Table(true));
    }
}

TEST(JpegExport, ColoursAndRowsComeBackInPlaceFromOurEncoderAndAnIndependentOne) {
    TBitmap quadrants;
    Fill(quadrants, 16, 16);
    std::string ours = Encoded(quadrants), theirs = FileBytes(TULVAR_FIXTURE_DIR "\\quadrants.jpg");
    for (const std::string* file : {&ours, &theirs}) {
        SCOPED_TRACE(file == &ours ? "ours" : "cjpeg");
        TJPEGImage image;
        image.LoadFromStream(*file);
        TBitmap* decoded = image.DecodedBitmap();
        ASSERT_EQ(decoded->PixelLayout(), TPixelLayout::pl24Bit);
        ASSERT_EQ(decoded->Width(), 16);
        const unsigned char* red = decoded->RowAddress(3) + 3 * 3;
        EXPECT_GT(red[2], 230);  // red is byte 2 of a pixel
        EXPECT_LT(red[0], 25);
        POINT centres[4] = {{3, 3}, {12, 3}, {3, 12}, {12, 12}};
        for (int q = 0; q < 4; ++q) EXPECT_TRUE(Near(PixelOf(*decoded, centres[q].x, centres[q].y), kQuadrants[q]));
    }
    // Its grey picture decodes into grey levels of an 8-bit palette.
    TJPEGImage gray;
    gray.LoadFromStream(FileBytes(TULVAR_FIXTURE_DIR "\\quadrants-gray.jpg"));
    EXPECT_TRUE(gray.Data()->Grayscale);
    TBitmap* decoded = gray.DecodedBitmap();
    EXPECT_EQ(decoded->PixelLayout(), TPixelLayout::pl8Bit);
    EXPECT_TRUE(Near(PixelOf(*decoded, 12, 12), RGB(255, 255, 255)));
    EXPECT_TRUE(Near(PixelOf(*decoded, 3, 3), RGB(76, 76, 76)));  // red's luminance
}

TEST(JpegExport, OneRowHighImagesEncodeAndDecode) {
    for (int width : {1, 7, 300}) {
        TBitmap strip;
        FillBitmap(strip, width, 1, RGB(0, 0, 255));
        TJPEGImage image;
        image.LoadFromStream(Encoded(strip));
        EXPECT_EQ(image.Width() * 1000 + image.Height(), width * 1000 + 1);
        TBitmap* decoded = image.DecodedBitmap();
        ASSERT_EQ(decoded->Height(), 1) << width;
        EXPECT_TRUE(Near(PixelOf(*decoded, width - 1, 0), RGB(0, 0, 255))) << width;
    }
}

TEST(JpegExport, WithoutABitmapTheFileIsEmptyAndTheStoredFormIsAZeroLength) {
    TJPEGImage image;
    std::string stored;
    image.WriteWithLength(stored);
    EXPECT_EQ(stored, std::string(4, '\0'));
    std::string name = "jpeg-empty-test.jpg";
    std::ofstream(name) << "old content";
    image.WriteToFile(name);
    EXPECT_EQ(FileBytes(name), "");
    std::remove(name.c_str());
    try {
        image.SetWidth(5);
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "Cannot change the size of a JPEG image");
    }
}

TEST(JpegExport, EncodingTwiceReplacesTheBytesWithEqualOnesAndSharingImagesAreEqual) {
    TBitmap bitmap;
    Fill(bitmap, 24, 10);
    TJPEGImage image, sharer;
    image.CopyFromBitmap(bitmap);
    image.Encode();
    std::string first = image.SaveToStream();
    sharer.ShareFrom(&image);
    EXPECT_EQ(sharer.Data(), image.Data());
    image.Encode();
    EXPECT_NE(image.Data(), sharer.Data());  // the sharer keeps its bytes
    EXPECT_EQ(image.SaveToStream(), first);
    EXPECT_TRUE(image.Equals(&sharer));
    EXPECT_FALSE(image.Equals(&bitmap));
    std::string stored;
    image.WriteWithLength(stored);
    EXPECT_EQ(stored.substr(4), first);
    EXPECT_EQ(Byte(stored, 0) | Byte(stored, 1) << 8 | Byte(stored, 2) << 16, first.size());
}

TEST(JpegDisplay, DamagedStreamsRaiseJpegErrorsOrDecodeWhatIsLeftButNeverCrash) {
    TBitmap pattern;
    Fill(pattern, 40, 24);
    std::string sources[2] = {Encoded(pattern), Encoded(pattern, true)};
    std::vector<std::string> cases;
    std::mt19937 random(1234);
    for (const std::string& file : sources) {
        for (size_t cut = 0; cut < file.size(); cut += 5) cases.push_back(file.substr(0, cut));
        for (int i = 0; i < 150; ++i) {
            std::string damaged = file;
            for (int flips = 1 + random() % 3; flips > 0; --flips)
                damaged[random() % damaged.size()] ^= static_cast<char>(1 + random() % 255);
            cases.push_back(damaged);
        }
    }
    int decoded = 0, refused = 0;
    for (const std::string& bytes : cases) {
        TJPEGImage image;
        try {
            image.LoadFromStream(bytes);
            int width = image.Width(), height = image.Height();
            TBitmap* bitmap = image.DecodedBitmap();
            EXPECT_EQ(bitmap->Width() * 100000 + bitmap->Height(), width * 100000 + height);
            ++decoded;
        } catch (const EJPEG& e) {
            ASSERT_EQ(e.Message.rfind("JPEG error #", 0), 0u) << e.Message;
            ASSERT_GT(std::atoi(e.Message.c_str() + 12), 0) << e.Message;
            ++refused;
        }
    }
    EXPECT_GT(decoded, 100);
    EXPECT_GT(refused, 50);

    // Cut after the header: the rest is filled in, with no error.
    TJPEGImage cut;
    cut.LoadFromStream(sources[0].substr(0, sources[0].find("\xFF\xDA") + 40));
    EXPECT_EQ(cut.DecodedBitmap()->Width(), 40);
    // No bytes: an image of no size, refused when drawn; bytes of no JPEG: refused when read.
    TJPEGImage empty, text;
    empty.LoadFromStream("");
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(JpegErrorOf([&] { empty.DecodedBitmap(); }), JpegErrorText(JERR_INPUT_EMPTY));
    EXPECT_EQ(JpegErrorOf([&] { text.LoadFromStream("not a picture"); }), JpegErrorText(JERR_NO_SOI));
}

TEST(JpegDisplay, FourColourComponentsAreRefusedRatherThanWrittenIntoThreeByteRows) {
    const std::string cmyk = CmykJpeg(33, 9);
    for (bool gray : {false, true}) {
        TJPEGImage image;
        image.GrayOutput = gray;
        image.LoadFromStream(cmyk);
        EXPECT_EQ(image.Width(), 33);
        EXPECT_EQ(JpegErrorOf([&] { image.DecodedBitmap(); }), JpegErrorText(JERR_CONVERSION_NOTIMPL));
    }
}

TEST(JpegDisplay, ProgressiveImagesSaySoAndDecodeInOnePassAtTheScaleAsked) {
    TBitmap bitmap;
    Fill(bitmap, 64, 48);
    std::string file = Encoded(bitmap, true);
    EXPECT_NE(Segment(file, 0xC2), "-");
    TJPEGImage image;
    image.LoadFromStream(file);
    EXPECT_TRUE(image.Progressive);
    image.SetDecodeScale(TJPEGScale::ScaleHalf);
    EXPECT_EQ(image.Width() * 1000 + image.Height(), 32024);
    Watch watch(image);
    TBitmap* decoded = image.DecodedBitmap();
    EXPECT_EQ(watch.starts, 1);
    EXPECT_EQ(watch.endsAt100, 1);
    EXPECT_EQ(decoded->Width() * 1000 + decoded->Height(), 32024);
    EXPECT_TRUE(Near(PixelOf(*decoded, 30, 20), RGB(255, 255, 255)));
}

TEST(JpegDisplay, TheBannerSizesItsViewBeforeDecodingAndDecodesOnceOverTwoPaints) {
    std::string data = BannerData();
    ASSERT_EQ(data.substr(0, 11), "\x0ATJPEGImage");
    // Baseline, 60 rows of 468 pixels.
    EXPECT_EQ(Segment(data.substr(15), 0xC0).substr(0, 6), std::string("\x08\x00\x3C\x01\xD4\x03", 6));

    TTestForm form(520, 100);
    auto* view = new TImage(&form);
    view->SetParent(&form);
    view->SetAutoSize(true);
    view->Picture().ReadData(data);
    auto* banner = dynamic_cast<TJPEGImage*>(view->Picture().Content());
    ASSERT_NE(banner, nullptr);
    Watch watch(*banner);
    EXPECT_EQ(view->Width() * 1000 + view->Height(), 468060);
    EXPECT_EQ(watch.starts, 0);
    form.Show();
    PumpMessages(50);
    view->Invalidate();
    PumpMessages(50);
    EXPECT_EQ(watch.starts, 1);
    EXPECT_EQ(watch.endsAt100, 1);
    TBitmap* decoded = banner->DecodedBitmap();
    EXPECT_EQ(decoded->PixelLayout(), TPixelLayout::pl24Bit);
    EXPECT_TRUE(Near(WindowPixel(form.WindowHandle(), 200, 25), PixelOf(*decoded, 200, 25), 4));
}

TEST(JpegDisplay, ScreensOf8BitsOrLessDecodeTo236ColoursOfAPaletteAndSayTheyChanged) {
    for (int bits : {1, 4, 8}) EXPECT_EQ(DefaultDepthFor(bits), TJPEGPixelFormat::Depth8) << bits;
    for (int bits : {15, 16, 24, 32}) EXPECT_EQ(DefaultDepthFor(bits), TJPEGPixelFormat::Depth24) << bits;
    EXPECT_EQ(JPEGDefaults.OutputDepth, TJPEGPixelFormat::Depth24);  // this screen has 32 bits
    EXPECT_TRUE(TPicture::FindClass("TJPEGImage"));

    JPEGDefaults.OutputDepth = TJPEGPixelFormat::Depth8;
    TJPEGImage image;
    JPEGDefaults.OutputDepth = TJPEGPixelFormat::Depth24;
    std::string data = BannerData();
    TByteReader reader(data, 11);
    image.ReadWithLength(reader);
    int changes = 0;
    image.OnChange = [&](TObject*) { ++changes; };
    image.PaletteChanged = false;
    TBitmap* decoded = image.DecodedBitmap();
    EXPECT_EQ(decoded->PixelLayout(), TPixelLayout::pl8Bit);
    EXPECT_EQ(decoded->Width(), 468);
    PALETTEENTRY entries[256];
    UINT count = GetPaletteEntries(decoded->Palette(), 0, 256, entries);
    EXPECT_GT(count, 16u);
    EXPECT_LE(count, 236u);
    EXPECT_TRUE(image.PaletteChanged);
    EXPECT_EQ(changes, 1);
}

TEST(JpegProgress, AHandlersExceptionEndsTheWorkCleanlyAndEAbortKeepsWhatWasDone) {
    // Every callback may report, so a report comes whatever the machine's speed.
    struct Interval {
        Interval() { TJPEGImage::ProgressInterval = 0; }
        ~Interval() { TJPEGImage::ProgressInterval = 500; }
    } everyCall;
    TBitmap big;
    Fill(big, 512, 512);
    TJPEGImage source;
    source.Progressive = true;
    source.CopyFromBitmap(big);
    source.OnProgress = [](TObject*, TProgressStage stage, unsigned char, bool, const RECT&, const std::string&) {
        if (stage == TProgressStage::StageStart) throw EAbort("");
    };
    source.Encode();  // cancelled: no bytes kept, no error either
    EXPECT_FALSE(source.Data()->Stream);
    source.OnProgress = nullptr;
    std::string file = source.SaveToStream();

    // Reports come while the library runs: a handler's exception leaves it and
    // goes on unchanged.
    for (bool abort : {false, true}) {
        SCOPED_TRACE(abort ? "EAbort" : "another exception");
        TJPEGImage image;
        image.LoadFromStream(file);
        image.ShowScans = true;
        image.OutputDepth = TJPEGPixelFormat::Depth8;
        int starts = 0, running = 0, endPercent = -1;
        image.OnProgress = [&](TObject*, TProgressStage stage, unsigned char percent, bool, const RECT& r,
                               const std::string&) {
            starts += stage == TProgressStage::StageStart;
            if (stage == TProgressStage::StageEnd) endPercent = percent;
            if (stage != TProgressStage::StageRunning) return;
            ++running;
            EXPECT_EQ(r.right, 512);
            if (abort) throw EAbort("");
            throw std::runtime_error("stop");
        };
        try {
            image.DecodedBitmap();
            EXPECT_TRUE(abort);
        } catch (const std::runtime_error& e) {
            EXPECT_FALSE(abort);
            EXPECT_STREQ(e.what(), "stop");
        }
        EXPECT_EQ(running, 1);
        EXPECT_EQ(endPercent, 0);
        // What was decoded stays the picture, and is not decoded again.
        EXPECT_EQ(image.DecodedBitmap()->Width(), 512);
        EXPECT_EQ(image.DecodedBitmap()->PixelLayout(), TPixelLayout::pl8Bit);
        EXPECT_EQ(starts, 1);
    }
}

TEST(JpegRegistration, WithdrawnKindsAreUnknownToThePictureContainerUntilRegisteredAgain) {
    TBitmap bitmap;
    Fill(bitmap, 8, 6);
    TJPEGImage image;
    image.CopyFromBitmap(bitmap);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + "tulvar-withdrawn.jpg";
    image.WriteToFile(file);
    TPicture source;
    source.SetContent(&image);
    const std::string stored = source.WriteData();
    const struct {
        void (*step)();
        bool known;
        const char* filter;
        const char* loadError;
        int width;  // of the file read and of the stored picture read; 0 for no picture
    } rows[] = {
        {UnregisterJPEGImage, false, "全部 (*.bmp;*.ico)|*.bmp;*.ico|位图 (*.bmp)|*.bmp|图标 (*.ico)|*.ico",
         "未知的图象文件扩展名 (.jpg)", 0},
        {RegisterJPEGImage, true,
         "全部 (*.jpg;*.jpeg;*.bmp;*.ico)|*.jpg;*.jpeg;*.bmp;*.ico|JPEG Image File (*.jpg)|*.jpg|"
         "JPEG Image File (*.jpeg)|*.jpeg|位图 (*.bmp)|*.bmp|图标 (*.ico)|*.ico",
         "(no error)", 8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.known ? "registered again" : "withdrawn");
        row.step();
        EXPECT_EQ(static_cast<bool>(TPicture::FindClass("TJPEGImage")), row.known);
        EXPECT_EQ(TPicture::FilterText<TGraphic>(), row.filter);
        TPicture loaded, read;
        EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { loaded.LoadFromFile(file); }), row.loadError);
        EXPECT_EQ(loaded.Width(), row.width);
        read.ReadData(stored);
        EXPECT_EQ(read.Width(), row.width);
    }
    DeleteFileA(file.c_str());
}
