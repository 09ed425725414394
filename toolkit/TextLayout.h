#pragma once

// How a caption is laid out, whatever draws it: a platform layer measures each character's advance in the
// face it draws with and asks these for the widened spaces, the paragraphs and the lines.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forms::text {

struct Range {
    std::size_t start = 0;
    std::size_t length = 0;
    friend bool operator==(const Range&, const Range&) = default;
};

// Designs lay figures over runs of spaces measured in the classic face, whose spaces are wider than the
// substitute's: each space of a run of two or more is this much wider, so the figure sits inside the run.
constexpr double spaceRunWidening(int pixelSize) {
    return 0.1 * pixelSize;
}

template <typename Char> std::vector<Range> spaceRuns(std::basic_string_view<Char> text) {
    std::vector<Range> runs;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != Char(' ')) continue;
        std::size_t end = i;
        while (end < text.size() && text[end] == Char(' '))
            ++end;
        if (end - i > 1) runs.push_back({i, end - i});
        i = end;
    }
    return runs;
}

// Advances as the face measured them, with the spaces of every run widened.
template <typename Char>
void widenSpaceRuns(std::basic_string_view<Char> text, std::span<double> advances, int pixelSize) {
    for (const Range& run : spaceRuns(text))
        for (std::size_t k = run.start; k < run.start + run.length; ++k)
            advances[k] += spaceRunWidening(pixelSize);
}

// A caption's paragraphs: broken at CR LF or LF.
template <typename Char>
std::vector<std::basic_string<Char>> paragraphs(std::basic_string_view<Char> caption) {
    std::vector<std::basic_string<Char>> result(1);
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == Char('\r') && i + 1 < caption.size() && caption[i + 1] == Char('\n')) continue;
        if (caption[i] == Char('\n'))
            result.emplace_back();
        else
            result.back() += caption[i];
    }
    return result;
}

// Greedy word wrap of one paragraph at maxWidth: a word that would cross the right edge starts a new line
// unless it is the line's first, and trailing spaces hang past the edge. An empty paragraph is one empty
// line.
template <typename Char>
std::vector<Range> wrap(std::basic_string_view<Char> paragraph, std::span<const double> advances,
                        double maxWidth) {
    std::vector<Range> lines;
    std::size_t lineStart = 0;
    do {
        std::size_t at = lineStart;
        std::size_t lineEnd = lineStart;
        double width = 0;
        while (at < paragraph.size()) {
            std::size_t wordEnd = at;
            double word = 0;
            while (wordEnd < paragraph.size() && paragraph[wordEnd] != Char(' '))
                word += advances[wordEnd++];
            if (lineEnd > lineStart && width + word > maxWidth) break;
            std::size_t spaceEnd = wordEnd;
            double spaces = 0;
            while (spaceEnd < paragraph.size() && paragraph[spaceEnd] == Char(' '))
                spaces += advances[spaceEnd++];
            width += word + spaces;
            lineEnd = at = spaceEnd;
        }
        lines.push_back({lineStart, lineEnd - lineStart});
        lineStart = lineEnd;
    } while (lineStart < paragraph.size());
    return lines;
}

} // namespace forms::text
