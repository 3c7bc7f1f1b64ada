#pragma once
// Little-endian stored bytes, read front to back and written back.
#include <cstddef>
#include <cstdint>
#include <string>

// Running short of bytes is a bad stream (EReadError), never a read past the end.
class TByteReader {
public:
    explicit TByteReader(const std::string& bytes, size_t position = 0) : bytes_(bytes), pos_(position) {}
    std::string Read(size_t count);
    int32_t ReadInt32();
    unsigned char ReadByte();
    size_t Remaining() const { return bytes_.size() - pos_; }

private:
    const std::string& bytes_;
    size_t pos_;
};

void AppendInt32(std::string& out, int32_t value);
