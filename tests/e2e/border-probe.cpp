// Watches one top-level window on the X display in DISPLAY and reads its bottom rows every time it changes
// size or is drawn on, until standard input closes. The window's bottom edge must show the border texture in
// every such frame: a frame whose bottom rows show the background, black, or whatever was on the screen
// before is what a user sees flash while the window grows or shrinks.
//
//   border-probe WINDOW
//
// Prints "ready" once it watches, then on standard input's end one line per frame with a missing border,
// "bad height=H rows=S1,... bottom=#RRGGBB" (the texture's share of each judged row, and a colour of the
// lowest), and a summary, "frames=N heights=H1,H2,... bad=B". Exit status 0 when every frame had its border,
// 1 when some had not, 2 on a usage or X error.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <set>
#include <string>
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
// One frame's drawing reaches the server in several requests; what stands once they have stopped for this
// long is a frame that the screen shows.
constexpr int kSettleMs = 2;

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
    int height = 0;
    // Share of texture in each judged row, top down.
    double rows[kJudgedRows] = {};
    // The colour in the middle of the lowest judged row, which tells stale content from an unpainted area.
    unsigned long bottom = 0;

    bool bordered() const {
        for (double share : rows)
            if (share < kRowShare) return false;
        return true;
    }
};

// Reads the bottom rows as the screen shows them, with the server held so that the window's size, place and
// picture belong to the same moment.
bool capture(Display* display, Window window, Frame& frame) {
    XGrabServer(display);
    XWindowAttributes attributes{};
    Window child = 0;
    int left = 0, top = 0;
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        attributes.height >= kEdgeRows && attributes.width > 2 * kCornerWidth &&
        XTranslateCoordinates(display, window, attributes.root, 0, 0, &left, &top, &child))
        image = XGetImage(display, attributes.root, left, top + attributes.height - kEdgeRows,
                          unsigned(attributes.width), kEdgeRows, AllPlanes, ZPixmap);
    XUngrabServer(display);
    XFlush(display);
    if (!image) return false;
    const int width = attributes.width;
    frame.height = attributes.height;
    const int columns = width - 2 * kCornerWidth;
    for (int row = 0; row < kJudgedRows; ++row) {
        int texture = 0;
        for (int column = kCornerWidth; column < width - kCornerWidth; ++column)
            texture += textureColour(XGetPixel(image, column, kJudgedFirst + row)) ? 1 : 0;
        frame.rows[row] = double(texture) / columns;
    }
    frame.bottom = XGetPixel(image, width / 2, kJudgedFirst + kJudgedRows - 1) & 0xFFFFFF;
    XDestroyImage(image);
    return true;
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
    const Damage damage = XDamageCreate(display, window, XDamageReportNonEmpty);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);

    std::vector<Frame> frames;
    bool watching = true;
    while (watching) {
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (!XPending(display)) poll(fds, 2, 1000);
        if (fds[1].revents) {
            char buffer[64];
            watching = read(STDIN_FILENO, buffer, sizeof buffer) > 0;
        }
        bool changed = false;
        do {
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == damageEventBase + XDamageNotify) {
                    // Emptied, so the next drawing is reported too.
                    XDamageSubtract(display, damage, None, None);
                    changed = true;
                } else if (event.type == ConfigureNotify) {
                    changed = true;
                }
            }
        } while (changed && poll(fds, 1, kSettleMs) > 0);
        if (Frame frame; changed && capture(display, window, frame)) frames.push_back(frame);
    }

    std::set<int> heights;
    int bad = 0;
    for (const Frame& frame : frames) {
        heights.insert(frame.height);
        if (frame.bordered()) continue;
        ++bad;
        std::printf("bad height=%d rows=", frame.height);
        for (int row = 0; row < kJudgedRows; ++row)
            std::printf("%s%.2f", row ? "," : "", frame.rows[row]);
        std::printf(" bottom=#%06lX\n", frame.bottom);
    }
    std::string list;
    for (int height : heights)
        list += (list.empty() ? "" : ",") + std::to_string(height);
    std::printf("frames=%zu heights=%s bad=%d\n", frames.size(), list.c_str(), bad);
    XCloseDisplay(display);
    return bad ? 1 : 0;
}
