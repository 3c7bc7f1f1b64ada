#pragma once
// Colours: 0x00BBGGRR, or 0x80000000 plus a system colour index.
#include <windows.h>

#include <cstdint>
#include <string>

using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = static_cast<TColor>(0x80000000);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;

// The RGB value a colour stands for now (system colours looked up).
COLORREF ColorToRGB(TColor color);
// Reads "clBtnFace", "clWhite", ... or a number; false when the name is unknown.
bool IdentToColor(const std::string& name, TColor& color);
// A stored colour: a number or a colour's name.
struct TPropertyValue;
TColor ColorProperty(const TPropertyValue& value);
