// Checks the files named with independent readers: imsc (a renderer of IMSC documents) for
// TTML, webvtt-parser for WebVTT. Prints one line per error or warning and exits 1 when there
// is any. The packages are found through NODE_PATH.
"use strict";
const fs = require("fs");

let problems = 0;
const say = (file, kind) => (message) => {
  ++problems;
  console.log(`${file}: ${kind}: ${message}`);
};

for (const file of process.argv.slice(2)) {
  const text = fs.readFileSync(file, "utf8");
  if (file.endsWith(".vtt")) {
    const { WebVTTParser } = require("webvtt-parser");
    const tree = new WebVTTParser().parse(text, "subtitles");
    for (const e of tree.errors) say(file, "error")(`line ${e.line}: ${e.message}`);
    if (tree.cues.length === 0) say(file, "error")("no cue");
    continue;
  }
  // Its reading and its rendering model; its HTML part needs a browser.
  const { fromXML } = require("imsc/src/main/js/doc");
  const { generateISD } = require("imsc/src/main/js/isd");
  const handler = {
    info() {},
    warn: say(file, "warning"),
    error: say(file, "error"),
    fatal: say(file, "fatal"),
  };
  try {
    const doc = fromXML(text, handler);
    // Every moment a caption appears or goes, rendered as a player would take it.
    const times = doc.getMediaTimeEvents();
    if (times.length < 2) say(file, "error")("no timed content");
    for (const t of times) generateISD(doc, t, handler);
  } catch (e) {
    say(file, "fatal")(String(e));
  }
}
process.exit(problems ? 1 : 0);
