// The page side of the web test driver (toolkit/web/WebTestDriver.cpp); linked into test programs only.
mergeInto(LibraryManager.library, {
  kvt_pointer: function (control, window, type, button, buttons, shift, x, y, detail) {
      var el = control >= 0 ? KV.controls.get(control) : KV.windows.get(window);
      var rect = el.getBoundingClientRect();
      var init = { bubbles: true, cancelable: true, composed: true, pointerId: 1, pointerType: 'mouse', isPrimary: true,
                   clientX: rect.left + x / KV.twips, clientY: rect.top + y / KV.twips,
                   button: button === 1 ? 0 : button === 4 ? 1 : button === 2 ? 2 : -1, buttons: buttons,
                   shiftKey: !!(shift & 1), ctrlKey: !!(shift & 2), altKey: !!(shift & 4), detail: detail };
      var kind = UTF8ToString(type);
      if (kind === 'click' || kind === 'dblclick') {
          el.dispatchEvent(new MouseEvent(kind, init));
      } else {
          el.dispatchEvent(new PointerEvent(kind, init));
          // The mouse events a browser sends after the pointer's, which carry the press count.
          if (kind === 'pointerdown') el.dispatchEvent(new MouseEvent('mousedown', init));
          if (kind === 'pointerup') el.dispatchEvent(new MouseEvent('mouseup', init));
      }
  },
  kvt_focus: function (control) { KV.controls.get(control).focus(); },
  // A key to the focused element; Enter and Space then activate a focused button as a browser does.
  kvt_key: function (keyName) {
      var key = UTF8ToString(keyName);
      var target = document.activeElement && document.activeElement !== document.body ? document.activeElement : null;
      if (!target && KV.modals.length) target = KV.windows.get(KV.modals[KV.modals.length - 1]);
      if (!target) return;
      var down = new KeyboardEvent('keydown', { key: key, code: key === ' ' ? 'Space' : key, bubbles: true, cancelable: true });
      var proceed = target.dispatchEvent(down);
      if (proceed && target.tagName === 'BUTTON' && (key === 'Enter' || key === ' ')) target.click();
      if (target.isConnected) target.dispatchEvent(new KeyboardEvent('keyup', { key: key, bubbles: true }));
  },
  kvt_type: function (text) {
      var chars = Array.from(UTF8ToString(text));
      for (var i = 0; i < chars.length; ++i) {
          var target = document.activeElement;
          if (!target) return;
          var down = new KeyboardEvent('keydown', { key: chars[i], bubbles: true, cancelable: true });
          if (target.dispatchEvent(down) && target.tagName === 'INPUT') {
              target.setRangeText(chars[i], target.selectionStart, target.selectionEnd, 'end');
              target.dispatchEvent(new InputEvent('input', { data: chars[i], inputType: 'insertText', bubbles: true }));
          }
          target.dispatchEvent(new KeyboardEvent('keyup', { key: chars[i], bubbles: true }));
      }
  },
  // A paste event with the text on its clipboard; the browser's own insertion, which drops line breaks, when
  // no handler took it.
  kvt_paste: function (text) {
      var target = document.activeElement, data = new DataTransfer();
      data.setData('text/plain', UTF8ToString(text));
      var paste = new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true });
      if (!target || !target.dispatchEvent(paste) || target.tagName !== 'INPUT') return;
      target.setRangeText(data.getData('text/plain').replace(/[\r\n]/g, ''), target.selectionStart, target.selectionEnd, 'end');
      target.dispatchEvent(new InputEvent('input', { inputType: 'insertFromPaste', bubbles: true }));
  },
  kvt_size: function (window, height) {
      var el = KV.windows.get(window);
      return Math.round(parseFloat(height ? el.style.height : el.style.width));
  },
  kvt_pointer_shape: function (control) {
      var cursor = getComputedStyle(KV.controls.get(control)).cursor;
      return cursor === 'default' || cursor === 'auto' ? 0 : cursor === 'text' ? 1 : cursor === 'pointer' ? 2 : 3;
  },
  kvt_accessible_name: function (control) {
      var el = KV.controls.get(control);
      var name = el.getAttribute('aria-label') || (el.tagName === 'DIV' ? el.textContent : '');
      return allocateUTF8(name);
  },
  kvt_ended_message: function () {
      var message = document.querySelector('.kv-ended [role=alert]');
      return allocateUTF8(message ? message.textContent : '');
  },
  kvt_title: function (window) { return allocateUTF8(KV.windows.get(window).dataset.title || ''); },
  // The window drawn again on a canvas from what the page shows: its colour, then each shown control in
  // stacking order, pictures from the loaded images, text in the page's typefaces.
  kvt_grab__deps: ['malloc'],
  kvt_grab: function (window) {
      var form = KV.windows.get(window);
      var width = Math.round(parseFloat(form.style.width)), height = Math.round(parseFloat(form.style.height));
      var canvas = document.createElement('canvas');
      canvas.width = width;
      canvas.height = height;
      var g = canvas.getContext('2d');
      g.fillStyle = form.style.backgroundColor;
      g.fillRect(0, 0, width, height);
      var all = Array.from(form.children);
      var order = all.slice().sort(function (a, b) { return (parseInt(a.style.zIndex) || 0) - (parseInt(b.style.zIndex) || 0); });
      order.forEach(function (el) {
          if (el.hidden) return;
          var x = parseFloat(el.style.left), y = parseFloat(el.style.top);
          var w = parseFloat(el.style.width), h = parseFloat(el.style.height);
          g.save();
          g.beginPath();
          g.rect(x, y, w, h);
          g.clip();
          var style = getComputedStyle(el);
          if (style.backgroundColor && style.backgroundColor !== 'rgba(0, 0, 0, 0)') {
              g.fillStyle = style.backgroundColor;
              g.fillRect(x, y, w, h);
          }
          var match = /url\("?skin\/([^"@.)]+)/.exec(el.style.backgroundImage || '');
          var image = match && KV.testImages && KV.testImages[match[1]];
          if (image) {
              if (el.classList.contains('kv-stretch')) g.drawImage(image, x, y, w, h);
              else if (el.tagName === 'BUTTON') g.drawImage(image, x + Math.floor((w - image.width) / 2), y + Math.floor((h - image.height) / 2));
              else g.drawImage(image, x, y);
          }
          g.fillStyle = style.color;
        g.textBaseline = 'top';
        if (el.tagName === 'INPUT' && el.value) {
            g.font = style.font;
            g.fillText(el.value, x + 4, y + 2);
        } else if (el.tagName === 'DIV') {
            // Each character where the page laid it out, so wrapped lines show as the page shows them.
            var origin = form.getBoundingClientRect();
            var walker = document.createTreeWalker(el, NodeFilter.SHOW_TEXT);
            var range = document.createRange();
            for (var node = walker.nextNode(); node; node = walker.nextNode()) {
                g.font = getComputedStyle(node.parentElement).font;
                for (var i = 0; i < node.data.length; ++i) {
                    if (/\s/.test(node.data[i])) continue;
                    range.setStart(node, i);
                    range.setEnd(node, i + 1);
                    var r = range.getBoundingClientRect();
                    g.fillText(node.data[i], r.left - origin.left, r.top - origin.top);
                }
            }
        }
        g.restore();
      });
      var data = g.getImageData(0, 0, width, height).data;
      var out = _malloc((2 + width * height) * 4);
      HEAP32[out >> 2] = width;
      HEAP32[(out >> 2) + 1] = height;
      for (var p = 0; p < width * height; ++p)
          HEAPU32[(out >> 2) + 2 + p] = ((data[p * 4 + 3] << 24) | (data[p * 4] << 16) | (data[p * 4 + 1] << 8) | data[p * 4 + 2]) >>> 0;
      return out;
  },
});
