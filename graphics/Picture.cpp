#include "graphics/Picture.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "graphics/Icon.h"
#include "resources/StringIds.h"

namespace {
struct FileFormat {
    std::string extension, description;
    unsigned descriptionId;
    std::string className;
    TGraphicFactory factory;
};

std::vector<FileFormat>& FileFormats() {
    static std::vector<FileFormat> formats = [] {
        std::vector<FileFormat> initial;
        // Metafiles are not drawn by this program; their rows only name the kinds.
        initial.push_back({"wmf", "", SVMetafiles, "TMetafile", nullptr});
        initial.push_back({"emf", "", SVEnhMetafiles, "TMetafile", nullptr});
        initial.push_back({"ico", "", SVIcons, "TIcon", [] { return static_cast<TGraphic*>(new TIcon); }});
        initial.push_back({"bmp", "", SVBitmaps, "TBitmap", [] { return static_cast<TGraphic*>(new TBitmap); }});
        return initial;
    }();
    return formats;
}

struct ClipboardFormat {
    UINT format;
    TGraphicFactory factory;
};

std::vector<ClipboardFormat>& ClipboardFormats() {
    static std::vector<ClipboardFormat> formats = {
        {CF_METAFILEPICT, nullptr},
        {CF_ENHMETAFILE, nullptr},
        {CF_BITMAP, [] { return static_cast<TGraphic*>(new TBitmap); }},
    };
    return formats;
}

const ClipboardFormat* FindClipboardFormat(UINT format) {
    const auto& formats = ClipboardFormats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->format == format) return &*it;
    return nullptr;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}
}  // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  unsigned descriptionId, const std::string& className, TGraphicFactory factory) {
    FileFormats().push_back({Lower(extension), description, descriptionId, className, std::move(factory)});
}

void TPicture::UnregisterGraphicClass(const std::string& className) {
    auto& formats = FileFormats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const FileFormat& format) { return format.className == className; }),
                  formats.end());
}

TGraphicFactory TPicture::FindClass(const std::string& className) {
    const auto& formats = FileFormats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->className == className && it->factory) return it->factory;
    return {};
}

std::string TPicture::FilterTextFor(const std::function<bool(TGraphic*)>& isOfClass) {
    std::string filter, masks;
    int kept = 0;
    const auto& formats = FileFormats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it) {
        if (it->extension.empty() || !it->factory) continue;
        std::unique_ptr<TGraphic> probe(it->factory());
        if (!isOfClass(probe.get())) continue;
        std::string description = it->description.empty() ? LoadStr(it->descriptionId) : it->description;
        if (kept++) {
            filter += "|";
            masks += ";";
        }
        filter += description + " (*." + it->extension + ")|*." + it->extension;
        masks += "*." + it->extension;
    }
    if (kept > 1) filter = LoadStr(SFilterAll) + " (" + masks + ")|" + masks + "|" + filter;
    return filter;
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Install(std::unique_ptr<TGraphic> graphic) {
    content_ = std::move(graphic);
    if (content_) content_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetContent(TGraphic* graphic) {
    std::unique_ptr<TGraphic> made;
    if (graphic) {
        made.reset(graphic->NewOfSameClass());
        made->ShareFrom(graphic);
    }
    Install(std::move(made));
}

TBitmap* TPicture::Bitmap() {
    if (auto* bitmap = dynamic_cast<TBitmap*>(content_.get())) return bitmap;
    Install(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(content_.get());
}

int TPicture::Width() const { return content_ ? content_->Width() : 0; }

int TPicture::Height() const { return content_ ? content_->Height() : 0; }

void TPicture::ShareFrom(TPersistent* source) {
    if (auto* picture = dynamic_cast<TPicture*>(source)) SetContent(picture->content_.get());
    else if (auto* graphic = dynamic_cast<TGraphic*>(source)) SetContent(graphic);
    else if (!source) SetContent(nullptr);
    else throw EConvertError(Format(LoadStr(SAssignError), {"TPersistent", "TPicture"}));
}

void TPicture::LoadFromFile(const std::string& fileName) {
    // The extension after the last dot of the name, not of a folder.
    size_t slash = fileName.find_last_of("\\/:");
    size_t dot = fileName.rfind('.');
    std::string extension = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                                ? std::string()
                                : fileName.substr(dot + 1);
    TGraphicFactory factory;
    const auto& formats = FileFormats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->extension == Lower(extension)) {
            factory = it->factory;
            break;
        }
    if (!factory) throw EInvalidGraphic(Format(LoadStr(SUnknownExtension), {extension}));
    std::unique_ptr<TGraphic> graphic(factory());
    graphic->LoadFromFile(fileName);
    Install(std::move(graphic));
}

bool TPicture::SupportsClipboardFormat(UINT format) { return FindClipboardFormat(format) != nullptr; }

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    const ClipboardFormat* kind = FindClipboardFormat(format);
    if (!kind || !kind->factory) throw EInvalidGraphic(LoadStr(SUnknownClipboardFormat));
    std::unique_ptr<TGraphic> graphic(kind->factory());
    graphic->LoadFromClipboardFormat(format, data, palette);
    Install(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) {
    format = 0;
    data.Reset();
    palette.Reset();
    if (content_) content_->SaveToClipboardFormat(format, data, palette);
}

void TPicture::ReadData(const std::string& bytes) {
    TByteReader reader(bytes);
    size_t length = reader.ReadByte();
    std::string className = reader.Read(length);
    TGraphicFactory factory = FindClass(className);
    std::unique_ptr<TGraphic> graphic;
    if (factory) {
        graphic.reset(factory());
        graphic->ReadData(reader);
    }
    Install(std::move(graphic));
}

std::string TPicture::WriteData() const {
    std::string out;
    if (!content_) {
        out += '\0';
        return out;
    }
    std::string name = content_->ClassName();
    if (name.size() > 63) name.resize(63);
    out += static_cast<char>(name.size());
    out += name;
    content_->WriteData(out);
    return out;
}
