#include "base/ByteReader.h"

#include <cstring>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

std::string TByteReader::Read(size_t count) {
    if (count > Remaining()) throw EReadError(LoadStr(SReadError));
    std::string part = bytes_.substr(pos_, count);
    pos_ += count;
    return part;
}

int32_t TByteReader::ReadInt32() {
    std::string raw = Read(4);
    int32_t value;
    std::memcpy(&value, raw.data(), 4);
    return value;
}

unsigned char TByteReader::ReadByte() { return static_cast<unsigned char>(Read(1)[0]); }

void AppendInt32(std::string& out, int32_t value) { out.append(reinterpret_cast<const char*>(&value), 4); }
