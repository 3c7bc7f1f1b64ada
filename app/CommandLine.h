#pragma once
// What the program is asked to do when it starts: show a file or folder in
// the window, or write every icon of a file into a folder with no window at
// all ("/save FILE FOLDER [/png]").
#include <string>
#include <vector>

// The words of a command line as the platform gives it (GBK): blanks separate
// them outside quotes. Quotes only group, and a backslash is a plain
// character, so "C:\" ends where it seems to: paths hold neither quotes nor
// escapes.
std::vector<std::string> CommandLineWords(const std::string& line);

enum class TCommandKind { ckOpen, ckSave, ckWrong };

struct TCommand {
    TCommandKind kind = TCommandKind::ckOpen;
    // ckOpen: the file or folder to show, empty for none.
    std::string path;
    // ckSave: the file whose icons are written, the folder they go to, and
    // whether as PNG pictures rather than icon files.
    std::string file;
    std::string folder;
    bool png = false;
};

// The command a whole command line asks for; its first word names the program.
TCommand ParseCommandLine(const std::string& line);

// What "/save" ends with, as the program's exit code.
enum TSaveExit : int {
    seSaved = 0,             // every icon was written
    seWrongCommandLine = 1,
    seUnreadableFile = 2,    // FILE cannot be read or holds no icons
    seUnwritableFolder = 3,  // FOLDER is missing or takes no files: nothing was written
    seWriteFailed = 4,       // a write failed part way; the files before it stay
};

// Carries out a command other than ckOpen without any window or box.
TSaveExit RunSaveCommand(const TCommand& command);
