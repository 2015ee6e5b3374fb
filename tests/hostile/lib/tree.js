'use strict';
// The folder tree with hostile names: every name is a Buffer, so that bytes
// that are not UTF-8 reach the file system unchanged.
const fs = require('fs');
const path = require('path');

// Joins strings (taken as UTF-8) and Buffers (taken as raw bytes).
function b(...parts) {
  return Buffer.concat(parts.map((p) => (Buffer.isBuffer(p) ? p : Buffer.from(p, 'utf8'))));
}
const raw = (...bytes) => Buffer.from(bytes);

// Names that must each give a working link and an inert link text.
const HOSTILE_FILES = [
  b('plain.txt'),
  b('with space.txt'),
  b('a b&c (1).txt'),
  // With '&' written raw, the link of the first would lead to the second.
  b('x&amp;y.txt'),
  b('x&y.txt'),
  b('percent%20encoded.txt'),
  b('percent encoded.txt'),
  b('pct%41%zz%.txt'),
  b('%2e%2e%2fescape.txt'),
  b('quote"d.txt'),
  b("apos'trophe.txt"),
  b('hash#frag.txt'),
  b('ask?q=1&r=2.txt'),
  b('back\\slash.txt'),
  b('new\nline.txt'),
  b('tab\there.txt'),
  b('ctrl', raw(0x01, 0x1f), '.txt'),
  b('del', raw(0x7f), '.txt'),
  b('semi;colon [x] *star*.txt'),
  b(' leading space.txt'),
  b('trailing space .txt'),
  b('-dash.txt'),
  b('javascript:alert(1)'),
  b('<img src=x onerror=alert(1)>.txt'),
  b('x" onmouseover="alert(2)" y=".txt'),
  b("x' onfocus='alert(3)' autofocus='.txt"),
  b('<svg onload=alert(4)>.txt'),
  // Code for a script that would build text or markup from a name.
  b("');alert(5);('.txt"),
  b('"+alert(6)+".txt'),
  b('${alert(10)}`.txt'),
  // The page's folder-anchor marker, as a name.
  b('INSERT_FOLDER_ANCHORS.txt'),
  b('bad', raw(0xff, 0xfe), '.txt'),
  b('cont', raw(0x80), '.txt'),
  b('trunc', raw(0xe4, 0xb8), '.txt'),
  b('over', raw(0xc0, 0xaf), '.txt'),
  b('中文 名字（全角）.txt'),
  b('L'.repeat(251), '.txt'), // 255 bytes
  b('长'.repeat(82), 'abcde.txt'), // 255 bytes
];

// A smaller set for the folders below the top.
const SUB_FILES = [
  b('plain.txt'),
  b('a b&c (1).txt'),
  b('hash#frag.txt'),
  b('<img src=x onerror=alert(5)>.txt'),
  b('bad', raw(0xff), '.txt'),
  b('中文.txt'),
];

// The readme the pages show above their files (readme_names): markup,
// references, tokens, control bytes and bytes that are not UTF-8, which must
// all come out as text.
const README = b('README.txt');
const README_TEXT = b('<script>alert(11)</script>\r\n<img src=x onerror=alert(12)> &amp; &lt;b&gt;\n',
  raw(0xff, 0xfe), ' ', raw(0xe4, 0xb8), ' ', raw(0x00, 0x1b), ' 中文 %%FILEREADME.txt% %%DIR\rINSERT_FOLDER_ANCHORS\n');
// Folders that hold it, besides the top.
const README_FOLDERS = [b('<svg onload=alert(6)>')];

const TITLED = b('titled.html');
const HOSTILE_TITLED = b('hostile title.htm');

// Folders, each a list of path components; a folder's parents come first.
const HOSTILE_FOLDERS = [
  [b('sub dir &(x)')],
  [b('q"<d>#?%\\ dir')],
  [b('tab\tnew\nline dir')],
  [b('bad', raw(0xff), ' dir')],
  [b('中文目录')],
  [b('中文目录'), b('子目录 #1')],
  [b('D'.repeat(255))],
  [b('D'.repeat(255)), b('长'.repeat(85))],
  // With the file below, the path of the file reads "<script>alert(1)</script>.txt".
  [b('<script>alert(1)<')],
  [b('<svg onload=alert(6)>')],
  [b('<svg onload=alert(6)>'), b('deeper & more?')],
  [b('javascript:alert(7)')],
  [b('x" onmouseover="alert(8)')],
  [b('INSERT_FOLDER_ANCHORS')],
];

// Makes the tree under `root` (which must not exist) and returns what the
// pages must show: `files` maps each relative path (as a latin1 key of its
// bytes) to its content, `folders` lists the relative folders ('' the top).
function makeTree(root) {
  const files = new Map();
  const folders = [b('')];
  let serial = 0;
  const rootBuf = b(root, '/');
  const addFile = (rel, content) => {
    const data = content || b(`vellora hostile fixture ${++serial}\n`, rel, '\n');
    fs.writeFileSync(b(rootBuf, rel), data);
    files.set(rel.toString('latin1'), data);
  };
  fs.mkdirSync(root, { recursive: true });
  for (const name of HOSTILE_FILES) addFile(name);
  addFile(TITLED, b('<html><head><TITLE>Quarterly &amp; annual 报告 (draft)</title></head><body>q</body></html>\n'));
  addFile(HOSTILE_TITLED, b('<html><head><title><img src=x onerror=alert(9)></title></head></html>\n'));
  for (const parts of HOSTILE_FOLDERS) {
    const rel = Buffer.concat(parts.flatMap((p, i) => (i ? [b('/'), p] : [p])));
    fs.mkdirSync(b(rootBuf, rel));
    folders.push(rel);
    for (const name of SUB_FILES) addFile(b(rel, '/', name));
    if (README_FOLDERS.some((f) => f.equals(rel))) addFile(b(rel, '/', README), README_TEXT);
  }
  addFile(README, README_TEXT);
  addFile(b('<script>alert(1)</script>.txt'));
  // Hidden entries are never listed nor entered.
  fs.mkdirSync(b(rootBuf, '.hidden'));
  fs.writeFileSync(b(rootBuf, '.hidden/secret.txt'), 'hidden\n');
  fs.writeFileSync(b(rootBuf, '.dotfile'), 'hidden\n');
  return { files, folders };
}

// Relative path helpers on Buffers.
function parentOf(rel) {
  const i = rel.lastIndexOf(0x2f);
  return i < 0 ? b('') : rel.subarray(0, i);
}
function baseOf(rel) {
  return rel.subarray(rel.lastIndexOf(0x2f) + 1);
}
function joinRel(dir, name) {
  return dir.length ? b(dir, '/', name) : b(name);
}

// Titles a page may show instead of a file name (a word of each).
const TITLE_WORDS = new Map([
  [TITLED.toString('latin1'), 'Quarterly'],
  [HOSTILE_TITLED.toString('latin1'), null], // the title must stay inert; any text
]);

module.exports = { b, makeTree, parentOf, baseOf, joinRel, TITLE_WORDS, README, path };
