// The Kestrix page: a manager for the engine, which runs in a worker
// (worker.js) and speaks the manager protocol. The page keeps the game's
// moves and draws the board; whether a move wins or is forbidden is always
// asked of the engine's own rules, never judged here.
"use strict";

const BLACK = 1;
const WHITE = 2;
const LETTERS = "abcdefghijklmnopqrstuvwxyz";
// The rules' verdicts, as the module numbers them.
const FIVE = 1;
const TAKEN = 5;
const FORBIDDEN_REASON = { 2: "overline", 3: "double four", 4: "double three" };
const RULE_NAMES = { 0: "free-style", 1: "exactly five", 4: "Renju" };
// The table the engine keeps in the page: 48 MiB under this limit.
const MAX_MEMORY = 64 * 1024 * 1024;

const $ = (id) => document.getElementById(id);

// ---- The engine -------------------------------------------------------

const worker = new Worker("worker.js");
// Requests waiting for their answer line, in the order they were sent.
const pending = [];
let nextJudge = 0;
const judgements = new Map();

worker.onmessage = ({ data }) => {
  if (data.type === "line") {
    if (data.text.startsWith("MESSAGE ")) showThinking(data.text);
    else if (pending.length > 0) pending.shift()(data.text);
  } else if (data.type === "judge") {
    judgements.get(data.id)(data);
    judgements.delete(data.id);
  } else if (data.type === "ready") {
    setStatus("Kestrix is ready.");
  }
};

// A command without an answer (INFO).
function tell(line) {
  worker.postMessage({ type: "line", text: line });
}

// A command and its answer line.
function ask(line) {
  return new Promise((resolve) => {
    pending.push(resolve);
    tell(line);
  });
}

function judge(request) {
  const id = nextJudge++;
  return new Promise((resolve) => {
    judgements.set(id, resolve);
    worker.postMessage({ type: "judge", id, rule: game.rule, width: game.width,
                         height: game.height, cells: game.cells, ...request });
  });
}

// ---- The game ---------------------------------------------------------

let game = null;
// Counts games, so that an answer to a game left behind is dropped.
let gameNumber = 0;
let thinking = false;
let cursor = { x: 0, y: 0 };

function colourToMove() {
  return game.moves.length % 2 === 0 ? BLACK : WHITE;
}

function colourName(colour) {
  return colour === BLACK ? "black" : "white";
}

function kestrixPlays(colour) {
  return game.black === "both" || (game.black === "kestrix") === (colour === BLACK);
}

function squareName(x, y) {
  const column = game.width <= LETTERS.length ? LETTERS[x] : `${x + 1}-`;
  return `${column}${y + 1}`;
}

function readSettings() {
  let [width, height] = $("size").value.split("x").map(Number);
  if ($("size").value === "other") {
    const side = (input) => Math.min(32, Math.max(5, Math.round(Number(input.value)) || 15));
    width = side($("width"));
    height = side($("height"));
    $("width").value = width;
    $("height").value = height;
  }
  return { rule: Number($("rule").value), width, height, black: $("black").value };
}

async function newGame(moves = []) {
  const number = ++gameNumber;
  thinking = false;
  setStatus("A new game…");
  game = { ...readSettings(), moves: [], over: null, forbidden: new Map() };
  game.cells = new Uint8Array(game.width * game.height);
  cursor = { x: game.width >> 1, y: game.height >> 1 };
  // The engine's board holds the first `known` moves, with its own stones
  // those of `engineColour`; it is told only what it lacks.
  game.known = 0;
  game.engineColour = 0;
  buildBoard();
  clearThinking();
  tell(`INFO max_memory ${MAX_MEMORY}`);
  tell(`INFO rule ${game.rule}`);
  tell("INFO timeout_match 0");
  tell(`INFO timeout_turn ${$("time").value}`);
  tell("INFO show_detail 1");
  const answer = await ask(game.width === game.height ? `START ${game.width}`
                                                      : `RECTSTART ${game.width},${game.height}`);
  if (number !== gameNumber) return;
  if (answer !== "OK") {
    setStatus(`Kestrix refused the board: ${answer}`);
    return;
  }
  for (const [x, y] of moves) {
    if (game.over) break;
    const verdict = await judgeMove(x, y);
    if (number !== gameNumber) return;
    if (verdict.refusal) {
      game.note = `The game text stops at ${x},${y}: ${verdict.refusal}.`;
      break;
    }
    place(x, y, verdict);
  }
  await nextTurn();
}

// The verdict on the side to move playing (x, y): { five } when it wins,
// { refusal } when it may not be played there.
async function judgeMove(x, y) {
  if (x < 0 || y < 0 || x >= game.width || y >= game.height) return { refusal: "off the board" };
  const colour = colourToMove();
  const { verdict, five } = await judge({ colour, square: [x, y] });
  if (verdict === TAKEN) return { refusal: `${squareName(x, y)} is taken` };
  if (FORBIDDEN_REASON[verdict]) {
    return { refusal: `${squareName(x, y)} is forbidden for black: ${FORBIDDEN_REASON[verdict]}` };
  }
  return verdict === FIVE ? { five } : {};
}

function place(x, y, verdict) {
  const colour = colourToMove();
  game.moves.push([x, y]);
  game.cells[y * game.width + x] = colour;
  if (verdict.five) {
    game.over = { winner: colour, five: verdict.five };
  } else if (game.moves.length === game.cells.length) {
    game.over = { winner: 0 };
  }
}

// Whoever is to move: Kestrix is asked for its move, a person is shown the
// squares forbidden to them.
async function nextTurn() {
  const number = gameNumber;
  game.forbidden = new Map();
  if (!game.over && game.rule === 4 && colourToMove() === BLACK) {
    const { verdicts } = await judge({ colour: BLACK, all: true });
    if (number !== gameNumber) return;
    verdicts.forEach((verdict, square) => {
      if (FORBIDDEN_REASON[verdict]) game.forbidden.set(square, FORBIDDEN_REASON[verdict]);
    });
  }
  render();
  if (game.over) return showResult();
  const colour = colourToMove();
  if (!kestrixPlays(colour)) {
    setStatus(`${game.note ?? ""} Your move (${colourName(colour)}).${game.forbidden.size > 0
      ? " The squares marked × are forbidden to black." : ""}`.trim());
    game.note = undefined;
    return;
  }
  thinking = true;
  render();
  setStatus(`Kestrix (${colourName(colour)}) is thinking…`);
  $("thinking-title").textContent = `Kestrix (${colourName(colour)}) thinking`;
  const request = moveRequest(colour);
  request.slice(0, -1).forEach(tell);
  const answer = await ask(request[request.length - 1]);
  if (number !== gameNumber) return;
  thinking = false;
  const move = /^(\d+),(\d+)$/.exec(answer);
  if (!move) {
    setStatus(`Kestrix answered: ${answer}`);
    render();
    return;
  }
  const [x, y] = [Number(move[1]), Number(move[2])];
  game.known = game.moves.length + 1;
  game.engineColour = colour;
  $("thinking-title").textContent = `Kestrix (${colourName(colour)}) played ${squareName(x, y)}`;
  const verdict = await judgeMove(x, y);
  if (number !== gameNumber) return;
  place(x, y, verdict);
  // Kestrix keeps off forbidden squares unless every other move loses too;
  // a forbidden stone loses the game for black.
  if (verdict.refusal) game.over = { winner: WHITE, forfeit: verdict.refusal };
  await nextTurn();
}

// The lines that ask for Kestrix's move: TURN when the engine's board lacks
// only the last move, BEGIN on an empty board, else the whole position.
function moveRequest(colour) {
  const count = game.moves.length;
  const sameSide = game.engineColour === colour || game.known === 0;
  if (sameSide && game.known === 0 && count === 0) return ["BEGIN"];
  if (sameSide && game.known === count - 1) return [`TURN ${game.moves[count - 1].join(",")}`];
  const stones = game.moves.map(([x, y], i) =>
    `${x},${y},${(i % 2 === 0) === (colour === BLACK) ? 1 : 2}`);
  return ["BOARD", ...stones, "DONE"];
}

async function playAt(x, y) {
  if (!game || game.over || thinking || kestrixPlays(colourToMove())) return;
  const number = gameNumber;
  const count = game.moves.length;
  const verdict = await judgeMove(x, y);
  // A second click before the first was judged is not played as well.
  if (number !== gameNumber || thinking || game.moves.length !== count) return;
  if (verdict.refusal) {
    setStatus(`${verdict.refusal}.`);
    return;
  }
  place(x, y, verdict);
  await nextTurn();
}

async function takeBack() {
  if (!game || thinking || game.moves.length === 0) return;
  const number = gameNumber;
  // Back to the last position where a person was to move.
  do {
    const [x, y] = game.moves.pop();
    game.cells[y * game.width + x] = 0;
    if (game.moves.length < game.known) {
      game.known = game.moves.length;
      await ask(`TAKEBACK ${x},${y}`);
      if (number !== gameNumber) return;
    }
  } while (game.moves.length > 0 && kestrixPlays(colourToMove()) && game.black !== "both");
  game.over = null;
  clearThinking();
  await nextTurn();
}

// ---- Showing it -------------------------------------------------------

function setStatus(text) {
  $("status").textContent = text;
}

function showResult() {
  const { winner, forfeit } = game.over;
  if (!winner) return setStatus("The board is full: a draw.");
  const name = colourName(winner);
  const who = game.black === "both" ? `${name[0].toUpperCase()}${name.slice(1)} wins`
    : kestrixPlays(winner) ? "Kestrix wins" : "You win";
  setStatus(`${who} (${colourName(winner)}, ${RULE_NAMES[game.rule]})${
    forfeit ? `: ${forfeit}` : ""}.`);
}

function clearThinking() {
  for (const id of ["depth", "score", "nodes", "time-used", "pv"]) $(id).textContent = "–";
  $("thinking-title").textContent = "Kestrix";
}

// "MESSAGE depth D score S nodes N time T pv X,Y ...", one per iteration.
function showThinking(line) {
  const found = /^MESSAGE depth (\d+) score (\S+) nodes (\d+) time (\d+) pv((?: \d+,\d+)*)$/
    .exec(line);
  if (!found || !thinking) return;
  const [, depth, score, nodes, time, pv] = found;
  $("depth").textContent = depth;
  $("score").textContent = /^\d/.test(score) ? `+${score}` : score;
  $("nodes").textContent = Number(nodes).toLocaleString("en");
  $("time-used").textContent = `${(Number(time) / 1000).toFixed(2)} s`;
  $("pv").textContent = pv.trim().split(" ").filter(Boolean)
    .map((pair) => squareName(...pair.split(",").map(Number))).join(" ");
}

function buildBoard() {
  const { width, height } = game;
  const board = $("board");
  board.style.setProperty("--columns", width + 2);
  board.style.setProperty("--rows", height + 2);
  $("board-area").style.setProperty("--aspect", (width + 2) / (height + 2));
  board.querySelectorAll(".label").forEach((label) => label.remove());
  const cells = $("cells");
  cells.replaceChildren();
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const cell = document.createElement("div");
      cell.className = "cell";
      cell.id = `cell-${x}-${y}`;
      cell.dataset.x = x;
      cell.dataset.y = y;
      cell.setAttribute("role", "gridcell");
      cells.append(cell);
    }
  }
  const svg = document.createElementNS("http://www.w3.org/2000/svg", "svg");
  svg.id = "five";
  svg.setAttribute("viewBox", `0 0 ${width} ${height}`);
  svg.setAttribute("aria-hidden", "true");
  cells.append(svg);
  // Letters above and below, row numbers at both sides, as the terminal
  // referee shows them: a1 is the top left square, 0,0.
  const label = (text, column, row) => {
    const element = document.createElement("span");
    element.className = "label";
    element.textContent = text;
    element.style.gridColumn = column;
    element.style.gridRow = row;
    board.append(element);
  };
  for (let x = 0; x < width; ++x) {
    const text = width <= LETTERS.length ? LETTERS[x] : String(x + 1);
    label(text, x + 2, 1);
    label(text, x + 2, height + 2);
  }
  for (let y = 0; y < height; ++y) {
    label(String(y + 1), 1, y + 2);
    label(String(y + 1), width + 2, y + 2);
  }
  render();
}

function render() {
  const { width, moves, over } = game;
  const last = moves.length > 0 ? moves[moves.length - 1] : null;
  const fiveSquares = new Set();
  if (over && over.five) {
    const [x0, y0, x1, y1] = over.five;
    const steps = Math.max(Math.abs(x1 - x0), Math.abs(y1 - y0));
    for (let i = 0; i <= steps; ++i) {
      fiveSquares.add((y0 + Math.sign(y1 - y0) * i) * width + x0 + Math.sign(x1 - x0) * i);
    }
  }
  for (const cell of $("cells").querySelectorAll(".cell")) {
    const x = Number(cell.dataset.x);
    const y = Number(cell.dataset.y);
    const square = y * width + x;
    const stone = game.cells[square];
    const forbidden = !stone && !over ? game.forbidden.get(square) : undefined;
    cell.className = "cell";
    if (x === 0) cell.classList.add("left");
    if (x === width - 1) cell.classList.add("right");
    if (y === 0) cell.classList.add("top");
    if (y === game.height - 1) cell.classList.add("bottom");
    if (stone) cell.classList.add(stone === BLACK ? "black" : "white");
    if (last && last[0] === x && last[1] === y) cell.classList.add("last");
    if (fiveSquares.has(square)) cell.classList.add("win");
    if (forbidden) cell.classList.add("forbidden");
    if (cursor.x === x && cursor.y === y) cell.classList.add("cursor");
    const what = stone ? colourName(stone) : forbidden ? `forbidden for black: ${forbidden}` : "empty";
    cell.setAttribute("aria-label", `${squareName(x, y)} (${x},${y}): ${what}`);
    cell.title = forbidden ? `Forbidden for black: ${forbidden}` : "";
  }
  $("cells").setAttribute("aria-activedescendant", `cell-${cursor.x}-${cursor.y}`);
  const svg = $("five");
  svg.replaceChildren();
  if (over && over.five) {
    const [x0, y0, x1, y1] = over.five;
    const line = document.createElementNS("http://www.w3.org/2000/svg", "line");
    line.setAttribute("x1", x0 + 0.5);
    line.setAttribute("y1", y0 + 0.5);
    line.setAttribute("x2", x1 + 0.5);
    line.setAttribute("y2", y1 + 0.5);
    svg.append(line);
  }
  $("take-back").disabled = thinking || moves.length === 0;
  // The box follows the game, but not while someone types or pastes in it.
  if (document.activeElement !== $("game-text")) $("game-text").value = gameText();
}

// ---- The game as text ---------------------------------------------------

function gameText() {
  return game.moves.map(([x, y]) => `${x},${y}`).join(" ");
}

async function copyGame() {
  const text = gameText();
  $("game-text").value = text;
  try {
    await navigator.clipboard.writeText(text);
    setStatus(`Copied ${game.moves.length} moves.`);
  } catch {
    $("game-text").select();
    setStatus("The game is in the text box: copy it from there.");
  }
}

function loadGame() {
  const moves = [...$("game-text").value.matchAll(/(\d+)\s*,\s*(\d+)/g)]
    .map((pair) => [Number(pair[1]), Number(pair[2])]);
  newGame(moves);
}

// ---- Input ------------------------------------------------------------

$("cells").addEventListener("click", (event) => {
  const cell = event.target.closest(".cell");
  if (!cell) return;
  cursor = { x: Number(cell.dataset.x), y: Number(cell.dataset.y) };
  render();
  playAt(cursor.x, cursor.y);
});

$("cells").addEventListener("keydown", (event) => {
  const step = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
  if (step[event.key]) {
    const [dx, dy] = step[event.key];
    cursor = { x: Math.min(game.width - 1, Math.max(0, cursor.x + dx)),
               y: Math.min(game.height - 1, Math.max(0, cursor.y + dy)) };
    render();
  } else if (event.key === "Enter" || event.key === " ") {
    playAt(cursor.x, cursor.y);
  } else {
    return;
  }
  event.preventDefault();
});

$("size").addEventListener("change", () => {
  $("other-size").hidden = $("size").value !== "other";
});
$("time").addEventListener("change", () => tell(`INFO timeout_turn ${$("time").value}`));
$("new-game").addEventListener("click", () => newGame());
$("take-back").addEventListener("click", takeBack);
$("copy-game").addEventListener("click", copyGame);
$("load-game").addEventListener("click", loadGame);

if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js").catch(() => {});
newGame();
