#pragma once
// GBK text is walked by characters: the second byte of a two-byte character
// may look like '|', '\' or '.', and is never taken for one.
#include <string>

bool IsLeadByte(unsigned char c);

// Calls visit(position, single) for the start of every character in order;
// `single` is false for a two-byte character.
template <typename Visit>
void ForEachChar(const std::string& text, Visit visit) {
    for (size_t i = 0; i < text.size(); ++i) {
        const bool wide = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
        visit(i, !wide);
        if (wide) ++i;
    }
}
