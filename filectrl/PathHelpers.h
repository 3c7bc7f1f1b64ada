#pragma once
// Paths, file names, volumes and the current directory, as the browsing
// controls share them. Text is GBK and is walked by characters: the second
// byte of a two-byte character is never a separator.
#include <string>

#include "base/GbkText.h"

class TCanvas;
class TFont;

// Position of the last (or first) character that is one of `delimiters`, or npos.
size_t LastDelimiter(const std::string& text, const char* delimiters);
size_t FirstDelimiter(const std::string& text, const char* delimiters);
// Position where the last character starts, or npos for an empty text.
size_t LastCharStart(const std::string& text);
bool EndsWithChar(const std::string& text, char c);

// C: for C:\x; \\server\share for a UNC path; otherwise empty.
std::string DrivePart(const std::string& path);
// Everything up to and including the last '\' or ':'.
std::string DirectoryPart(const std::string& path);
// Everything after the last '\' or ':'.
std::string NamePart(const std::string& path);
// From the last '.' of the name part, dot included; empty without one.
std::string ExtensionPart(const std::string& path);

// Same name once ASCII letters are folded; two-byte characters compare as they are.
bool SameFileName(const std::string& a, const std::string& b);
std::string UpperFileName(std::string text);
// One byte: a-z upper-cased, everything else as it is (drive letters).
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
std::string LowerFileName(std::string text);
// The locale's full lower-casing, for showing names.
std::string LowerForDisplay(std::string text);

// The process's current directory as the platform reports it (C:\ or C:\Work).
std::string CurrentDirectory();
// Changes the current directory; a failure leaves it where it was, unreported.
void ChangeDirectory(const std::string& path);
bool DirectoryExists(const std::string& path);
bool FileExists(const std::string& name);

std::string JoinPath(const std::string& directory, const std::string& name);
int PathDepth(const std::string& path);
// One shortening step: \Work\Sub\ becomes \...\Sub\.
void DropFirstDirectory(std::string& folder);
// Shortens the directory part until the text fits `maxWidth` pixels on the canvas.
std::string FitPathToWidth(const std::string& path, TCanvas& canvas, int maxWidth);
// "[label]" of the drive's volume, in the letter's case; "[]" when unreadable.
std::string VolumeLabelText(char drive);
// The remote name of a network drive, else its volume label text.
std::string NetworkDriveText(char drive);
// Resolves a typed path into its drive letter (0 for UNC), folder and last part.
void SplitTypedPath(const std::string& text, char& drive, std::string& folder, std::string& tail);
// The cell height of a line in that font, in pixels.
int FontLineHeight(TFont& font);
