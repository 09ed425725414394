#pragma once

// The page side of the web layer (toolkit/web/runtime.js), called from C++. Positions and sizes are CSS
// pixels; colours are 0x00BBGGRR; ids are the layer's own handles of windows, controls and timers.

extern "C" {
// The page's side set up, told how many twips make a CSS pixel.
void kv_start(double twipsPerPixel);
void kv_window_create(int id, const char* name, int back, const char* accessibleName);
void kv_window_destroy(int id);
void kv_window_geometry(int id, int x, int y, int width, int height);
void kv_window_caption(int id, const char* title);
void kv_window_show(int id, int modal);
int kv_window_minimised(int id);
void kv_window_set_minimised(int id, int minimised, const char* title);
double kv_screen_width();
double kv_screen_height();
// Lies at that place of its window's stacking order (toolkit/Stacking.h), whenever it is created; traits are
// the toolkit's decisions for its kind (ControlTrait bits), the kind only names the element it is made of.
void kv_control_create(int id, int window, int kind, int traits, const char* name, const char* accessibleName,
                       int tabIndex, int layer);
void kv_control_destroy(int id);
// The window's controls in reading order, those in tabIds (count of them) in that order among themselves.
void kv_window_order(int id, const int* tabIds, int count);
// A control made after that takes its place in the reading order by where it lies, moving no other.
void kv_control_take_order(int window, int id);
// The label is a link: reached by the keyboard, announced as one, clicked by Enter.
void kv_control_link(int id);
void kv_control_geometry(int id, int x, int y, int width, int height);
void kv_control_visible(int id, int visible);
// A label's lines as laid out, joined by line breaks; its space runs widened by so many pixels a space.
void kv_control_caption(int id, const char* text, double widening);
void kv_control_font(int id, const char* family, float pixels, int bold);
void kv_control_colors(int id, int fore, int back);
void kv_control_pictures(int id, const char* picture, const char* down, int stretch);
void kv_control_pointer(int id, int hand);
void kv_control_focus(int id);
// Advances in pixels, one per byte of the UTF-8 text (zero after a character's first); returns how many.
int kv_advances(const char* family, float pixels, int bold, const char* text, double* out, int capacity);
void kv_timer_start(int id, double periodMs);
void kv_timer_stop(int id);
void kv_post();
void kv_open_url(const char* address);
void kv_end(const char* message, int error);
}
