/* A weston module for end-to-end tests: the headless backend has no input devices, so this adds a seat with a
 * pointer and a keyboard and feeds it from a FIFO named by KELVARA_WESTON_INPUT, one command a line:
 *   move X Y      pointer to (X, Y) on the output
 *   down | up     left button pressed or released
 *   key CODE      a key (Linux input code) pressed and released
 *   views PATH    writes the windows on screen to PATH (atomically), topmost first, one a line: the window's
 *                 X Y WIDTH HEIGHT, its surface's WIDTH HEIGHT, its app id ("-" for none) and its title.
 *                 Minimised windows are not on it.
 * Commands run in order, so a written view list also says that every earlier command has been handled. */

#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>

#include <fcntl.h>
#include <linux/input.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <wayland-server-core.h>

/* Declared in libweston's backend.h, which libweston-10-dev does not install; exported by libweston-10. */
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* ec, const char* seat_name);
int weston_seat_init_pointer(struct weston_seat* seat);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void notify_motion_absolute(struct weston_seat* seat, const struct timespec* time, double x, double y);
void notify_button(struct weston_seat* seat, const struct timespec* time, int32_t button,
                   enum wl_pointer_button_state state);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);
void notify_pointer_frame(struct weston_seat* seat);

int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]);

struct test_seat {
    struct weston_compositor* compositor;
    struct weston_seat seat;
    int fd;
    char line[4096];
    size_t length;
};

static void write_views(struct test_seat* test, const char* path) {
    char partial[4096];
    snprintf(partial, sizeof partial, "%s.partial", path);
    FILE* out = fopen(partial, "w");
    if (!out) return;
    struct weston_layer* layer;
    wl_list_for_each(layer, &test->compositor->layer_list, link) {
        struct weston_view* view;
        wl_list_for_each(view, &layer->view_list.link, layer_link.link) {
            struct weston_desktop_surface* window = weston_surface_get_desktop_surface(view->surface);
            if (!window || !weston_view_is_mapped(view)) continue;
            struct weston_geometry box = weston_desktop_surface_get_geometry(window);
            const char* app_id = weston_desktop_surface_get_app_id(window);
            const char* title = weston_desktop_surface_get_title(window);
            fprintf(out, "%d %d %d %d %d %d %s %s\n", (int)view->geometry.x + box.x,
                    (int)view->geometry.y + box.y, box.width, box.height, view->surface->width,
                    view->surface->height, app_id && *app_id ? app_id : "-", title ? title : "");
        }
    }
    fclose(out);
    rename(partial, path);
}

static void run_command(struct test_seat* test, char* command) {
    struct timespec now;
    weston_compositor_get_time(&now);
    double x, y;
    unsigned code;
    char path[4096];
    if (sscanf(command, "move %lf %lf", &x, &y) == 2) {
        notify_motion_absolute(&test->seat, &now, x, y);
        notify_pointer_frame(&test->seat);
    } else if (strcmp(command, "down") == 0 || strcmp(command, "up") == 0) {
        notify_button(&test->seat, &now, BTN_LEFT,
                      command[0] == 'd' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        notify_pointer_frame(&test->seat);
    } else if (sscanf(command, "key %u", &code) == 1) {
        notify_key(&test->seat, &now, code, WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
        notify_key(&test->seat, &now, code, WL_KEYBOARD_KEY_STATE_RELEASED, STATE_UPDATE_AUTOMATIC);
    } else if (sscanf(command, "views %4095s", path) == 1) {
        write_views(test, path);
    } else {
        weston_log("test seat: unknown command \"%s\"\n", command);
    }
}

static int on_readable(int fd, uint32_t mask, void* data) {
    (void)mask;
    struct test_seat* test = data;
    ssize_t got = read(fd, test->line + test->length, sizeof test->line - 1 - test->length);
    if (got <= 0) return 0;
    test->length += (size_t)got;
    char* start = test->line;
    char* end;
    while ((end = memchr(start, '\n', test->length - (size_t)(start - test->line)))) {
        *end = '\0';
        run_command(test, start);
        start = end + 1;
    }
    test->length -= (size_t)(start - test->line);
    memmove(test->line, start, test->length);
    if (test->length == sizeof test->line - 1) test->length = 0; /* a line too long to be a command */
    return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]) {
    (void)argc;
    (void)argv;
    const char* fifo = getenv("KELVARA_WESTON_INPUT");
    if (!fifo) {
        weston_log("test seat: KELVARA_WESTON_INPUT names no FIFO\n");
        return -1;
    }
    struct test_seat* test = calloc(1, sizeof *test);
    if (!test) return -1;
    test->compositor = compositor;
    /* Opened for writing too, so that the FIFO never reports end of file between two writers. */
    test->fd = open(fifo, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (test->fd < 0) {
        weston_log("test seat: cannot open %s\n", fifo);
        free(test);
        return -1;
    }
    weston_seat_init(&test->seat, compositor, "test-seat");
    weston_seat_init_pointer(&test->seat);
    weston_seat_init_keyboard(&test->seat, NULL);
    wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), test->fd, WL_EVENT_READABLE,
                         on_readable, test);
    return 0;
}
