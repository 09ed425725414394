// The page side of the web platform layer: windows and controls as elements of the page, their events
// handed to the program's exported entry points, timers paced one tick a frame.

var KV = {
  // Created at start-up: maps written as literals do not survive the library's emitting.
  windows: null,
  controls: null,
  timers: null,
  // Twips to a CSS pixel, as the program says at start-up.
  twips: 15,
  modals: [],
  ended: false,
  tickedThisFrame: false,
  // The desk's scale: below 1 while the page is smaller than the windows.
  scale: 1,

  // The page's area for windows: the desk, which fills the page at its scale.
  screen: function () {
    return document.getElementById('kv-desk');
  },

  page: function () {
    return document.getElementById('kv-screen');
  },

  start: function () {
    KV.windows = new Map();
    KV.controls = new Map();
    KV.timers = new Map();
    window.addEventListener('resize', KV.fit);
    // An error that escapes the program leaves it in no state to go on: it ends, saying why.
    window.addEventListener('error', function (e) { KV.fail(e.error || e.message); });
    window.addEventListener('unhandledrejection', function (e) { KV.fail(e.reason); });
    KV.fit();
  },

  // Calls into the program; a program that has ended takes no more events, and its exit unwinds to here.
  call: function (fn) {
    if (KV.ended) return;
    try {
      fn();
    } catch (e) {
      if (!(e instanceof ExitStatus) && e !== 'unwind') KV.fail(e);
    }
  },

  fail: function (error) {
    if (KV.ended) return;
    var text = error && error.message ? error.message : String(error);
    KV.end('Run-time error:\n\n' + text, 1);
  },

  // The desk is scaled as a whole so that the largest window fits the page, never above its own
  // size; a desk that changes size or scale has the program place its windows in it again.
  fit: function () {
    var page = KV.page(), desk = KV.screen();
    if (!page || !desk || !KV.windows) return;
    var width = page.clientWidth, height = page.clientHeight, needWidth = 0, needHeight = 0;
    // Hidden windows count too: one about to show is placed in the desk it will show in.
    KV.windows.forEach(function (el) {
      needWidth = Math.max(needWidth, parseFloat(el.style.width) || 0);
      needHeight = Math.max(needHeight, parseFloat(el.style.height) || 0);
    });
    var scale = Math.min(1, needWidth ? width / needWidth : 1, needHeight ? height / needHeight : 1);
    if (scale === KV.scale && width === KV.fitWidth && height === KV.fitHeight) return;
    KV.scale = scale;
    KV.fitWidth = width;
    KV.fitHeight = height;
    desk.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
    desk.style.width = width / scale + 'px';
    desk.style.height = height / scale + 'px';
    if (KV.refitQueued || typeof Module === 'undefined' || !Module._kv_screen_changed) return;
    KV.refitQueued = true;
    queueMicrotask(function () {
      KV.refitQueued = false;
      KV.call(function () { Module._kv_screen_changed(); });
    });
  },

  // Nothing once the program has ended and its desk has gone.
  deskWidth: function () {
    return KV.screen() ? KV.screen().clientWidth : 0;
  },

  deskHeight: function () {
    return KV.screen() ? KV.screen().clientHeight : 0;
  },

  place: function (el, x, y, width, height) {
    el.style.left = x + 'px';
    el.style.top = y + 'px';
    el.style.width = width + 'px';
    el.style.height = height + 'px';
  },

  css: function (color) {
    return 'rgb(' + (color & 255) + ',' + ((color >> 8) & 255) + ',' + ((color >> 16) & 255) + ')';
  },

  // One picture set, the one the screen's density takes (start.js); a stretched picture that the build also
  // cut as a wide and a tall strip is sent as the strip of the element's shape.
  picture: function (name, el) {
    if (!name) return 'none';
    var width = el && parseFloat(el.style.width), height = el && parseFloat(el.style.height);
    if (width && height && el.classList.contains('kv-stretch')) {
      var strip = kvPicture(name + (width >= height ? '-wide' : '-tall'));
      if (strip) return KV.pictureAt(strip);
    }
    var file = kvPicture(name);
    return file ? KV.pictureAt(file) : 'none';
  },

  // A twice-size picture is drawn at half its pixels, as its density says.
  pictureAt: function (file) {
    return /@2x\./.test(file) ? 'image-set(url("' + file + '") 2x)' : 'url("' + file + '")';
  },

  fontString: function (family, pixels, bold) {
    return (bold ? '700 ' : '400 ') + pixels + 'px "' + family + '"';
  },

  // The lines as the toolkit laid them out; the spaces of runs widened by the amount it says.
  fillText: function (el, text, widening) {
    el.textContent = '';
    var parts = text.split(/( {2,})/);
    for (var i = 0; i < parts.length; ++i) {
      if (!parts[i]) continue;
      if (i % 2 === 1) {
        var run = document.createElement('span');
        run.style.letterSpacing = widening + 'px';
        run.textContent = parts[i];
        el.appendChild(run);
      } else {
        el.appendChild(document.createTextNode(parts[i]));
      }
    }
  },

  // Each character's advance in the face, one number per byte of its UTF-8 form (zero after the first),
  // so the toolkit lays out the text it holds.
  advances: function (font, text, out) {
    if (!KV.canvas) KV.canvas = document.createElement('canvas').getContext('2d');
    if (!KV.widths) KV.widths = new Map();
    var widths = KV.widths.get(font);
    if (!widths) {
      widths = new Map();
      KV.widths.set(font, widths);
    }
    KV.canvas.font = font;
    var n = 0;
    for (var ch of text) {
      var w = widths.get(ch);
      if (w === undefined) {
        w = KV.canvas.measureText(ch).width;
        widths.set(ch, w);
      }
      out[n++] = w;
      var code = ch.codePointAt(0);
      var extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
      for (var k = 0; k < extra; ++k) out[n++] = 0;
    }
    return n;
  },

  // Lines are as tall as the face's ascent and descent, without its line gap, as the desktop lays them.
  lineHeight: function (font) {
    if (!KV.canvas) KV.canvas = document.createElement('canvas').getContext('2d');
    KV.canvas.font = font;
    var m = KV.canvas.measureText('Hg');
    return Math.round(m.fontBoundingBoxAscent) + Math.round(m.fontBoundingBoxDescent);
  },

  windowCreate: function (id, name, back, accessibleName) {
    var el = document.createElement('div');
    el.className = 'kv-form';
    el.dataset.name = name;
    el.style.backgroundColor = KV.css(back);
    el.hidden = true;
    if (accessibleName) {
      el.setAttribute('role', 'dialog');
      el.setAttribute('aria-label', accessibleName);
    }
    el.kvId = id;
    KV.presses(el, function (e) {
      // A press on the window's body or on what takes no focus leaves the focus where it is.
      if (e.type === 'mousedown' && !(e.target.kvTraits & KV_TRAIT.TakesFocus)) e.preventDefault();
    }, function (e) { KV.pointer(id, e, KV_PHASE.Press); });
    el.addEventListener('pointermove', function (e) { KV.pointer(id, e, KV_PHASE.Move); });
    el.addEventListener('pointerup', function (e) { KV.lifted(id, e); });
    el.addEventListener('pointercancel', function (e) { KV.lifted(id, e); });
    el.addEventListener('keydown', function (e) {
      if (e.key === 'Escape') KV.call(function () { Module._kv_escape(id); });
      if (e.key === 'Tab') {
        e.preventDefault();
        var fromLink = e.target.getAttribute('role') === 'link' ? 1 : 0;
        KV.call(function () { Module._kv_tab(id, e.shiftKey ? 1 : 0, fromLink); });
      }
    });
    KV.screen().appendChild(el);
    KV.windows.set(id, el);
  },

  windowDestroy: function (id) {
    var el = KV.windows.get(id);
    if (!el) return;
    KV.windows.delete(id);
    if (el.kvRestore) el.kvRestore.remove();
    var modal = KV.modals.indexOf(id);
    if (modal >= 0) {
      KV.modals.splice(modal, 1);
      KV.updateInert();
    }
    el.remove();
  },

  // While a modal window shows, the rest of the page takes no pointer, key or focus.
  // A cover under the modal window takes the presses on the rest of the page, so they move no focus.
  updateInert: function () {
    var top = KV.modals.length ? KV.modals[KV.modals.length - 1] : -1;
    KV.windows.forEach(function (el, id) {
      el.inert = top >= 0 && id !== top;
    });
    if (!KV.cover) {
      KV.cover = document.createElement('div');
      KV.cover.className = 'kv-cover';
      KV.cover.addEventListener('pointerdown', function (e) { e.preventDefault(); });
      KV.cover.addEventListener('mousedown', function (e) { e.preventDefault(); });
    }
    if (top < 0) {
      KV.cover.remove();
      return;
    }
    KV.cover.style.zIndex = String(9 + 2 * KV.modals.length);
    KV.screen().appendChild(KV.cover);
  },

  windowShow: function (id, modal) {
    var el = KV.windows.get(id);
    if (modal) {
      KV.modals.push(id);
      el.classList.add('kv-modal');
      KV.updateInert();
    }
    el.hidden = false;
    el.style.zIndex = String(10 + 2 * KV.modals.length);
    KV.fit();
  },

  setMinimised: function (id, minimised, title) {
    var el = KV.windows.get(id);
    if (!el || !!el.kvMinimised === !!minimised) return;
    el.kvMinimised = !!minimised;
    el.hidden = !!minimised;
    KV.fit();
    if (minimised) {
      // Like a taskbar button: the page keeps a control that brings the window back.
      var restore = document.createElement('button');
      restore.className = 'kv-restore';
      restore.textContent = title;
      restore.setAttribute('aria-label', 'Restore ' + title);
      restore.addEventListener('click', function () {
        KV.setMinimised(id, false, title);
        // A restored window is active again: the toolkit gives the focus back where it was.
        KV.call(function () { Module._kv_window_activated(id); });
      });
      KV.page().appendChild(restore);
      el.kvRestore = restore;
    } else if (el.kvRestore) {
      el.kvRestore.remove();
      el.kvRestore = null;
    }
  },

  // What the control does with the focus, presses and its back colour is the toolkit's to say (traits); its
  // kind only chooses the element that stands for it.
  controlCreate: function (id, windowId, kind, traits, name, accessibleName, tabIndex, layer) {
    var tag = kind === KV_KIND.TextBox ? 'input' : kind === KV_KIND.PictureButton ? 'button' : 'div';
    var el = document.createElement(tag);
    var kindName = Object.keys(KV_KIND).find(function (name) { return KV_KIND[name] === kind; });
    el.className = 'kv-control kv-' + kindName.toLowerCase();
    el.dataset.name = name;
    el.kvId = id;
    el.kvTraits = traits;
    if (tag === 'input') {
      el.type = 'text';
      el.autocomplete = 'off';
      el.spellcheck = false;
      // A phone shows its number keys; anything else can still be typed.
      el.inputMode = 'decimal';
      // As long as the desktop's single-line boxes (Qt's and Win32's) hold.
      el.maxLength = 32767;
      el.addEventListener('input', function () {
        var text = el.value;
        KV.call(function () { KV.withText(text, function (pointer) { Module._kv_text(id, pointer); }); });
      });
      // A block of lines, which the browser would join into one: the toolkit keeps what a box takes of it.
      el.addEventListener('paste', function (e) {
        var pasted = e.clipboardData ? e.clipboardData.getData('text/plain') : '';
        if (!/[\r\n]/.test(pasted)) return;
        e.preventDefault();
        var text = el.value.slice(0, el.selectionStart) + pasted + el.value.slice(el.selectionEnd);
        KV.call(function () { KV.withText(text, function (pointer) { Module._kv_text(id, pointer); }); });
      });
    }
    if (tag === 'button') el.type = 'button';
    if (traits & KV_TRAIT.TakesFocus) {
      // The page's order is the toolkit's tab order (windowOrder), so no element needs a tab index of its own.
      el.tabIndex = tabIndex >= 0 ? 0 : -1;
      // What a focus change means (none between windows, where it goes back) is the toolkit's to decide.
      el.addEventListener('focus', function () {
        KV.call(function () { Module._kv_focus(id); });
      });
    }
    if (accessibleName) el.setAttribute('aria-label', accessibleName);
    // What clicks by itself clicks when the browser clicks its button (pointer, Enter, Space), a box never;
    // anything else as the toolkit says.
    if (traits & KV_TRAIT.ClicksItself && tag === 'button') {
      el.addEventListener('click', function () {
        KV.call(function () { Module._kv_click(id); });
      });
    }
    KV.presses(el, function (e) {
      if (e.type === 'mousedown' && !(traits & KV_TRAIT.TakesFocus)) e.preventDefault(); // as on the window's body
    }, function (e) { KV.pointer(windowId, e, KV_PHASE.Press, id); });
    el.addEventListener('pointermove', function (e) { KV.pointer(windowId, e, KV_PHASE.Move, id); });
    el.addEventListener('pointerup', function (e) {
      KV.pointer(windowId, e, KV_PHASE.Release, id);
      KV.lifted(windowId, e);
    });
    el.addEventListener('pointercancel', function (e) {
      e.stopPropagation();
      KV.lifted(windowId, e);
    });
    KV.windows.get(windowId).appendChild(el);
    KV.controls.set(id, el);
    // Stacking as the toolkit orders it, whatever the order in the page.
    el.style.zIndex = String(layer);
  },

  // The order a screen reader reads the window in: by rows from the top, each row from the left, so a
  // figure follows its caption; the controls that take the focus in the toolkit's tab order.
  windowOrder: function (windowId, tabIds) {
    var form = KV.windows.get(windowId);
    var controls = Array.from(form.children).filter(function (el) { return el.kvId !== undefined; });
    var at = function (el, side) { return parseFloat(el.style[side]) || 0; };
    controls.sort(function (a, b) { return at(a, 'top') - at(b, 'top') || at(a, 'left') - at(b, 'left'); });
    var stops = tabIds.map(function (id) { return KV.controls.get(id); });
    var next = 0;
    controls = controls.map(function (el) { return stops.indexOf(el) >= 0 ? stops[next++] : el; });
    controls.forEach(function (el) { form.appendChild(el); });
  },

  // Before the first control that lies after it, by rows; moving one already there would lose it the focus.
  takeOrder: function (windowId, id) {
    var form = KV.windows.get(windowId);
    var el = KV.controls.get(id);
    var at = function (e, side) { return parseFloat(e.style[side]) || 0; };
    var next = Array.from(form.children).find(function (other) {
      return other !== el && other.kvId !== undefined &&
        (at(other, 'top') - at(el, 'top') || at(other, 'left') - at(el, 'left')) > 0;
    });
    form.insertBefore(el, next || null);
  },

  // A label that opens an address when clicked is a link: in the keyboard's reach, and Enter clicks it.
  makeLink: function (id) {
    var el = KV.controls.get(id);
    el.setAttribute('role', 'link');
    el.tabIndex = 0;
    el.addEventListener('keydown', function (e) {
      if (e.key !== 'Enter') return;
      e.preventDefault();
      KV.call(function () { Module._kv_click(id); });
    });
  },

  // Text to the program on its heap: a box may hold far more than the program's stack.
  withText: function (text, fn) {
    var pointer = allocateUTF8(text);
    try {
      fn(pointer);
    } finally {
      _free(pointer);
    }
  },

  // Each tick waits for its deadline and for the frame after the previous tick, so every tick reaches
  // the screen as a frame of its own; deadlines advance by the period, so the pace holds on average.
  timerStart: function (id, period) {
    var t = { period: period, deadline: performance.now() + period, handle: 0 };
    KV.timers.set(id, t);
    KV.arm(id, t);
  },

  arm: function (id, t) {
    t.handle = setTimeout(function () { KV.due(id, t); }, Math.max(0, t.deadline - performance.now()));
  },

  due: function (id, t) {
    if (KV.timers.get(id) !== t) return;
    if (KV.tickedThisFrame) {
      t.handle = 0;
      requestAnimationFrame(function () { KV.due(id, t); });
      return;
    }
    t.deadline += t.period;
    var now = performance.now();
    // After a stall, tick on from now rather than catching up in a burst.
    if (t.deadline < now) t.deadline = now + t.period;
    KV.arm(id, t);
    KV.tickedThisFrame = true;
    requestAnimationFrame(function () { KV.tickedThisFrame = false; });
    KV.call(function () { Module._kv_timer_tick(id); });
  },

  timerStop: function (id) {
    var t = KV.timers.get(id);
    if (!t) return;
    KV.timers.delete(id);
    if (t.handle) clearTimeout(t.handle);
  },

  end: function (message, error) {
    KV.ended = true;
    KV.timers.forEach(function (t) { if (t.handle) clearTimeout(t.handle); });
    KV.timers.clear();
    var screen = KV.page();
    screen.textContent = '';
    var page = document.createElement('div');
    page.className = 'kv-ended';
    var heading = document.createElement('h1');
    heading.textContent = error ? 'Kelvara Calculator stopped after an error' : 'Kelvara Calculator has ended';
    page.appendChild(heading);
    if (message) {
      var text = document.createElement('p');
      text.setAttribute('role', 'alert');
      text.textContent = message;
      page.appendChild(text);
    }
    var again = document.createElement('button');
    again.type = 'button';
    again.textContent = 'Start again';
    again.addEventListener('click', function () { location.reload(); });
    page.appendChild(again);
    screen.appendChild(page);
    document.title = 'Kelvara Calculator';
    if (error) console.error(message);
    console.log('kelvara: ended');
  }
};
