// Kestrix in a Web Worker. The page posts command lines, exactly as a
// manager writes them to pbrain-kestrix, and gets the answer lines back one
// by one as the engine writes them, MESSAGE lines of a search included while
// it runs. It also asks for the rules' verdicts on moves, which come from
// the same WebAssembly module.
"use strict";

let ready = false;
const waiting = [];

var Module = {
  onLine(text) {
    postMessage({ type: "line", text: text.replace(/\r?\n$/, "") });
  },
  onRuntimeInitialized() {
    ready = true;
    postMessage({ type: "ready" });
    while (waiting.length > 0) handle(waiting.shift());
  },
};

importScripts("kestrix.js");

onmessage = (event) => {
  if (ready) handle(event.data);
  else waiting.push(event.data);
};

// A block of the module's memory for the board and the answers, kept for
// the largest board.
const MAX_CELLS = 32 * 32;
let judgeBlock = 0;

function handle(message) {
  if (message.type === "line") {
    Module.ccall("kestrix_line", "number", ["string"], [message.text]);
  } else if (message.type === "judge") {
    postMessage({ type: "judge", id: message.id, ...judge(message) });
  }
}

// { cells, width, height, rule, colour } and a square [x, y] or all: true.
function judge({ cells, width, height, rule, colour, square, all }) {
  if (judgeBlock === 0) judgeBlock = Module._malloc(2 * MAX_CELLS + 16);
  const cellsAt = judgeBlock;
  const verdictsAt = judgeBlock + MAX_CELLS;
  const fiveAt = judgeBlock + 2 * MAX_CELLS;
  Module.HEAPU8.set(cells, cellsAt);
  if (all) {
    Module._kestrix_judge_all(width, height, rule, cellsAt, colour, verdictsAt);
    return { verdicts: Module.HEAPU8.slice(verdictsAt, verdictsAt + width * height) };
  }
  const verdict = Module._kestrix_judge(width, height, rule, cellsAt, square[0], square[1],
                                        colour, fiveAt);
  return { verdict, five: Array.from(Module.HEAP32.subarray(fiveAt >> 2, (fiveAt >> 2) + 4)) };
}
