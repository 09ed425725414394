// Starts the program of the page: the typefaces, the first frame's pictures and the program are asked for
// at once, and the program starts when all three are in. The build names each file after its content and
// lists the names in the page (#kv-files); a name not listed is used as it is.
(function () {
  var files = JSON.parse(document.getElementById('kv-files').textContent);
  window.kvFiles = files;
  window.kvFile = function (path) { return files[path] || path; };
  // The program to start: the calculator, or a test program of the same build (?program=window-tests).
  var params = new URLSearchParams(location.search);
  var program = /^[a-z-]+$/.test(params.get('program') || '') ? params.get('program') : 'kelvara-calculator';
  var args = params.getAll('arg');
  var faces = [
    ['Liberation Sans', 'LiberationSans-Regular', '400'], ['Liberation Sans', 'LiberationSans-Bold', '700'],
    ['DejaVu Serif', 'DejaVuSerif', '400'], ['DejaVu Serif', 'DejaVuSerif-Bold', '700']
  ];
  var fonts = Promise.all(faces.map(function (f) {
    var face = new FontFace(f[0], 'url("' + kvFile('fonts/' + f[1] + '.woff2') + '")', { weight: f[2] });
    document.fonts.add(face);
    return face.load();
  }));
  // The pictures of the first frame, in the one set the screen's density takes, decoded before it. Test
  // programs draw windows again from the single-size pictures to read their pixels.
  var all = program !== 'kelvara-calculator';
  var first = ['corner-top-left', 'corner-top-right', 'corner-bottom-left', 'corner-bottom-right', 'edge-wide', 'edge-tall',
    'title-strip', 'logo', 'glyph-close', 'glyph-minimise', 'face-calculate-normal'];
  if (all) {
    first = first.concat(['face-calculate-hover', 'face-calculate-muted', 'face-back-normal', 'face-back-hover',
      'face-back-muted', 'face-exit-normal', 'face-exit-hover', 'face-exit-muted', 'face-ok-normal', 'face-ok-hover',
      'face-ok-muted']);
  }
  var set = !all && window.devicePixelRatio >= 1.5 ? '@2x' : '';
  // A picture's file in that set, lossy WebP or exact PNG as the build made it.
  window.kvPicture = function (name) {
    var path = 'skin/' + name + set;
    return files[path + '.webp'] || files[path + '.png'] || null;
  };
  var loaded = {};
  var pictures = Promise.all(first.map(function (name) {
    if (!kvPicture(name)) return null;
    var image = new Image();
    image.src = kvPicture(name);
    loaded[name] = image;
    return image.decode().catch(function () {});
  }));
  var runtime = new Promise(function (resolve) {
    window.Module = {
      onRuntimeInitialized: resolve,
      locateFile: function (path, prefix) { return files[path] || prefix + path; },
      // A trap ends the program with the error page; a program that silently stops answering is worse.
      onAbort: function (what) { if (window.KV && KV.fail) KV.fail(what); }
    };
  });
  var script = document.createElement('script');
  script.src = kvFile(program + '.js');
  document.body.appendChild(script);
  Promise.all([fonts, pictures, runtime]).then(function () {
    document.body.classList.remove('kv-loading');
    if (all) KV.testImages = loaded;
    // The status of a program whose main returns, such as a test program; the calculator's stays running.
    window.kvProgramStatus = Module.callMain(args);
  });
  // After one visit the page opens and calculates without a network; the worker keeps this density's
  // pictures.
  if (!all && 'serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js?pictures=' + (set ? '2x' : '1x')).catch(function () {});
  }
})();

