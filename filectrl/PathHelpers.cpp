#include "filectrl/PathHelpers.h"

#include <windows.h>
#include <winnetwk.h>

#include <cstring>

#include "base/FindHandle.h"
#include "base/LateBound.h"
#include "graphics/Canvas.h"
#include "graphics/GdiObject.h"

namespace {
bool IsOneOf(const std::string& text, size_t i, const char* set) {
    unsigned char c = text[i];
    return !IsLeadByte(c) && c != 0 && std::strchr(set, c) != nullptr;
}

std::string FoldAscii(std::string text, bool upper) {
    ForEachChar(text, [&](size_t i, bool single) {
        char& c = text[i];
        if (!single) return;
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    });
    return text;
}
}  // namespace

size_t LastDelimiter(const std::string& text, const char* delimiters) {
    size_t found = std::string::npos;
    ForEachChar(text, [&](size_t i, bool) {
        if (IsOneOf(text, i, delimiters)) found = i;
    });
    return found;
}

size_t FirstDelimiter(const std::string& text, const char* delimiters) {
    size_t found = std::string::npos;
    ForEachChar(text, [&](size_t i, bool) {
        if (found == std::string::npos && IsOneOf(text, i, delimiters)) found = i;
    });
    return found;
}

size_t LastCharStart(const std::string& text) {
    size_t last = std::string::npos;
    ForEachChar(text, [&](size_t i, bool) { last = i; });
    return last;
}

bool EndsWithChar(const std::string& text, char c) {
    size_t last = LastCharStart(text);
    return last != std::string::npos && last == text.size() - 1 && text[last] == c;
}

std::string DrivePart(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(path[0])) return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share: up to the backslash after the share name.
        int seen = 0;
        size_t end = path.size();
        ForEachChar(path, [&](size_t i, bool) {
            if (i < 2 || end != path.size()) return;
            if (path[i] == '\\' && ++seen == 2) end = i;
        });
        return path.substr(0, end);
    }
    return {};
}

std::string DirectoryPart(const std::string& path) {
    size_t at = LastDelimiter(path, "\\:");
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string NamePart(const std::string& path) {
    size_t at = LastDelimiter(path, "\\:");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ExtensionPart(const std::string& path) {
    size_t dot = LastDelimiter(path, ".\\:");
    return dot != std::string::npos && path[dot] == '.' ? path.substr(dot) : std::string();
}

bool SameFileName(const std::string& a, const std::string& b) {
    return FoldAscii(a, false) == FoldAscii(b, false);
}

std::string UpperFileName(std::string text) { return FoldAscii(std::move(text), true); }

std::string LowerFileName(std::string text) { return FoldAscii(std::move(text), false); }

std::string LowerForDisplay(std::string text) {
    if (!text.empty()) CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

void ChangeDirectory(const std::string& path) { SetCurrentDirectoryA(path.c_str()); }

bool DirectoryExists(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& name) {
    WIN32_FIND_DATAA found;
    FindHandle search = AdoptFindHandle(FindFirstFileA(name.c_str(), &found));
    if (!search) return false;
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    return EndsWithChar(directory, '\\') ? directory + name : directory + "\\" + name;
}

int PathDepth(const std::string& path) {
    int count = 0;
    ForEachChar(path, [&](size_t i, bool) {
        if (path[i] == '\\') ++count;
    });
    return count;
}

void DropFirstDirectory(std::string& folder) {
    if (folder == "\\") {
        folder.clear();
        return;
    }
    bool rooted = !folder.empty() && folder[0] == '\\';
    if (rooted) folder.erase(0, 1);
    // The "...\" an earlier step left; a real folder whose name starts with a dot stays.
    if (folder.compare(0, 4, "...\\") == 0) folder.erase(0, 4);
    size_t slash = FirstDelimiter(folder, "\\");
    if (slash != std::string::npos) folder = "...\\" + folder.substr(slash + 1);
    else folder.clear();
    if (rooted) folder = "\\" + folder;
}

std::string FitPathToWidth(const std::string& path, TCanvas& canvas, int maxWidth) {
    std::string result = path;
    std::string folder = DirectoryPart(path), name = NamePart(path), drive;
    if (folder.size() >= 2 && folder[1] == ':' && !IsLeadByte(folder[0])) {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    while ((!folder.empty() || !drive.empty()) && canvas.TextWidth(result) > maxWidth) {
        if (folder == "\\...\\") {
            drive.clear();
            folder = "...\\";
        } else if (folder.empty()) {
            drive.clear();
        } else {
            DropFirstDirectory(folder);
        }
        result = drive + folder + name;
    }
    return result;
}

std::string VolumeLabelText(char drive) {
    // An empty floppy or CD drive must not bring up a platform box.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    struct Restore {
        UINT mode;
        ~Restore() { SetErrorMode(mode); }
    } restore{previous};
    char root[4] = {drive, ':', '\\', 0};
    char label[261] = {};
    std::string text;
    if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) text = label;
    text = static_cast<unsigned char>(drive) < 'a' ? UpperFileName(text) : LowerFileName(text);
    return "[" + text + "]";
}

std::string NetworkDriveText(char drive) {
    char local[3] = {static_cast<char>(UpperFileName(std::string(1, drive))[0]), ':', 0};
    char remote[261] = {};
    DWORD length = sizeof remote;
    static const TLateBound<decltype(WNetGetConnectionA)> connection{"mpr.dll", "WNetGetConnectionA"};
    if (connection(local, remote, &length) != NO_ERROR) return VolumeLabelText(drive);
    std::string text = remote;
    return static_cast<unsigned char>(drive) < 'a' ? UpperFileName(text) : LowerFileName(text);
}

void SplitTypedPath(const std::string& text, char& drive, std::string& folder, std::string& tail) {
    std::string startDir = CurrentDirectory();
    drive = startDir.empty() ? 0 : startDir[0];
    folder = text;
    std::string driveRoot;
    size_t last = LastCharStart(text);
    if (!text.empty() && text[0] == '[' && last != std::string::npos && last == text.size() - 1 && text[last] == ']') {
        folder = text.substr(1, text.size() - 2);
    } else {
        driveRoot = DrivePart(folder);
        if (driveRoot.empty()) driveRoot = DrivePart(startDir);
        else folder.erase(0, driveRoot.size());
        drive = driveRoot.size() >= 2 && driveRoot[1] == ':' ? driveRoot[0] : 0;
    }
    struct Back {
        const std::string& dir;
        ~Back() {
            if (DirectoryExists(dir)) ChangeDirectory(dir);
        }
    } back{startDir};
    if (DirectoryExists(driveRoot)) ChangeDirectory(driveRoot);
    tail = NamePart(folder);
    if (folder.size() == tail.size() + 1) {
        folder = "\\";
    } else if (folder.size() > tail.size()) {
        folder.resize(folder.size() - tail.size() - 1);
    } else {
        folder = CurrentDirectory().substr(DrivePart(CurrentDirectory()).size());
        if (folder.empty()) folder = "\\";
    }
    if (!folder.empty()) ChangeDirectory(folder);
    if (!tail.empty() && tail.find_first_of("*?") == std::string::npos && !FileExists(tail)) {
        ChangeDirectory(tail);  // taken for a directory, whether or not it exists
        folder = folder.size() == 1 ? "\\" + tail : folder + "\\" + tail;
        tail.clear();
    }
    if (drive == 0) folder = driveRoot + folder;
}

int FontLineHeight(TFont& font) {
    WindowDC screen(nullptr);
    SelectGuard keep(screen.Get(), font.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.Get(), &metrics);
    return metrics.tmHeight;
}
