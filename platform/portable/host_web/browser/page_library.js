// The page's side of the web host: the canvas, the page's input queued for the program, the
// pictures copied at animation frames, and what tests read (window.spirals).
mergeInto(LibraryManager.library, {
  $SpiralsPage: {
    canvas: null,
    context: null,
    image: null,
    imageWords: null,
    queue: [],
    maxQueue: 4096,
    fb: {pixels: 0, width: 0, height: 0, stride: 0},
    changed: null,
    frame: 0,
    listeners: [],
    textLimit: 500,
    // What tests and curious users can read: texts drawn, pictures shown, the end.
    hook: {textLog: [], textCount: 0, frames: 0, running: true, exitCode: null},

    pageWidth: function() { return Math.max(1, Math.floor(window.innerWidth)); },
    pageHeight: function() { return Math.max(1, Math.floor(window.innerHeight)); },

    // Queues an event; a move or a resize replaces one of its kind at the end of the queue.
    push: function(event) {
      var q = SpiralsPage.queue;
      var last = q.length ? q[q.length - 1] : null;
      if (last && last.kind === event.kind && (event.kind === 3 || event.kind === 5)) {
        q[q.length - 1] = event;
        return;
      }
      if (q.length >= SpiralsPage.maxQueue) q.shift();
      q.push(event);
    },

    listen: function(target, type, handler, options) {
      target.addEventListener(type, handler, options);
      SpiralsPage.listeners.push([target, type, handler, options]);
    },

    // CSS pixels from the canvas' top-left corner.
    point: function(e) {
      var r = SpiralsPage.canvas.getBoundingClientRect();
      return [Math.floor(e.clientX - r.left), Math.floor(e.clientY - r.top)];
    },

    startListening: function() {
      var page = SpiralsPage;
      var key = function(down) {
        return function(e) {
          page.push({kind: 1, flags: (down ? 1 : 0) | (e.repeat ? 2 : 0), code: e.code || '',
                     key: e.key || ''});
          // The program's keys are not the browser's too; its own shortcuts stay its own.
          if (!e.ctrlKey && !e.metaKey && !/^F\d+$/.test(e.key || '')) e.preventDefault();
        };
      };
      page.listen(window, 'keydown', key(true));
      page.listen(window, 'keyup', key(false));
      var button = function(down) {
        return function(e) {
          var p = page.point(e);
          page.push({kind: 2, flags: down ? 1 : 0, button: e.button, x: p[0], y: p[1]});
          e.preventDefault();
        };
      };
      page.listen(page.canvas, 'mousedown', button(true));
      page.listen(window, 'mouseup', button(false));
      page.listen(page.canvas, 'mousemove', function(e) {
        var p = page.point(e);
        page.push({kind: 3, x: p[0], y: p[1]});
      });
      page.listen(page.canvas, 'wheel', function(e) {
        var p = page.point(e);
        page.push({kind: 4, x: p[0], y: p[1], deltaMode: e.deltaMode, deltaY: e.deltaY,
                   wheelDeltaY: typeof e.wheelDeltaY === 'number' ? e.wheelDeltaY : 0});
        e.preventDefault();
      }, {passive: false});
      page.listen(page.canvas, 'contextmenu', function(e) { e.preventDefault(); });
      page.listen(window, 'blur', function() { page.push({kind: 6}); });
      page.listen(window, 'resize', function() {
        page.push({kind: 5, x: page.pageWidth(), y: page.pageHeight()});
      });
    },

    stopListening: function() {
      SpiralsPage.listeners.forEach(function(l) {
        l[0].removeEventListener(l[1], l[2], l[3]);
      });
      SpiralsPage.listeners = [];
      SpiralsPage.queue = [];
    },

    // Copies the changed pixels (0x00RRGGBB words) to the canvas as opaque RGBA.
    present: function() {
      var page = SpiralsPage, fb = page.fb, c = page.changed;
      if (!c || !fb.pixels) return;
      page.changed = null;
      var canvas = page.canvas;
      if (canvas.width !== fb.width || canvas.height !== fb.height || !page.image) {
        canvas.width = fb.width;
        canvas.height = fb.height;
        canvas.style.width = fb.width + 'px';
        canvas.style.height = fb.height + 'px';
        page.image = page.context.createImageData(fb.width, fb.height);
        page.imageWords = new Uint32Array(page.image.data.buffer);
        c = {left: 0, top: 0, right: fb.width, bottom: fb.height};
      }
      c = {left: Math.max(0, c.left), top: Math.max(0, c.top),
           right: Math.min(fb.width, c.right), bottom: Math.min(fb.height, c.bottom)};
      if (c.left >= c.right || c.top >= c.bottom) return;
      var src = HEAPU32, dst = page.imageWords, base = fb.pixels >> 2;
      for (var y = c.top; y < c.bottom; ++y) {
        var s = base + y * fb.stride + c.left, d = y * fb.width + c.left;
        for (var x = c.left; x < c.right; ++x) {
          var v = src[s++];
          dst[d++] = 0xFF000000 | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >>> 16) & 0xFF);
        }
      }
      page.context.putImageData(page.image, 0, 0, c.left, c.top, c.right - c.left,
                                c.bottom - c.top);
      page.hook.frames++;
    },

    animate: function() {
      SpiralsPage.present();
      if (SpiralsPage.hook.running) SpiralsPage.frame = requestAnimationFrame(SpiralsPage.animate);
    },
  },

  spirals_page_open__deps: ['$SpiralsPage'],
  spirals_page_open: function() {
    var page = SpiralsPage;
    page.canvas = document.getElementById('canvas');
    if (!page.canvas) return 0;
    page.context = page.canvas.getContext('2d', {alpha: false});
    if (!page.context) return 0;
    window.spirals = page.hook;
    page.startListening();
    page.frame = requestAnimationFrame(page.animate);
    return 1;
  },

  spirals_page_width__deps: ['$SpiralsPage'],
  spirals_page_width: function() { return SpiralsPage.pageWidth(); },

  spirals_page_height__deps: ['$SpiralsPage'],
  spirals_page_height: function() { return SpiralsPage.pageHeight(); },

  spirals_page_next_event__deps: ['$SpiralsPage'],
  spirals_page_next_event: function(out) {
    var e = SpiralsPage.queue.shift();
    if (!e) return 0;
    HEAP32[out >> 2] = e.kind;
    HEAP32[(out + 4) >> 2] = e.flags | 0;
    HEAP32[(out + 8) >> 2] = e.x | 0;
    HEAP32[(out + 12) >> 2] = e.y | 0;
    HEAP32[(out + 16) >> 2] = e.button | 0;
    HEAP32[(out + 20) >> 2] = e.deltaMode | 0;
    HEAPF64[(out + 24) >> 3] = +(e.deltaY || 0);
    HEAPF64[(out + 32) >> 3] = +(e.wheelDeltaY || 0);
    stringToUTF8(e.code || '', out + 40, 32);
    stringToUTF8(e.key || '', out + 72, 32);
    return 1;
  },

  spirals_page_publish__deps: ['$SpiralsPage'],
  spirals_page_publish: function(pixels, width, height, stride, left, top, right, bottom) {
    var page = SpiralsPage;
    page.fb = {pixels: pixels, width: width, height: height, stride: stride};
    if (!pixels) {
      page.changed = null;
      return;
    }
    if (left >= right || top >= bottom) return;
    var c = page.changed;
    page.changed = c ? {left: Math.min(c.left, left), top: Math.min(c.top, top),
                        right: Math.max(c.right, right), bottom: Math.max(c.bottom, bottom)}
                     : {left: left, top: top, right: right, bottom: bottom};
  },

  spirals_page_present__deps: ['$SpiralsPage'],
  spirals_page_present: function() { SpiralsPage.present(); },

  spirals_page_text__deps: ['$SpiralsPage'],
  spirals_page_text: function(ms, x, y, text) {
    var hook = SpiralsPage.hook;
    hook.textLog.push({ms: ms, x: x, y: y, text: UTF8ToString(text)});
    if (hook.textLog.length > SpiralsPage.textLimit) hook.textLog.shift();
    hook.textCount++;
  },

  spirals_page_title: function(text) { document.title = UTF8ToString(text); },

  spirals_page_ended__deps: ['$SpiralsPage'],
  spirals_page_ended: function(code) {
    var page = SpiralsPage;
    page.stopListening();
    page.hook.running = false;
    page.hook.exitCode = code;
    cancelAnimationFrame(page.frame);
    var status = document.getElementById('status');
    if (status) {
      status.textContent = 'The program has ended (exit code ' + code + ').';
      status.hidden = false;
    }
  },
});
