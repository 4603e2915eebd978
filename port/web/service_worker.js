// The site's service worker. The build writes the list of the site's files and a hash of them
// into it (cmake/web-worker.cmake), so each build caches its files under a name of its own,
// and the page loads and plays with no server after one visit.
const SITE_CACHES = `vantorel ${self.registration.scope} `;
const CACHE = SITE_CACHES + '@VANTOREL_SITE_HASH@';
const FILES = [@VANTOREL_SITE_FILES@];

// No skipWaiting: a new build waits until no page of the old one is open, so a page never
// pairs the old build's JavaScript with the new build's wasm ("Play again" loads it anew).
self.addEventListener('install', (event) => {
  const fresh = FILES.map((file) => new Request(file, {cache: 'reload'}));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(fresh)));
});

// The first visit's page is served by the worker at once; only this site's older builds'
// caches go (other sites of the same origin keep theirs).
self.addEventListener('activate', (event) => {
  const older = (name) => name.startsWith(SITE_CACHES) && name !== CACHE;
  const dropOlder = (names) => Promise.all(names.filter(older).map((name) => caches.delete(name)));
  event.waitUntil(caches.keys().then(dropOlder).then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') {
    return;
  }
  const answer = caches.open(CACHE).then((cache) => cache.match(event.request));
  event.respondWith(answer.then((cached) => cached || fetch(event.request)));
});
