'use strict';
// Exits 0 when every package that package-lock.json pins is installed in
// node_modules at its pinned version, 1 otherwise (then run `npm ci`).
const path = require('path');
const here = path.resolve(__dirname, '..');
const lock = require(path.join(here, 'package-lock.json'));
for (const [where, pin] of Object.entries(lock.packages)) {
  if (!where) continue;
  let version = null;
  try {
    version = require(path.join(here, where, 'package.json')).version;
  } catch (e) {
    // missing
  }
  if (version !== pin.version) process.exit(1);
}
