#include "app/IconExport.h"

#include <windows.h>

#include <algorithm>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/WholeFile.h"
#include "filectrl/PathHelpers.h"
#include "framework/Application.h"
#include "iconfile/IconImages.h"
#include "png/PngImage.h"
#include "resources/StringIds.h"

namespace {
// A step ends after the idle step's time, or after this many files,
// whichever comes first: the window answers between steps, and Esc is read
// between them.
constexpr int kMostFilesPerStep = 16;
}  // namespace

std::string ExportFileName(const std::string& source, int index, int count, TExportKind kind) {
    const std::string name = NamePart(source);
    std::string number = std::to_string(index + 1);
    const size_t width = std::max<size_t>(3, std::to_string(count).size());
    if (number.size() < width) number.insert(0, width - number.size(), '0');
    return name.substr(0, name.size() - ExtensionPart(name).size()) + "_" + number +
           (kind == TExportKind::ekPng ? ".png" : ".ico");
}

void WriteIconGroup(const TIconGroup& group, TExportKind kind, const std::string& path) {
    if (kind == TExportKind::ekPng) {
        WritePngFile(LargestIconPixels(group), path);
    } else {
        const std::vector<unsigned char> bytes = IcoFileBytes(group);
        WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
    }
}

bool FolderTakesFiles(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    char made[MAX_PATH] = {};
    if (!GetTempFileNameA(folder.c_str(), "tlv", 0, made)) return false;
    // Some platforms name a file they could not make: only a file that is there counts.
    const bool there = GetFileAttributesA(made) != INVALID_FILE_ATTRIBUTES;
    DeleteFileA(made);
    return there;
}

TIconExport::TIconExport(const std::string& source, const std::string& folder, TExportKind kind)
    : source_(source), folder_(folder), kind_(kind) {
    count_ = icons_.Count(source);
}

std::string TIconExport::FilePath(int index) const {
    return JoinPath(folder_, ExportFileName(source_, index, count_, kind_));
}

bool TIconExport::Step() {
    const double until = IdleClockMilliseconds() + kIdleStepMilliseconds;
    for (int files = 0; written_ < count_ && files < kMostFilesPerStep && (files == 0 || IdleClockMilliseconds() < until); ++files)
        WriteNext();
    return written_ < count_;
}

void TIconExport::WriteNext() {
    const std::optional<TIconGroup> group = icons_.Group(written_);
    if (!group) throw EInvalidGraphic(LoadStr(SInvalidIcon));
    WriteIconGroup(*group, kind_, FilePath(written_));
    ++written_;
}
