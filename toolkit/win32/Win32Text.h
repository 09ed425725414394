#pragma once

#include <windows.h>

#include <string>

namespace forms::win32 {

// A label's caption as the toolkit lays it out (toolkit/TextLayout.h), measured in the face selected into dc.
void drawLabelText(HDC dc, const RECT& area, const std::string& caption, HFONT face, int pixelSize);
// With the face selected into dc: the lines drawLabelText lays the caption out in at that width, including
// those cut off below, and the width of the text on one line.
int labelLineCount(HDC dc, int width, const std::string& caption, int pixelSize);
double singleLineWidth(HDC dc, const std::string& text, int pixelSize);

} // namespace forms::win32
