#pragma once
// The small pictures the browsing lists draw before their items' texts.
#include <windows.h>

#include <memory>

class TBitmap;
class TCanvas;

// A bitmap of the program's resources, by name (empty when there is none).
std::unique_ptr<TBitmap> ResourceGlyph(const char* name);
// Draws the glyph at `left`, centred on the item's rectangle, its bottom-left
// colour showing the canvas brush; returns the glyph's width.
int DrawListGlyph(TCanvas& canvas, TBitmap& glyph, int left, const RECT& item);
