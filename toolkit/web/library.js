// The C entry points of toolkit/web/WebBridge.h, on the page runtime in toolkit/web/runtime.js.
mergeInto(LibraryManager.library, {
  kv_start: function (twipsPerPixel) {
    KV.twips = twipsPerPixel;
    KV.start();
  },
  kv_window_create: function (id, name, back, accessibleName) {
    KV.windowCreate(id, UTF8ToString(name), back, UTF8ToString(accessibleName));
  },
  kv_window_destroy: function (id) { KV.windowDestroy(id); },
  kv_window_geometry: function (id, x, y, width, height) {
    var el = KV.windows.get(id);
    if (!el) return;
    KV.place(el, x, y, width, height);
    KV.fit();
  },
  kv_window_caption: function (id, title) {
    var text = UTF8ToString(title);
    var el = KV.windows.get(id);
    if (!el) return;
    el.dataset.title = text;
    if (!el.classList.contains('kv-modal') && text) document.title = text;
  },
  kv_window_show: function (id, modal) { KV.windowShow(id, modal); },
  kv_window_minimised: function (id) {
    var el = KV.windows.get(id);
    return el && el.kvMinimised ? 1 : 0;
  },
  kv_window_set_minimised: function (id, minimised, title) {
    KV.setMinimised(id, minimised, UTF8ToString(title));
  },
  kv_screen_width: function () { return KV.deskWidth() * KV.twips; },
  kv_screen_height: function () { return KV.deskHeight() * KV.twips; },
  kv_control_create: function (id, windowId, kind, traits, name, accessibleName, tabIndex, layer) {
    KV.controlCreate(id, windowId, kind, traits, UTF8ToString(name), UTF8ToString(accessibleName), tabIndex, layer);
  },
  kv_window_order: function (id, tabIds, count) {
    var ids = [];
    for (var i = 0; i < count; ++i) ids.push(HEAP32[(tabIds >> 2) + i]);
    KV.windowOrder(id, ids);
  },
  kv_control_take_order: function (windowId, id) { KV.takeOrder(windowId, id); },
  kv_control_link: function (id) { KV.makeLink(id); },
  kv_control_destroy: function (id) { KV.controls.delete(id); },
  kv_control_geometry: function (id, x, y, width, height) {
    KV.place(KV.controls.get(id), x, y, width, height);
  },
  kv_control_visible: function (id, visible) { KV.controls.get(id).hidden = !visible; },
  kv_control_caption: function (id, text, widening) {
    var el = KV.controls.get(id);
    var caption = UTF8ToString(text);
    if (el.tagName === 'INPUT') {
      if (el.value !== caption) el.value = caption;
    } else if (el.tagName === 'DIV') {
      KV.fillText(el, caption, widening);
    }
  },
  kv_control_font: function (id, family, pixels, bold) {
    var el = KV.controls.get(id);
    var font = KV.fontString(UTF8ToString(family), pixels, bold);
    el.style.font = font;
    el.style.lineHeight = KV.lineHeight(font) + 'px';
  },
  kv_control_colors: function (id, fore, back) {
    var el = KV.controls.get(id);
    el.style.color = KV.css(fore);
    if (el.kvTraits & KV_TRAIT.FillsBack) el.style.backgroundColor = KV.css(back);
  },
  kv_control_pictures: function (id, picture, down, stretch) {
    var el = KV.controls.get(id);
    var pressed = UTF8ToString(down);
    el.classList.toggle('kv-stretch', !!stretch);
    el.style.backgroundImage = KV.picture(UTF8ToString(picture), el);
    el.style.setProperty('--kv-down', pressed ? KV.picture(pressed, el) : el.style.backgroundImage);
  },
  kv_control_pointer: function (id, hand) {
    KV.controls.get(id).classList.toggle('kv-hand', !!hand);
  },
  kv_control_focus: function (id) {
    var el = KV.controls.get(id);
    if (el) el.focus({ preventScroll: true });
  },
  kv_advances: function (family, pixels, bold, text, out, capacity) {
    var values = [];
    var n = KV.advances(KV.fontString(UTF8ToString(family), pixels, bold), UTF8ToString(text), values);
    for (var i = 0; i < n && i < capacity; ++i) HEAPF64[(out >> 3) + i] = values[i];
    return n;
  },
  kv_timer_start: function (id, period) { KV.timerStart(id, period); },
  kv_timer_stop: function (id) { KV.timerStop(id); },
  kv_post: function () {
    setTimeout(function () { KV.call(function () { Module._kv_drain(); }); }, 0);
  },
  kv_open_url: function (address) {
    window.open(UTF8ToString(address), '_blank', 'noopener');
  },
  kv_end: function (message, error) { KV.end(UTF8ToString(message), error); }
});
