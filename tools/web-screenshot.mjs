// The README's picture of the page: a Renju game in progress, black to move
// with the squares forbidden to black marked, after Kestrix's search.
// Usage, once the page is built and npm ci has run in tests/web:
//   node tools/web-screenshot.mjs docs/web.png
import { launch, open, serve, waitForTurn } from "../tests/web/support.mjs";

const server = await serve();
const browser = await launch();
try {
  const page = await open(browser.context, server.url, { width: 1040, height: 700 });
  await page.selectOption("#rule", "4");
  // Kestrix answers the last black move; j8 is then a double three.
  await page.fill("#game-text", "7,7 8,8 8,7 6,6 9,8 10,10 9,9");
  await page.click("#load-game");
  await waitForTurn(page, 8);
  await page.focus("#cells");
  await page.screenshot({ path: process.argv[2] ?? "web.png" });
} finally {
  await browser.close();
  server.close();
}
