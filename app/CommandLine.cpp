#include "app/CommandLine.h"

#include <windows.h>

#include <memory>

#include "app/IconExport.h"
#include "base/GbkText.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Switches are read in either case, as the platform's own programs read theirs.
bool IsSwitch(const std::string& word, const char* name) {
    std::string folded = word;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return folded == name;
}
}  // namespace

std::vector<std::string> CommandLineWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    ForEachChar(line, [&](size_t i, bool single) {
        const char c = line[i];
        if (single && c == '"') {
            quoted = !quoted;
            inWord = true;  // "" is an empty word
        } else if (single && IsBlank(c) && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.append(line, i, single ? 1 : 2);
            inWord = true;
        }
    });
    if (inWord) words.push_back(word);
    return words;
}

TCommand ParseCommandLine(const std::string& line) {
    std::vector<std::string> words = CommandLineWords(line);
    if (!words.empty()) words.erase(words.begin());
    TCommand command;
    if (!words.empty() && IsSwitch(words[0], "/save")) {
        command.kind = TCommandKind::ckWrong;
        const bool png = words.size() == 4 && IsSwitch(words[3], "/png");
        if (words.size() != 3 && !png) return command;
        if (words[1].empty() || words[2].empty()) return command;
        command.kind = TCommandKind::ckSave;
        command.file = words[1];
        command.folder = words[2];
        command.png = png;
        return command;
    }
    // A path with blanks that came without quotes is still one path.
    for (const std::string& word : words) command.path += (command.path.empty() ? "" : " ") + word;
    return command;
}

TSaveExit RunSaveCommand(const TCommand& command) {
    if (command.kind != TCommandKind::ckSave) return seWrongCommandLine;
    // Nobody is there to answer a box, not even the platform's about a drive without a disk.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    std::unique_ptr<TIconExport> work;
    try {
        work = std::make_unique<TIconExport>(command.file, command.folder,
                                             command.png ? TExportKind::ekPng : TExportKind::ekIco);
    } catch (...) {
        return seUnreadableFile;
    }
    if (work->Count() == 0) return seUnreadableFile;
    if (!FolderTakesFiles(command.folder)) return seUnwritableFolder;
    try {
        while (work->Step()) {
        }
    } catch (...) {
        return seWriteFailed;
    }
    return seSaved;
}
