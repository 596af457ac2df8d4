// Keeps the page playable offline: every file is fetched from the network
// when it can be, and the last copy of it is kept for when it cannot.
"use strict";

const CACHE = "kestrix-page";
const FILES = ["./", "index.html", "style.css", "app.js", "worker.js", "kestrix.js",
               "kestrix.wasm"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => event.waitUntil(self.clients.claim()));

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(CACHE).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, { ignoreSearch: true })
    .then((kept) => kept || Response.error())));
});
