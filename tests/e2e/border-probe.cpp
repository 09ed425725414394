// Watches one top-level window on the X display in DISPLAY and samples its lower part every millisecond, as
// the screen shows it, until standard input closes. The window's bottom edge as seen (where the window
// manager's frame around it ends, if that is higher) must show the border texture in every sample: one whose
// bottom rows show the background, black, or whatever was on the screen before is what a user sees flash
// while the window grows or shrinks. Border texture across the window above its bottom edge is a doubled
// border: the old edge still drawn, or rows that a grow uncovered showing it.
//
//   border-probe WINDOW
//
// Prints "ready" once it watches, then on standard input's end one line per sample with a missing border
// (the first 20), "bad height=H window=W at=Tms rows=S1,... bottom=#RRGGBB" (the height seen and the
// window's, the texture's share of each judged row, and a colour of the lowest), and a summary, "samples=N
// heights=H1,H2,... bad=B missing_ms=M cut=C cut_ms=K doubled_ms=D": B the samples without the border where
// the window manager's frame and the window agree, C those where the frame cut the window between the window
// manager's two steps, M, K and D the longest stretches of time each stood (K as far as samples saw it) and a
// doubled border stood. Exit status 0 when B is 0 and neither a cut nor a doubled border stood longer than a
// frame (16 ms), 1 otherwise, 2 on a usage or X error.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <set>
#include <string>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

// The bottom edge picture is 10 pixels tall; its outer rows are shaded, so the middle rows are judged.
constexpr int kEdgeRows = 10;
constexpr int kJudgedFirst = 2;
constexpr int kJudgedRows = 6;
// The corner pieces differ from the edge texture.
constexpr int kCornerWidth = 12;
// Share of a judged row that must look like the texture. The last result row, still shown early in the
// shrink, crosses the edge and covers up to half of a row with its text; a missing edge leaves none.
constexpr double kRowShare = 0.3;
// Rows above the bottom edge searched for a second border: the grow's and the shrink's whole way.
constexpr int kSearchedRows = 120;
// Share of a row above the edge that makes it a border row: the texture spans the window; a brown button face
// covers less than a third of it.
constexpr double kDoubledShare = 0.6;
constexpr double kFrameMs = 16;

// The window may be gone by the time it is read.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The texture is a warm mid brown: red well above blue, neither the beige background (#EAD6C2) nor black.
bool textureColour(unsigned long pixel) {
    const int red = int(pixel >> 16 & 0xFF), green = int(pixel >> 8 & 0xFF), blue = int(pixel & 0xFF);
    return red >= 140 && red <= 230 && green >= 90 && green <= 185 && blue >= 50 && blue <= 150 &&
           red - blue >= 60;
}

struct Frame {
    // The height the user sees: the window's, cut where the window manager's frame around it ends.
    int height = 0;
    int windowHeight = 0;
    // Share of texture in each judged row, top down.
    double rows[kJudgedRows] = {};
    // The colour in the middle of the lowest judged row, which tells stale content from an unpainted area.
    unsigned long bottom = 0;
    // Border rows above the bottom edge.
    bool doubled = false;
    double ms = 0;

    bool bordered() const {
        for (double share : rows)
            if (share < kRowShare) return false;
        return true;
    }
    bool missing() const { return !bordered(); }
    // The window manager has resized its frame and not yet the window, or the other way round: between the
    // two steps the frame cuts the window, which the program can neither see nor paint for.
    bool cut() const { return height < windowHeight; }
    bool missingInStep() const { return missing() && !cut(); }
    bool missingCut() const { return missing() && cut(); }
};

// Reads the bottom rows as the screen shows them, with the server held so that the window's size, place and
// picture belong to the same moment. A window manager resizes its frame and the window one after the other,
// so for a moment the frame may end above the window's bottom: what shows there is the frame's bottom.
bool capture(Display* display, Window window, Window frameWindow, Frame& frame) {
    XGrabServer(display);
    XWindowAttributes attributes{}, outer{};
    Window child = 0;
    int left = 0, top = 0, height = 0;
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        XGetWindowAttributes(display, frameWindow, &outer) &&
        XTranslateCoordinates(display, window, attributes.root, 0, 0, &left, &top, &child)) {
        height = std::min(attributes.height, outer.y + outer.border_width + outer.height - top);
        if (height >= kEdgeRows && attributes.width > 2 * kCornerWidth)
            image = XGetImage(display, attributes.root, left,
                              top + height - std::min(height, kSearchedRows + kEdgeRows),
                              unsigned(attributes.width),
                              unsigned(std::min(height, kSearchedRows + kEdgeRows)), AllPlanes, ZPixmap);
    }
    XUngrabServer(display);
    XFlush(display);
    if (!image) return false;
    const int width = attributes.width;
    frame.height = height;
    frame.windowHeight = attributes.height;
    const int columns = width - 2 * kCornerWidth;
    const int edge = image->height - kEdgeRows;
    const auto share = [&](int y) {
        int texture = 0;
        for (int column = kCornerWidth; column < width - kCornerWidth; ++column)
            texture += textureColour(XGetPixel(image, column, y)) ? 1 : 0;
        return double(texture) / columns;
    };
    for (int row = 0; row < kJudgedRows; ++row)
        frame.rows[row] = share(edge + kJudgedFirst + row);
    for (int y = 0; y < edge && !frame.doubled; ++y)
        frame.doubled = share(y) >= kDoubledShare;
    frame.bottom = XGetPixel(image, width / 2, edge + kJudgedFirst + kJudgedRows - 1) & 0xFFFFFF;
    XDestroyImage(image);
    return true;
}

// The window's ancestor that is a child of the root: the window manager's frame, or the window itself.
Window outermost(Display* display, Window window) {
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return window;
        if (children) XFree(children);
        if (parent == root || !parent) return window;
        window = parent;
    }
}

// How long a state that starts at sample i stands: until the first later sample without it, or, when only
// the samples that saw it count, until the last of them. A window manager's step is seen in passing, and
// the next sample may come tens of milliseconds later on a busy machine.
double stretch(const std::vector<Frame>& frames, std::size_t i, auto state, bool seen = false) {
    const auto has = [&](std::size_t k) {
        if constexpr (std::is_member_function_pointer_v<decltype(state)>)
            return (frames[k].*state)();
        else
            return frames[k].*state;
    };
    if (!has(i) || (i > 0 && has(i - 1))) return 0;
    std::size_t end = i;
    while (end < frames.size() && has(end))
        ++end;
    if (seen) return frames[end - 1].ms - frames[i].ms;
    return (end < frames.size() ? frames[end].ms : frames.back().ms) - frames[i].ms;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: border-probe WINDOW\n");
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    Display* display = XOpenDisplay(nullptr);
    int damageEventBase = 0, errorBase = 0;
    if (!display || !XDamageQueryExtension(display, &damageEventBase, &errorBase)) {
        std::fprintf(stderr, "border-probe: no X display with the DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreXError);
    XSelectInput(display, window, StructureNotifyMask);
    const Window frameWindow = outermost(display, window);
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);

    std::vector<Frame> frames;
    const auto start = std::chrono::steady_clock::now();
    bool watching = true;
    while (watching) {
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        poll(fds, 2, 1);
        if (fds[1].revents) {
            char buffer[64];
            watching = read(STDIN_FILENO, buffer, sizeof buffer) > 0;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == damageEventBase + XDamageNotify) XDamageSubtract(display, damage, None, None);
        }
        if (Frame frame; capture(display, window, frameWindow, frame)) {
            frame.ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            frames.push_back(frame);
        }
    }

    std::set<int> heights;
    int bad = 0;
    double doubledMs = 0;
    double missingMs = 0;
    int cut = 0;
    double cutMs = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const Frame& frame = frames[i];
        heights.insert(frame.height);
        doubledMs = std::max(doubledMs, stretch(frames, i, &Frame::doubled));
        missingMs = std::max(missingMs, stretch(frames, i, &Frame::missingInStep));
        cutMs = std::max(cutMs, stretch(frames, i, &Frame::missingCut, true));
        if (frame.bordered()) continue;
        (frame.cut() ? cut : bad) += 1;
        if (bad + cut > 20) continue;
        std::printf("bad height=%d window=%d at=%.1fms rows=", frame.height, frame.windowHeight, frame.ms);
        for (int row = 0; row < kJudgedRows; ++row)
            std::printf("%s%.2f", row ? "," : "", frame.rows[row]);
        std::printf(" bottom=#%06lX\n", frame.bottom);
    }
    std::string list;
    for (int height : heights)
        list += (list.empty() ? "" : ",") + std::to_string(height);
    std::printf("samples=%zu heights=%s bad=%d missing_ms=%.1f cut=%d cut_ms=%.1f doubled_ms=%.1f\n",
                frames.size(), list.c_str(), bad, missingMs, cut, cutMs, doubledMs);
    XCloseDisplay(display);
    return bad > 0 || cutMs > kFrameMs || doubledMs > kFrameMs ? 1 : 0;
}
