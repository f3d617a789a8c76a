// Reads a GNU gettext .mo catalogue into a Map of msgid -> msgstr.
import { readFileSync } from 'node:fs';

export function readMo(path) {
  const buf = readFileSync(path);
  let le = buf.readUInt32LE(0) === 0x950412de;
  if (!le && buf.readUInt32BE(0) !== 0x950412de) throw new Error(`${path}: not a .mo file`);
  const u32 = (off) => (le ? buf.readUInt32LE(off) : buf.readUInt32BE(off));
  const count = u32(8), origTab = u32(12), transTab = u32(16);
  const map = new Map();
  for (let i = 0; i < count; i++) {
    const olen = u32(origTab + 8 * i), ooff = u32(origTab + 8 * i + 4);
    const tlen = u32(transTab + 8 * i), toff = u32(transTab + 8 * i + 4);
    map.set(buf.toString('utf8', ooff, ooff + olen), buf.toString('utf8', toff, toff + tlen));
  }
  return map;
}
