// The page's pointer, mouse and touch alike, handed to the program as the toolkit's presses, moves and
// releases (toolkit/web/runtime.js defines KV; this file, linked after it, adds to it).

Object.assign(KV, {
  // A press comes from the mouse event, which counts the presses of a double-click, or, for touch and pen,
  // from the pointer event: their mouse events come only after a tap, and none for a drag. Each press
  // reaches `press` once; `always` sees both events.
  presses: function (el, always, press) {
    el.addEventListener('pointerdown', function (e) {
      KV.capture(e);
      always(e);
      if (e.pointerType === 'mouse') {
        KV.touching = false;
        return;
      }
      KV.touching = true;
      press(e);
    });
    el.addEventListener('mousedown', function (e) {
      always(e);
      if (!KV.touching) press(e);
    });
  },

  // A finger lifted leaves no pointer over the window: the looks it gave go, as when a mouse moves on
  // to the window's body.
  lifted: function (windowId, e) {
    if (e.pointerType === 'mouse') return;
    KV.call(function () { Module._kv_pointer(windowId, -1, KV_PHASE.Move, 0, 0, 0, 0, 1, 0); });
  },

  // A drag keeps its surface while the pointer outruns the moving window; buttons and boxes keep their own.
  capture: function (e) {
    // Where the pointer was pressed, in fractions of a pixel that the mouse event rounds away.
    KV.pressAt = { x: e.clientX, y: e.clientY };
    var surface = e.currentTarget;
    if (e.target !== surface && surface.classList.contains('kv-form')) return;
    if (e.button === 0 && !(surface.kvTraits & KV_TRAIT.ClicksItself)) {
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
    var button = type === KV_PHASE.Move ? e.buttons & 7 : e.button === 0 ? 1 : e.button === 1 ? 4 : e.button === 2 ? 2 : 0;
    var shift = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    var rect = surface.getBoundingClientRect();
    var at = type === KV_PHASE.Press && KV.pressAt ? KV.pressAt : { x: e.clientX, y: e.clientY };
    var x = ((at.x - rect.left) / KV.scale) * KV.twips, y = ((at.y - rect.top) / KV.scale) * KV.twips;
    // A release's press may have been captured for a drag: it counts where it is let go.
    var inside = e.clientX >= rect.left && e.clientX < rect.right && e.clientY >= rect.top && e.clientY < rect.bottom;
    var second = type === KV_PHASE.Press && e.detail > 1 && e.detail % 2 === 0;
    KV.call(function () {
      Module._kv_pointer(windowId, controlId, type, button, shift, x, y, inside ? 1 : 0, second ? 1 : 0);
    });
  }
});
