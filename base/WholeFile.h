#pragma once
// Writing a file whole: a save that fails leaves the file it would replace as it was.
#include <string>

// Makes `bytes` the content of `fileName`. They go to a new file in the same
// folder first, which takes the old file's place only once it is complete.
// A target that cannot be created or replaced (a folder, a read-only file, a
// file another program holds, a bad name) is EFCreateError "不能创建文件 %s"
// with the name; a short write is EWriteError "写流出错". On every failure the
// new file is removed again.
void WriteWholeFile(const std::string& fileName, const std::string& bytes);
