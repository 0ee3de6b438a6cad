// The service worker: every file of the site is cached at install and
// answered from the cache, so that after one visit the page works with no
// network. The build names the cache by a digest of those files, so that a
// changed site is a new worker that fetches them all again, fresh, and the old
// cache goes once the new one is in use.
const cacheName = 'kq71wb-@KQ71WB_SITE_DIGEST@';
const siteFiles = ['./', @KQ71WB_SITE_FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName)
    .then((cache) => cache.addAll(siteFiles.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
