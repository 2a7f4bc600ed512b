// Prints, one line each, the captions that mux.js's caption parser reads from the H.264 SEI
// messages of a transport stream: the stream (CC1, cc708_1, ...), the start time in seconds
// from the first picture, and the text on one line.
// Usage: node muxjs_captions.js MUXJS_FOLDER FILE.ts
'use strict';
const fs = require('fs');
const path = require('path');
const muxjs = require(path.join(process.argv[2], 'node_modules', 'mux.js'));

const packets = new muxjs.mp2t.TransportPacketStream();
const parse = new muxjs.mp2t.TransportParseStream();
const elementary = new muxjs.mp2t.ElementaryStream();
const rollover = new muxjs.mp2t.TimestampRolloverStream();
const h264 = new muxjs.codecs.h264.H264Stream();
const captions = new muxjs.mp2t.CaptionStream();
packets.pipe(parse).pipe(elementary).pipe(rollover).pipe(h264).pipe(captions);

let firstPts = null;
h264.on('data', (nal) => {
  if (firstPts === null || nal.pts < firstPts) firstPts = nal.pts;
});
const found = [];
captions.on('data', (c) => found.push(c));
packets.push(new Uint8Array(fs.readFileSync(process.argv[3])));
packets.flush();
// mux.js runs a 708 packet when the next one begins; the stream's last one is run at its end.
const dtvcc = captions.cc708Stream_;
if (dtvcc && dtvcc.current708Packet) dtvcc.push708Packet();
for (const c of found) {
  // 608 captions come as rows of content, 708 ones as text.
  const rows = c.content ? c.content.map((r) => r.text) : c.text.split('\n');
  const text = rows.map((s) => s.trim()).filter((s) => s !== '').join(' ');
  console.log(`${c.stream}\t${((c.startPts - firstPts) / 90000).toFixed(4)}\t${text}`);
}
