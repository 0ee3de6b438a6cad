// The service worker: every file the page uses is cached at install and
// answered from the cache, so that after one visit the page works with no
// network. The build names the cache by a digest of those files and lists
// each file with the SHA-256 of its bytes: a file the server gives that is
// not this version's (an upload half done) is never cached, the install
// fails whole, and the page keeps running the last whole version. The files
// are asked for as the page just had them: the server confirms what the
// browser holds (a validated copy is not sent again).
const cacheName = 'kq71wb-@KQ71WB_SITE_DIGEST@';
const siteFiles = new Map([@KQ71WB_SITE_FILES@]);

const hex = (bytes) => Array.from(new Uint8Array(bytes), (byte) => byte.toString(16).padStart(2, '0')).join('');

async function keepSite() {
  const fetched = await Promise.all([...siteFiles].map(async ([file, digest]) => {
    const response = await fetch(new Request(file, { cache: 'no-cache' }));
    const bytes = await response.clone().arrayBuffer();
    if (!response.ok || hex(await crypto.subtle.digest('SHA-256', bytes)) !== digest)
      throw new Error(`${file} on the server is not the one of ${cacheName}: nothing of it is kept`);
    return [file, response];
  }));
  const cache = await caches.open(cacheName);
  await Promise.all(fetched.map(([file, response]) => cache.put(file, response)));
}

self.addEventListener('install', (event) => {
  // Chromium answers the page's own files from this cache itself, without
  // starting the worker: a phone reopening the page does not wait for it.
  event.addRoutes?.({ source: { cacheName }, condition: { or: [...siteFiles.keys()].map((file) => (
    { urlPattern: new URLPattern(new URL(file, self.registration.scope).href) })) } }).catch(() => {});
  event.waitUntil(keepSite().then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== cacheName).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The site file an address names: the page is kept once, as './', and
// answers for './' and './index.html'; any other address, a mistyped one in
// the page's folder included, is the network's to answer.
function siteFile(address) {
  const { origin, pathname } = new URL(address);
  const scope = new URL(self.registration.scope);
  if (origin !== scope.origin || !pathname.startsWith(scope.pathname)) return null;
  const file = pathname.slice(scope.pathname.length);
  if (file === '' || file === 'index.html') return './';
  return siteFiles.has(file) ? file : null;
}

self.addEventListener('fetch', (event) => {
  const file = event.request.method === 'GET' ? siteFile(event.request.url) : null;
  if (file === null) return;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(file))
    .then((cached) => cached ?? fetch(event.request)));
});
