// The service worker: every file the page uses is cached at install and
// answered from the cache, so that after one visit the page works with no
// network. The build names the cache by a digest of those files, so that a
// changed site is a new worker with a new cache, and the old cache goes once
// the new one is in use. The files are asked for as the page just had them:
// the server confirms what the browser holds (a validated copy is not sent
// again), and never an old file passes for a new one.
const cacheName = 'kq71wb-@KQ71WB_SITE_DIGEST@';
const siteFiles = ['./', @KQ71WB_SITE_FILES@];

self.addEventListener('install', (event) => {
  // Chromium answers the page's own files from this cache itself, without
  // starting the worker: a phone reopening the page does not wait for it.
  event.addRoutes?.({ source: { cacheName }, condition: { or: siteFiles.map((file) => (
    { urlPattern: new URLPattern(new URL(file, self.registration.scope).href) })) } }).catch(() => {});
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(siteFiles.map((file) => new Request(file, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page is kept once, as './', and answers for it by any name.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const request = event.request.mode === 'navigate' ? './' : event.request;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
