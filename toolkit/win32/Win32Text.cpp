#include "toolkit/win32/Win32Text.h"

#include "toolkit/TextLayout.h"
#include "toolkit/win32/Win32Utf8.h"

#include <cmath>
#include <span>
#include <string_view>
#include <vector>

namespace forms::win32 {

namespace {

// Each character's advance in the selected face, with the toolkit's widened space runs.
std::vector<double> advances(HDC dc, std::wstring_view text, int pixelSize) {
    std::vector<double> result(text.size(), 0.0);
    if (text.empty()) return result;
    std::vector<int> extents(text.size());
    SIZE size{};
    GetTextExtentExPointW(dc, text.data(), static_cast<int>(text.size()), 0, nullptr, extents.data(), &size);
    int previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        result[i] = extents[i] - previous;
        previous = extents[i];
    }
    text::widenSpaceRuns(text, std::span<double>(result), pixelSize);
    return result;
}

// Calls line with each line of the caption as laid out at maxWidth, top to bottom, until it returns false.
template <typename LineVisitor>
void wrapLabelText(HDC dc, int maxWidth, const std::string& caption, int pixelSize, LineVisitor line) {
    const std::wstring wide = widen(caption);
    for (const std::wstring& paragraph : text::paragraphs(std::wstring_view(wide))) {
        const std::vector<double> advance = advances(dc, paragraph, pixelSize);
        for (const text::Range& range : text::wrap(std::wstring_view(paragraph), advance, maxWidth))
            if (!line(std::wstring_view(paragraph).substr(range.start, range.length),
                      std::span<const double>(advance).subspan(range.start, range.length)))
                return;
    }
}

} // namespace

void drawLabelText(HDC dc, const RECT& area, const std::string& caption, HFONT face, int pixelSize) {
    HGDIOBJ old = SelectObject(dc, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int maxHeight = area.bottom - area.top;
    int y = 0;
    wrapLabelText(dc, area.right - area.left, caption, pixelSize,
                  [&](std::wstring_view text, std::span<const double> advance) {
                      if (y > maxHeight) return false;
                      std::vector<INT> dx;
                      double x = 0;
                      for (double step : advance) {
                          const double next = x + step;
                          dx.push_back(static_cast<INT>(std::lround(next) - std::lround(x)));
                          x = next;
                      }
                      if (!text.empty())
                          ExtTextOutW(dc, area.left, area.top + y, ETO_CLIPPED, &area, text.data(),
                                      static_cast<UINT>(text.size()), dx.data());
                      y += metrics.tmHeight;
                      return true;
                  });
    SelectObject(dc, old);
}

int labelLineCount(HDC dc, int width, const std::string& caption, int pixelSize) {
    int lines = 0;
    wrapLabelText(dc, width, caption, pixelSize, [&lines](std::wstring_view, std::span<const double>) {
        ++lines;
        return true;
    });
    return lines;
}

double singleLineWidth(HDC dc, const std::string& caption, int pixelSize) {
    const std::wstring wide = widen(caption);
    // Line breaks are measured as characters, as the caption's text holds them.
    std::wstring line;
    for (const std::wstring& paragraph : text::paragraphs(std::wstring_view(wide)))
        line += paragraph + L'\n';
    line.pop_back();
    double width = 0;
    for (double advance : advances(dc, line, pixelSize))
        width += advance;
    return width;
}

} // namespace forms::win32
