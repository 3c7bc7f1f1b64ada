#include "base/WholeFile.h"

#include <windows.h>

#include "base/Exceptions.h"
#include "base/FileHandle.h"
#include "base/GbkText.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

namespace {
[[noreturn]] void CannotCreate(const std::string& fileName) {
    throw EFCreateError(Format(LoadStr(SFCreateError), {fileName}));
}

// The folder part of a name with its separator, "." for a bare name; walked by characters, so a
// trail byte of '\' is no separator.
std::string FolderOf(const std::string& fileName) {
    size_t end = std::string::npos;
    ForEachChar(fileName, [&](size_t i, bool single) {
        if (single && (fileName[i] == '\\' || fileName[i] == '/' || fileName[i] == ':')) end = i;
    });
    return end == std::string::npos ? "." : fileName.substr(0, end + 1);
}

// Removes the new file unless it took the old one's place.
class PendingFile {
public:
    explicit PendingFile(std::string name) : name_(std::move(name)) {}
    ~PendingFile() {
        if (!placed_) DeleteFileA(name_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    const std::string& Name() const { return name_; }
    void Placed() { placed_ = true; }

private:
    std::string name_;
    bool placed_ = false;
};
}  // namespace

void WriteWholeFile(const std::string& fileName, const std::string& bytes) {
    // A read-only file or a folder is never replaced, even where the platform
    // would let a privileged user do it.
    DWORD attributes = GetFileAttributesA(fileName.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        CannotCreate(fileName);
    {
        // A target that another program holds, or that may not be written, fails
        // before anything is made.
        FileHandle existing(CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (existing.Get() == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) CannotCreate(fileName);
        }
    }
    char made[MAX_PATH] = {};
    if (!GetTempFileNameA(FolderOf(fileName).c_str(), "tlv", 0, made)) CannotCreate(fileName);
    PendingFile pending(made);
    {
        FileHandle file(CreateFileA(made, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) CannotCreate(fileName);
        DWORD written = 0;
        if (!bytes.empty() &&
            (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size()))
            throw EWriteError(LoadStr(SWriteError));
    }
    if (!MoveFileExA(made, fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        CannotCreate(fileName);
    pending.Placed();
}
