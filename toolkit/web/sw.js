// The page's service worker: after one visit the page opens and calculates without a network. Each build
// writes its own list and version here, so a new build is a new worker with a cache of its own; the files
// are named after their content, so a page never meets a program of another build.
var version = '@VERSION@';
var core = @CORE@;
var pictures = @PICTURES@;
var cacheName = 'kelvara-' + version;

self.addEventListener('install', function (event) {
  var set = new URL(location.href).searchParams.get('pictures') === '2x' ? '2x' : '1x';
  event.waitUntil(caches.open(cacheName).then(function (cache) {
    return cache.addAll(core.concat(pictures[set]));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf('kelvara-') === 0 && name !== cacheName;
    }).map(function (name) { return caches.delete(name); }));
  }).then(function () { return self.clients.claim(); }));
});

// The page from the network while there is one, so a new build shows at once; everything else, named
// after its content, from the cache first.
self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  if (request.mode === 'navigate') {
    event.respondWith(fetch(request).catch(function () {
      return caches.open(cacheName).then(function (cache) { return cache.match('./'); })
        .then(function (page) { return page || Response.error(); });
    }));
    return;
  }
  event.respondWith(caches.open(cacheName).then(function (cache) {
    return cache.match(request).then(function (hit) {
      return hit || fetch(request).then(function (response) {
        if (response.ok) cache.put(request, response.clone());
        return response;
      });
    });
  }));
});
