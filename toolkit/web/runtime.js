// The page side of the web platform layer: windows and controls as elements of the page, their events
// handed to the program's exported entry points, timers paced one tick a frame.

var KV = {
  // Created at start-up: maps written as literals do not survive the library's emitting.
  windows: null,
  controls: null,
  timers: null,
  modals: [],
  ended: false,
  tickedThisFrame: false,

  screen: function () {
    return document.getElementById('kv-screen');
  },

  start: function () {
    KV.windows = new Map();
    KV.controls = new Map();
    KV.timers = new Map();
  },

  // Calls into the program; a program that has ended takes no more events, and its exit unwinds to here.
  call: function (fn) {
    if (KV.ended) return;
    try {
      fn();
    } catch (e) {
      if (!(e instanceof ExitStatus) && e !== 'unwind') throw e;
    }
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

  picture: function (name) {
    if (!name) return 'none';
    var type = window.kvLossyPictures && kvLossyPictures.indexOf(name) >= 0 ? '.webp' : '.png';
    return 'image-set(url("skin/' + name + type + '") 1x, url("skin/' + name + '@2x' + type + '") 2x)';
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
    el.addEventListener('pointerdown', KV.capture);
    el.addEventListener('mousedown', function (e) {
      // A press on the window's body or its pictures and labels leaves the focus where it is.
      if (e.target.tagName !== 'INPUT' && e.target.tagName !== 'BUTTON') e.preventDefault();
      KV.pointer(id, e, 0);
    });
    el.addEventListener('pointermove', function (e) { KV.pointer(id, e, 1); });
    el.addEventListener('keydown', function (e) {
      if (e.key === 'Escape') KV.call(function () { Module._kv_escape(id); });
      if (e.key === 'Tab') {
        e.preventDefault();
        KV.call(function () { Module._kv_tab(id, e.shiftKey ? 1 : 0); });
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
  },

  setMinimised: function (id, minimised, title) {
    var el = KV.windows.get(id);
    if (!el || !!el.kvMinimised === !!minimised) return;
    el.kvMinimised = !!minimised;
    el.hidden = !!minimised;
    if (minimised) {
      // Like a taskbar button: the page keeps a control that brings the window back.
      var restore = document.createElement('button');
      restore.className = 'kv-restore';
      restore.textContent = title;
      restore.setAttribute('aria-label', 'Restore ' + title);
      restore.addEventListener('click', function () {
        KV.setMinimised(id, false, title);
      });
      KV.screen().appendChild(restore);
      el.kvRestore = restore;
    } else if (el.kvRestore) {
      el.kvRestore.remove();
      el.kvRestore = null;
    }
  },

  controlCreate: function (id, windowId, kind, name, accessibleName, tabIndex) {
    // Kinds: 0 label, 1 text box, 2 picture button, 3 picture box, 4 image, 5 frame.
    var tag = kind === 1 ? 'input' : kind === 2 ? 'button' : 'div';
    var el = document.createElement(tag);
    el.className = 'kv-control kv-kind-' + kind;
    el.dataset.name = name;
    el.kvId = id;
    el.kvKind = kind;
    if (kind === 1) {
      el.type = 'text';
      el.autocomplete = 'off';
      el.spellcheck = false;
      el.addEventListener('input', function () {
        var text = el.value;
        KV.call(function () { Module.ccall('kv_text', null, ['number', 'string'], [id, text]); });
      });
      // A block of lines, which the browser would join into one: the toolkit keeps what a box takes of it.
      el.addEventListener('paste', function (e) {
        var pasted = e.clipboardData ? e.clipboardData.getData('text/plain') : '';
        if (!/[\r\n]/.test(pasted)) return;
        e.preventDefault();
        var text = el.value.slice(0, el.selectionStart) + pasted + el.value.slice(el.selectionEnd);
        KV.call(function () { Module.ccall('kv_text', null, ['number', 'string'], [id, text]); });
      });
    }
    if (kind === 1 || kind === 2) {
      if (kind === 2) el.type = 'button';
      el.tabIndex = tabIndex >= 0 ? tabIndex + 1 : -1;
      // What a focus change means (none between windows, where it goes back) is the toolkit's to decide.
      el.addEventListener('focus', function () {
        KV.call(function () { Module._kv_focus(id); });
      });
    }
    if (accessibleName) el.setAttribute('aria-label', accessibleName);
    // A button clicks as the browser says (pointer, Enter, Space); anything else as the toolkit says.
    if (kind === 2) {
      el.addEventListener('click', function () {
        KV.call(function () { Module._kv_click(id); });
      });
    }
    el.addEventListener('pointerdown', KV.capture);
    el.addEventListener('mousedown', function (e) {
      if (tag === 'div') e.preventDefault(); // as on the window's body: the focus stays
      KV.pointer(windowId, e, 0, id);
    });
    el.addEventListener('pointermove', function (e) { KV.pointer(windowId, e, 1, id); });
    el.addEventListener('pointerup', function (e) { KV.pointer(windowId, e, 2, id); });
    KV.windows.get(windowId).appendChild(el);
    KV.controls.set(id, el);
  },

  // A drag keeps its surface while the pointer outruns the moving window; buttons and boxes keep their own.
  capture: function (e) {
    // Where the pointer was pressed, in fractions of a pixel that the mouse event rounds away.
    KV.pressAt = { x: e.clientX, y: e.clientY };
    var surface = e.currentTarget;
    if (e.target !== surface && surface.classList.contains('kv-form')) return;
    if (e.button === 0 && surface.tagName === 'DIV') {
      try { surface.setPointerCapture(e.pointerId); } catch (ignored) {}
    }
  },

  // Presses come as mouse events, which count the presses of a double-click; moves and releases as
  // pointer events, which follow a captured drag.
  pointer: function (windowId, e, type, controlId) {
    if (controlId === undefined) {
      if (e.target !== e.currentTarget) return; // a control's own event, handled there
      controlId = -1;
    } else {
      e.stopPropagation();
    }
    var surface = e.currentTarget;
    var button = type === 1 ? e.buttons & 7 : e.button === 0 ? 1 : e.button === 1 ? 4 : e.button === 2 ? 2 : 0;
    var shift = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    var rect = surface.getBoundingClientRect();
    var at = type === 0 && KV.pressAt ? KV.pressAt : { x: e.clientX, y: e.clientY };
    var x = (at.x - rect.left) * 15, y = (at.y - rect.top) * 15;
    // A release's press may have been captured for a drag: it counts where it is let go.
    var inside = e.clientX >= rect.left && e.clientX < rect.right && e.clientY >= rect.top && e.clientY < rect.bottom;
    var second = type === 0 && e.detail > 1 && e.detail % 2 === 0;
    KV.call(function () {
      Module._kv_pointer(windowId, controlId, type, button, shift, x, y, inside ? 1 : 0, second ? 1 : 0);
    });
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
    var screen = KV.screen();
    screen.textContent = '';
    var page = document.createElement('main');
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
