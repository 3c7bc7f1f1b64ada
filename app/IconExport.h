#pragma once
// Every icon of a file written into a folder at once, one file per icon:
// "<name>_NNN.ico" with every image of the icon, or "<name>_NNN.png" with its
// largest image and alpha, where <name> is the file's name without its
// extension and NNN the icon's position from 1. Each file is written whole or
// not at all. The window runs the export in steps between messages, the
// command line in one loop.
#include <string>

#include "graphics/IconSource.h"

enum class TExportKind { ekIco, ekPng };

// The name icon `index` (from 0) of the `count` icons of `source` is written
// under: its number has three digits, or as many as `count` has.
std::string ExportFileName(const std::string& source, int index, int count, TExportKind kind);

// The icon as a file of its own, whole or not at all: an icon file with every
// image of the group, or a PNG picture of its largest image with alpha. The
// save dialog's icon kinds and the export write through it.
void WriteIconGroup(const TIconGroup& group, TExportKind kind, const std::string& path);

// Whether files can be made in `folder`, an existing folder: one is made and removed again.
bool FolderTakesFiles(const std::string& folder);

class TIconExport {
public:
    // Reads the icons of `source` with a source of the export's own, so the
    // window may scan other files meanwhile.
    TIconExport(const std::string& source, const std::string& folder, TExportKind kind);
    TIconExport(const TIconExport&) = delete;
    TIconExport& operator=(const TIconExport&) = delete;

    // The icons to write, and how many are written so far.
    int Count() const { return count_; }
    int Written() const { return written_; }
    // The path icon `index` is written to.
    std::string FilePath(int index) const;
    // Writes the next few icons; false once all are written. A failure is
    // raised; the files written before it stay.
    bool Step();

private:
    void WriteNext();

    TIconSource icons_;
    std::string source_;
    std::string folder_;
    TExportKind kind_;
    int count_ = 0;
    int written_ = 0;
};
