#pragma once
// A whole file's bytes, for tests that look at what was written or read.
#include <fstream>
#include <iterator>
#include <string>

inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
