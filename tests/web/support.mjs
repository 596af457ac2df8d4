// The page as a person gets it: served from build/wasm/web on a free
// localhost port, opened in Debian's chromium, which nothing here downloads.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
export const PAGE_DIR = process.env.KESTRIX_WEB_DIR ?? path.join(here, "../../build/wasm/web");
const CHROMIUM = ["/usr/lib/chromium/chromium", "/usr/bin/chromium"].find((f) => fs.existsSync(f));
// Why the tests cannot run here, or null.
export const MISSING = !CHROMIUM ? "no chromium (apt-get install chromium)"
  : !fs.existsSync(path.join(PAGE_DIR, "kestrix.wasm")) ? `no page built in ${PAGE_DIR}` : null;

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css",
                ".wasm": "application/wasm" };

export async function serve() {
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, "http://localhost").pathname.replace(/\/$/, "/index.html");
    fs.readFile(path.join(PAGE_DIR, path.normalize(name)), (error, data) => {
      response.writeHead(error ? 404 : 200, { "Content-Type": TYPES[path.extname(name)] ?? "" });
      response.end(error ? "" : data);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

export async function launch() {
  const { chromium } = await import("playwright-core");
  const profile = fs.mkdtempSync(path.join(fs.realpathSync("/tmp"), "kestrix-chromium-"));
  // The closed network refuses chromium's own background connections.
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM, headless: true, viewport: { width: 1100, height: 760 },
    permissions: ["clipboard-read", "clipboard-write"],
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  return { context, close: async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  } };
}

// Opens the page and waits for the first game to be the person's to play.
export async function open(context, url, viewport) {
  const page = await context.newPage();
  if (viewport) await page.setViewportSize(viewport);
  page.errors = [];
  page.on("pageerror", (error) => page.errors.push(error.message));
  await page.goto(url);
  await waitForStatus(page, /Your move/);
  return page;
}

export async function waitForStatus(page, pattern, timeout = 30000) {
  await page.waitForFunction((source) => new RegExp(source).test(
    document.getElementById("status").textContent), pattern.source, { timeout });
  return page.textContent("#status");
}

// The stones on the board as "x,y:colour", in board order.
export function stones(page) {
  return page.$$eval(".cell.black, .cell.white", (cells) =>
    cells.map((c) => `${c.dataset.x},${c.dataset.y}:${c.classList.contains("black") ? "b" : "w"}`));
}

// Settings, then a new game.
export async function newGame(page, { rule = "0", size = "15x15", time = "200", black = "you",
                                      width, height } = {}) {
  await page.selectOption("#rule", rule);
  await page.selectOption("#size", size);
  if (width) await page.fill("#width", String(width));
  if (height) await page.fill("#height", String(height));
  await page.selectOption("#time", time);
  await page.selectOption("#black", black);
  await page.click("#new-game");
}
