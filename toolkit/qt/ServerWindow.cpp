#include "toolkit/qt/ServerWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include <cstdint>
#include <cstdlib>
#include <qguiapplication_platform.h>

#if __has_include(<xcb/xcb.h>)
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/xcb.h>
#define KELVARA_HAVE_XCB 1
#endif

#include <algorithm>
#include <cstdint>

namespace forms::qt {

namespace {
// Beyond this a window manager is taken to have refused the size; the animation goes on regardless. A busy
// machine's window manager was seen to take 60 ms.
constexpr qint64 kLimitMs = 250;
#ifdef KELVARA_HAVE_XCB
// The X server's connection, or none elsewhere than on X11.
xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Unmaps the whole pages within [begin, end) of the executable's pictures; read again if ever needed.
void releasePages(const void* begin, const void* end) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(end) / page * page;
    if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}
#endif
} // namespace

ServerWindow::ServerWindow(QWidget& window)
    : window_(window) {
#ifdef KELVARA_HAVE_XCB
    watching_ = QGuiApplication::platformName() == QLatin1String("xcb");
    if (watching_) QCoreApplication::instance()->installNativeEventFilter(this);
#endif
}

ServerWindow::~ServerWindow() {
    if (watching_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void ServerWindow::flushConnection() {
#ifdef KELVARA_HAVE_XCB
    if (xcb_connection_t* connection = x11Connection()) xcb_flush(connection);
#endif
}

bool ServerWindow::leftButtonHeld() {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    const xcb_setup_t* setup = connection ? xcb_get_setup(connection) : nullptr;
    if (!setup) return false;
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    const bool held = pointer && (pointer->mask & XCB_BUTTON_MASK_1);
    std::free(pointer);
    return held;
#else
    return false;
#endif
}

bool ServerWindow::requestPosition(QWidget& window, QPoint position) {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window.internalWinId()) return false;
    const std::uint32_t values[] = {static_cast<std::uint32_t>(position.x()),
                                    static_cast<std::uint32_t>(position.y())};
    xcb_configure_window(connection, static_cast<xcb_window_t>(window.internalWinId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    return true;
#else
    return false;
#endif
}

bool ServerWindow::setIcon(const std::vector<QImage>& sizes) {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!watching_ || !connection || !window_.internalWinId()) return false;
    static constexpr char kName[] = "_NET_WM_ICON";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, false, sizeof kName - 1, kName), nullptr);
    if (!atom) return false;
    const auto window = static_cast<xcb_window_t>(window_.internalWinId());
    // Width, height and the pixels of each size in turn, as 32-bit cardinals.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom->atom, XCB_ATOM_CARDINAL, 32, 0,
                        nullptr);
    // The pixels are read once, a piece at a time, and each piece's pages are let go as soon as it is
    // written: the largest sizes are more than the rest of the first frame's pictures together. The pieces
    // end where the kernel's mapping-in of the pages around a read one does (64 KiB), so reading a piece
    // maps none of those let go back in.
    constexpr std::uintptr_t kAround = 65536;
    for (const QImage& size : sizes) {
        const std::uint32_t header[] = {static_cast<std::uint32_t>(size.width()),
                                        static_cast<std::uint32_t>(size.height())};
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, atom->atom, XCB_ATOM_CARDINAL, 32, 2,
                            header);
        const auto* at = reinterpret_cast<const std::uint32_t*>(size.constBits());
        const auto* end = at + static_cast<std::ptrdiff_t>(size.width()) * size.height();
        while (at < end) {
            const auto boundary = (reinterpret_cast<std::uintptr_t>(at) / kAround + 1) * kAround;
            const std::uint32_t* next = std::min(end, reinterpret_cast<const std::uint32_t*>(boundary));
            xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, atom->atom, XCB_ATOM_CARDINAL, 32,
                                static_cast<std::uint32_t>(next - at), at);
            xcb_flush(connection);
            releasePages(at, next);
            at = next;
        }
    }
    std::free(atom);
    return true;
#else
    (void)sizes;
    return false;
#endif
}

void ServerWindow::setBackground(const QImage& picture) {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!watching_ || !connection || !window_.internalWinId() || picture.isNull()) return;
    const auto window = static_cast<xcb_window_t>(window_.internalWinId());
    if (!depth_) {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
        depth_ = geometry ? geometry->depth : -1;
        std::free(geometry);
    }
    // True-colour windows take 32-bit pixels in the server's byte order, as QImage's RGB32 has them here.
    if (depth_ != 24 && depth_ != 32) return;
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_create_pixmap(connection, static_cast<uint8_t>(depth_), pixmap, window,
                      static_cast<uint16_t>(pixels.width()), static_cast<uint16_t>(pixels.height()));
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    xcb_create_gc(connection, gc, pixmap, 0, nullptr);
    xcb_put_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<uint16_t>(pixels.width()),
                  static_cast<uint16_t>(pixels.height()), 0, 0, 0, static_cast<uint8_t>(depth_),
                  static_cast<uint32_t>(pixels.sizeInBytes()), pixels.constBits());
    xcb_change_window_attributes(connection, window, XCB_CW_BACK_PIXMAP, &pixmap);
    // The window keeps the pixmap as long as it needs it.
    xcb_free_gc(connection, gc);
    xcb_free_pixmap(connection, pixmap);
#else
    (void)picture;
#endif
}

void ServerWindow::showAhead(const QImage& frame) {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (!watching_ || !connection || !window_.internalWinId()) return;
    watchFrame();
    setBackground(frame);
    if (forgets_) return;
    // Nothing of the old content is kept on a resize: the background, this frame, stands for all of it.
    const std::uint32_t gravity = XCB_GRAVITY_BIT_FORGET;
    xcb_change_window_attributes(connection, static_cast<xcb_window_t>(window_.internalWinId()),
                                 XCB_CW_BIT_GRAVITY, &gravity);
    forgets_ = true;
#else
    (void)frame;
#endif
}

void ServerWindow::watchFrame() {
#ifdef KELVARA_HAVE_XCB
    xcb_connection_t* connection = x11Connection();
    if (frame_ || !connection) return;
    const auto window = static_cast<xcb_window_t>(window_.internalWinId());
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    xcb_get_geometry_reply_t* own =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    frame_ = tree && tree->parent != tree->root ? tree->parent : 0;
    if (*frame_) {
        const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, *frame_, XCB_CW_EVENT_MASK, &events);
        xcb_get_geometry_reply_t* frame =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, *frame_), nullptr);
        if (frame && own) {
            frameHeight_ = frame->height;
            top_ = own->y;
            bottom_ = own->y + own->height + 2 * own->border_width;
        }
        std::free(frame);
    }
    std::free(own);
    std::free(tree);
#endif
}

void ServerWindow::await(QSize size) {
    if (!watching_ || waiting_ || !known_ || !window_.isVisible()) return;
    waiting_ = true;
    QElapsedTimer clock;
    clock.start();
    while (!has(size) && clock.elapsed() < kLimitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers);
        if (!has(size)) QThread::usleep(100);
    }
    waiting_ = false;
}

bool ServerWindow::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
#ifdef KELVARA_HAVE_XCB
    if (type != "xcb_generic_event_t" || !window_.internalWinId()) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto window = static_cast<xcb_window_t>(window_.internalWinId());
    if ((event->response_type & 0x7F) == XCB_REPARENT_NOTIFY &&
        reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window == window) {
        frame_.reset();
        frameHeight_.reset();
    }
    if ((event->response_type & 0x7F) != XCB_CONFIGURE_NOTIFY) return false;
    const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
    if (configure->window == window) {
        known_ = (QSizeF(configure->width, configure->height) / window_.devicePixelRatioF()).toSize();
        bottom_ = top_ + configure->height + 2 * configure->border_width;
    } else if (frame_ && *frame_ && configure->window == *frame_) {
        frameHeight_ = configure->height;
    }
#else
    (void)type;
    (void)message;
#endif
    return false;
}

} // namespace forms::qt
