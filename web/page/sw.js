// Quelvar's page offline: every file of the page is kept in the browser's cache at the first
// visit, and each request goes to the network first, so a rebuilt page is seen at once, and to
// the cache when the network is gone. Nothing is sent anywhere but to the page's own server.
"use strict";

const CACHE = "quelvar-page";
const FILES = ["index.html", "page.js", "a11y.js", "quelvar.js", "quelvar.wasm", "quelvar.data",
               "quelvar.css", "workspace.js", "workspace.css", "icon.svg", "logo.svg",
               "manifest.webmanifest"];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});
self.addEventListener("activate", (event) => event.waitUntil(self.clients.claim()));

// The page is the same whatever its address's query, which its script reads: a navigation fetches
// the page alone, so that an address of megabytes does not go through here whole.
self.addEventListener("fetch", (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== "GET" || url.origin !== location.origin) return;
  const navigation = request.mode === "navigate";
  const asked = navigation ? url.origin + url.pathname : request;
  event.respondWith(fetch(asked).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(CACHE).then((cache) => cache.put(asked, copy));
    }
    return response;
  }).catch(() => caches.match(asked, { ignoreSearch: true })
    .then((cached) => cached ?? (navigation ? caches.match("index.html") : undefined))
    .then((found) => found ?? Response.error())));
});
