#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace forms {

// Positions and sizes are single-precision twips: 1440 per inch, 15 per pixel at 96 dpi. They read back
// exactly as written; only the screen rounds them to pixels.
using Twips = float;
inline constexpr float kTwipsPerPixel = 15.0f;

// 0x00BBGGRR, the classic stored form of a colour.
using Color = std::uint32_t;
constexpr Color rgb(int red, int green, int blue) {
    return static_cast<Color>(red) | static_cast<Color>(green) << 8 | static_cast<Color>(blue) << 16;
}
constexpr int redOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Color c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int blueOf(Color c) {
    return static_cast<int>(c >> 16 & 0xFF);
}

inline constexpr Color kButtonText = rgb(0, 0, 0);
inline constexpr Color kWindowText = rgb(0, 0, 0);
inline constexpr Color kWhite = rgb(255, 255, 255);

// Button state of pointer events, summed.
enum MouseButton : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
// Shift state of pointer events, summed.
enum ShiftKey : int { ShiftMask = 1, ControlMask = 2, AltMask = 4 };

struct PointerEvent {
    int button = 0;
    int shift = 0;
    float x = 0; // twips, in the coordinates of the surface that receives the event
    float y = 0;
};

struct Font {
    std::string name = "MS Sans Serif";
    float points = 8.25f;
    bool bold = false;
};

enum class MousePointer { Default, Custom };

enum class WindowState { Normal = 0, Minimized = 1 };

// A picture of the skin, named by its file name without extension ("edge", "face-calculate-hover").
// The toolkit finds it among the embedded resources.
class Picture {
public:
    Picture() = default;
    explicit Picture(std::string name)
        : name_(std::move(name)) {}
    const std::string& name() const { return name_; }
    bool empty() const { return name_.empty(); }
    friend bool operator==(const Picture&, const Picture&) = default;

private:
    std::string name_;
};

// An error raised by a toolkit operation; like any error that escapes an event handler it ends the
// program through the uncaught-error path.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace forms
