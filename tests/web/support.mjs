// The page as a person gets it: served from build/wasm/web on a free
// localhost port, opened in Debian's chromium (nothing here downloads one).
import fs from "node:fs";
import http from "node:http";
import path from "node:path";

const PAGE = process.env.KESTRIX_WEB_DIR ?? new URL("../../build/wasm/web", import.meta.url).pathname;
const CHROMIUM = ["/usr/lib/chromium/chromium", "/usr/bin/chromium"].find((f) => fs.existsSync(f));
// Why the tests cannot run here, or null.
export const MISSING = !CHROMIUM ? "no chromium (apt-get install chromium)"
  : !fs.existsSync(path.join(PAGE, "kestrix.wasm")) ? `no page built in ${PAGE}` : null;
const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                ".wasm": "application/wasm" };

export async function serve() {
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, "http://localhost").pathname.replace(/\/$/, "/index.html");
    fs.readFile(path.join(PAGE, path.normalize(name)), (error, data) => {
      response.writeHead(error ? 404 : 200, { "Content-Type": TYPES[path.extname(name)] ?? "" });
      response.end(error ? "" : data);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// A fresh profile; the closed network refuses chromium's own connections.
export async function launch() {
  const { chromium } = await import("playwright-core");
  const profile = fs.mkdtempSync("/tmp/kestrix-chromium-");
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM, viewport: { width: 1100, height: 760 },
    permissions: ["clipboard-read", "clipboard-write"],
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  return { context, close: async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  } };
}

// The page, once its first game is the person's to play.
export async function open(context, url, viewport) {
  const page = await context.newPage();
  if (viewport) await page.setViewportSize(viewport);
  page.errors = [];
  page.on("pageerror", (error) => page.errors.push(error.message));
  await page.goto(url);
  await waitForStatus(page, /Your move/);
  return page;
}

export async function waitForStatus(page, pattern) {
  await page.waitForFunction((source) => new RegExp(source).test(
    document.getElementById("status").textContent), pattern.source, { timeout: 30000 });
  return page.textContent("#status");
}

// Waits for the person's turn with `count` stones on the board. The status
// alone cannot tell: it reads "Your move" until a click has been judged.
export async function waitForTurn(page, count) {
  await page.waitForFunction((n) => /Your move/.test(document.getElementById("status").textContent)
    && document.querySelectorAll(".cell.black, .cell.white").length === n,
  count, { timeout: 30000 });
}

// The stones on the board as "x,y:b" or "x,y:w", in board order.
export const stones = (page) => page.$$eval(".cell.black, .cell.white", (cells) =>
  cells.map((c) => `${c.dataset.x},${c.dataset.y}:${c.classList.contains("black") ? "b" : "w"}`));

export async function newGame(page, { rule = "0", size = "15x15", width = 15, height = 15,
                                      time = "200", black = "you" } = {}) {
  await page.selectOption("#rule", rule);
  await page.selectOption("#size", size);
  if (size === "other") {
    await page.fill("#width", String(width));
    await page.fill("#height", String(height));
  }
  await page.selectOption("#time", time);
  await page.selectOption("#black", black);
  await page.click("#new-game");
  await waitForStatus(page, /Your move|thinking/);
}
