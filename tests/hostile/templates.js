#!/usr/bin/env node
'use strict';
// The shipped templates as a browser and an accessibility checker see them.
// Builds the demo tree with every shipped template in HTML and XHTML and in
// every recursion mode (with the demo's own configurations), serves the
// pages over HTTP without a charset, opens them in headless Chromium and
// fails on:
//  - any serious or critical axe-core violation, in the light and the dark
//    colour scheme;
//  - an XHTML page (the frameset included) that is not well-formed XML;
//  - folder tiles, jump tiles or file links out of their sorted order in
//    any layout: column-wise and row-wise arrangement, 1 to 5 columns, a
//    wide and a phone-sized window;
//  - a wide or phone-sized window that has to scroll sideways or hides the
//    size, date or time of a file;
//  - printed text that is not dark on white, whatever the colour scheme;
//  - a page with a folder table whose first Tab does not show a skip link
//    to the file table.
// The help page beside the program is checked the same way: well-formed,
// axe-core in both colour schemes, no sideways scrolling, dark print.
// It saves screenshots of the demo pages (wide, phone, dark, print) in
// OUT/screens.
// Usage: node templates.js --vellora PATH [--out DIR] [--only REGEX]
const fs = require('fs');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');
const { startServer } = require('./lib/server');
const ENTITIES = require('./lib/xhtml_entities.json');

const ROOT = path.resolve(__dirname, '../..');
const AXE = require.resolve('axe-core/axe.min.js');
const CHROMIUM_FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
const WIDE = { width: 1280, height: 800 };
const PHONE = { width: 390, height: 844 };

function parseArgs(argv) {
  const o = { vellora: null, out: path.join(ROOT, 'build', 'templates'), only: null };
  for (let i = 2; i < argv.length; i++) {
    const a = argv[i];
    if (a === '--vellora') o.vellora = path.resolve(argv[++i]);
    else if (a === '--out') o.out = path.resolve(argv[++i]);
    else if (a === '--only') o.only = new RegExp(argv[++i]);
    else throw new Error(`unknown argument ${a}`);
  }
  if (!o.vellora) throw new Error('usage: templates.js --vellora PATH [--out DIR] [--only REGEX]');
  return o;
}

// ---- Configurations ----------------------------------------------------------

const MODES = {
  single: { recursive_build: 'FALSE' },
  onefile: { recursive_build: 'TRUE', multi_recurse_link: 'FALSE', sort_folders_first: 'FALSE',
    show_folder_names: 'TRUE', folder_anchors: 'FALSE' },
  headings: { recursive_build: 'TRUE', multi_recurse_link: 'FALSE', sort_folders_first: 'TRUE',
    show_folder_names: 'TRUE', folder_anchors: 'TRUE' },
  perfolder: { recursive_build: 'TRUE', multi_recurse_link: 'TRUE', build_framed_site: 'FALSE' },
};
const flag = (v) => (v ? 'TRUE' : 'FALSE');

// The keys of an INI file of the demo, in order.
function readIni(file) {
  const keys = {};
  for (const line of fs.readFileSync(file, 'utf8').split(/\r?\n/)) {
    const m = /^([A-Za-z_0-9]+)=(.*)$/.exec(line);
    if (m) keys[m[1]] = m[2];
  }
  return keys;
}

function iniText(keys) {
  return '[VELLORA]\n' + Object.entries(keys).map(([k, v]) => `${k}=${v}`).join('\n') + '\n';
}

// Every shipped template in every mode, HTML and XHTML, as the demo sets them.
function accessibilityBuilds() {
  const demo = readIni(path.join(ROOT, 'demo', 'demo.ini'));
  const framed = readIni(path.join(ROOT, 'demo', 'framed.ini'));
  const list = [];
  for (const xml of [false, true]) {
    const x = xml ? 'xhtml' : 'html';
    for (const mode of Object.keys(MODES)) {
      list.push({ name: `a11y fancy_table ${mode} ${x}`, tree: 'demo', xml, framed: false,
        keys: { ...demo, ...MODES[mode], xml_compliant: flag(xml) } });
    }
    list.push({ name: `a11y framed ${x}`, tree: 'demo', xml, framed: true,
      keys: { ...framed, xml_compliant: flag(xml) } });
  }
  return list;
}

// Tiles and file rows in every arrangement and column count.
function orderBuilds() {
  const demo = readIni(path.join(ROOT, 'demo', 'demo.ini'));
  const framed = readIni(path.join(ROOT, 'demo', 'framed.ini'));
  const list = [];
  for (const columns of [1, 2, 3, 5]) {
    for (const columnWise of [true, false]) {
      const common = { folder_columns: String(columns), file_columns: String(columns),
        column_wise_sort: flag(columnWise), use_html_titles_for_links: 'FALSE', skip_files: '' };
      const tag = `${columns} column(s) ${columnWise ? 'column-wise' : 'row-wise'}`;
      list.push({ name: `order single ${tag}`, tree: 'order', xml: false, framed: false, columns, columnWise,
        keys: { ...demo, ...MODES.single, ...common } });
      list.push({ name: `order headings ${tag}`, tree: 'order', xml: false, framed: false, columns, columnWise,
        keys: { ...demo, ...MODES.headings, ...common } });
      if (columns === 3) {
        list.push({ name: `order framed ${tag}`, tree: 'order', xml: true, framed: true, columns, columnWise,
          keys: { ...framed, ...common, xml_compliant: 'TRUE', skip_files: 'index.html;left.html;right.html' } });
      }
    }
  }
  return list;
}

// ---- Trees -------------------------------------------------------------------

const ORDER_FOLDERS = ['2017', '2018', '2019', '2020', '2021', '2022', '2023', '2024', 'archive', 'drafts', 'misc'];
const ORDER_FILES = ['a1.txt', 'a2.txt', 'a3.txt', 'a4.txt', 'a5.txt', 'a6.txt', 'a7.txt', 'b1.txt', 'b2.txt'];

function makeTrees(work) {
  const demo = path.join(work, 'source', 'demo');
  const order = path.join(work, 'source', 'order');
  fs.rmSync(path.join(work, 'source'), { recursive: true, force: true });
  fs.mkdirSync(path.dirname(demo), { recursive: true });
  execFileSync('cp', ['-R', path.join(ROOT, 'demo', 'tree'), demo]);
  // The demo's big file is made rather than stored; a sparse one will do.
  const big = path.join(demo, 'big download.bin');
  if (!fs.existsSync(big)) {
    fs.closeSync(fs.openSync(big, 'w'));
    fs.truncateSync(big, 3 * 1024 * 1024);
  }
  fs.mkdirSync(order, { recursive: true });
  for (const f of ORDER_FILES) fs.writeFileSync(path.join(order, f), `${f}\n`);
  for (const d of ORDER_FOLDERS) {
    fs.mkdirSync(path.join(order, d));
    fs.writeFileSync(path.join(order, d, 'notes.txt'), `${d}\n`);
  }
  return { demo, order };
}

function build(vellora, work, trees, cfg, failures) {
  cfg.dir = path.join(work, 'sites', cfg.name.replace(/[^A-Za-z0-9-]+/g, '_'));
  fs.rmSync(cfg.dir, { recursive: true, force: true });
  fs.mkdirSync(path.dirname(cfg.dir), { recursive: true });
  execFileSync('cp', ['-R', trees[cfg.tree], cfg.dir]);
  const ini = `${cfg.dir}.ini`;
  fs.writeFileSync(ini, iniText({ ...cfg.keys, path: cfg.dir }));
  const before = new Set(listFiles(cfg.dir));
  const r = spawnSync(vellora, [ini], { encoding: 'utf8', timeout: 60000 });
  if (r.status !== 0 || r.stdout || r.stderr) {
    failures.push(`${cfg.name}: build ended with status ${r.status}: ${(r.stdout + r.stderr).trim().slice(0, 300)}`);
  }
  cfg.pages = listFiles(cfg.dir).filter((f) => !before.has(f) && /\.html$/.test(f)).sort();
  if (!cfg.pages.length) failures.push(`${cfg.name}: no page written`);
}

function listFiles(dir, rel = '') {
  const out = [];
  for (const ent of fs.readdirSync(path.join(dir, rel), { withFileTypes: true })) {
    const r = rel ? `${rel}/${ent.name}` : ent.name;
    if (ent.isDirectory()) out.push(...listFiles(dir, r));
    else out.push(r);
  }
  return out;
}

// The XHTML DTD cannot be fetched here: its named entities become numeric.
function wellFormed(file) {
  const text = fs.readFileSync(file, 'latin1')
    .replace(/&([A-Za-z][A-Za-z0-9]*);/g, (m, n) => (Object.prototype.hasOwnProperty.call(ENTITIES, n) ? `&#${ENTITIES[n]};` : m));
  const r = spawnSync('xmllint', ['--noout', '--nonet', '-'], { input: Buffer.from(text, 'latin1') });
  return r.status === 0 ? null : r.stderr.toString().split('\n').filter(Boolean).slice(0, 2).join(' | ');
}

// ---- Checks in the browser -----------------------------------------------------

const urlOf = (rel) => rel.split('/').map(encodeURIComponent).join('/');

async function load(page, url) {
  const resp = await page.goto(url, { waitUntil: 'load', timeout: 15000 });
  if (!resp || resp.status() !== 200) throw new Error(`${url} answered ${resp && resp.status()}`);
}

// Serious and critical axe-core violations of the page and its frames.
async function axeViolations(page) {
  for (const frame of page.frames()) await frame.addScriptTag({ path: AXE });
  const result = await page.evaluate(async () => window.axe.run(document, { resultTypes: ['violations'] }));
  return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id} (${v.impact}): ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`);
}

// The keys of the cells of one kind, in the order a reader takes them:
// down the columns for a column-wise arrangement of several columns,
// otherwise across the rows. Rows and columns are found from where the
// cells really are on the screen.
async function readingOrder(page, selector, columnWise) {
  const cells = await page.evaluate((sel) => [...document.querySelectorAll(sel)].map((td) => {
    const r = td.getBoundingClientRect();
    const a = td.querySelector('a');
    const href = a ? a.getAttribute('href') : '';
    let key = href.startsWith('#') ? a.textContent.trim() : decodeURIComponent(href);
    key = key.replace(/\/(index|right)\.html$/, '').replace(/\/$/, '');
    return { key, x: Math.round(r.left), y: Math.round(r.top), w: r.width };
  }), selector);
  const byColumn = (a, b) => a.x - b.x || a.y - b.y;
  const byRow = (a, b) => a.y - b.y || a.x - b.x;
  return cells.filter((c) => c.w > 0).sort(columnWise ? byColumn : byRow).map((c) => c.key);
}

// What a top page of an order build must show in sorted order.
function orderChecks(cfg, p) {
  if (p.includes('/')) return [];
  if (cfg.framed) return p === 'right.html' ? [['table.files td.name', ORDER_FILES]] : [];
  if (cfg.keys.recursive_build === 'TRUE') return [['table.jumps td.tile', ORDER_FOLDERS]];
  return [['table.dirs td.tile', ['..', ...ORDER_FOLDERS]], ['table.files td.name', ORDER_FILES]];
}

async function checkOrder(page, cfg, p, failures) {
  const columnWise = cfg.columnWise && cfg.columns > 1;
  for (const [view, size] of [['wide', WIDE], ['phone', PHONE]]) {
    await page.setViewportSize(size);
    for (const [selector, want] of orderChecks(cfg, p)) {
      const got = await readingOrder(page, selector, columnWise);
      if (JSON.stringify(got) !== JSON.stringify(want)) {
        failures.push(`${cfg.name}, ${view}: ${selector} read in the order ${got.join(' ')}`);
      }
    }
  }
}

// In a wide and a phone-sized window nothing needs sideways scrolling, and
// every size, date and time cell shows inside the window.
async function checkFits(page, where, failures) {
  for (const [view, size] of [['wide', WIDE], ['phone', PHONE]]) {
    await page.setViewportSize(size);
    const facts = await page.evaluate(() => {
      const width = document.documentElement.clientWidth;
      const boxes = [...document.querySelectorAll('.scroll, table.tiles')]
        .filter((e) => e.scrollWidth > e.clientWidth + 1).map((e) => e.className);
      const hidden = [...document.querySelectorAll('td.meta')].filter((td) => {
        const r = td.getBoundingClientRect();
        return r.width === 0 || r.left < -0.5 || r.right > width + 0.5;
      }).map((td) => td.textContent.trim());
      return { page: document.documentElement.scrollWidth > width + 1, boxes, hidden };
    });
    if (facts.page) failures.push(`${where}, ${view}: the page scrolls sideways`);
    for (const b of facts.boxes) failures.push(`${where}, ${view}: the box ${b} scrolls sideways`);
    if (facts.hidden.length) failures.push(`${where}, ${view}: cells off the screen: ${facts.hidden.slice(0, 4).join(', ')}`);
  }
}

// A page with a folder table starts with a skip link to the files: the
// first Tab shows it on the screen and Enter leads to the file table.
async function checkSkip(page, where, failures) {
  await page.setViewportSize(WIDE);
  if (!await page.evaluate(() => !!document.querySelector('table.dirs'))) return;
  await page.keyboard.press('Tab');
  const focused = await page.evaluate(() => {
    const a = document.activeElement;
    const r = a.getBoundingClientRect();
    return { skip: a.matches('a.skip[href="#files"]'), shown: r.top >= 0 && r.bottom <= innerHeight && r.width > 0 };
  });
  if (!focused.skip || !focused.shown) {
    failures.push(`${where}: the first Tab ${focused.skip ? 'leaves the skip link off the screen' : 'does not reach a skip link to #files'}`);
    return;
  }
  await page.keyboard.press('Enter');
  const landed = await page.evaluate(() => location.hash === '#files' && !!document.querySelector('#files') &&
    (!document.querySelector('table.files') || !!document.querySelector('#files table.files')));
  if (!landed) failures.push(`${where}: the skip link does not lead to the file table`);
}

// Printed, every text is dark on a white (or unpainted) background, in the
// dark colour scheme too.
async function checkPrint(page, where, failures) {
  await page.emulateMedia({ media: 'print', colorScheme: 'dark' });
  const bad = await page.evaluate(() => {
    const rgb = (s) => (s.match(/[\d.]+/g) || []).map(Number);
    const lum = ([r, g, b]) => (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255;
    const out = [];
    const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
    for (let n = walker.nextNode(); n; n = walker.nextNode()) {
      const el = n.parentElement;
      if (!n.textContent.trim() || !el.getClientRects().length) continue;
      const st = getComputedStyle(el);
      if (st.visibility === 'hidden' || parseFloat(st.opacity) === 0) continue;
      let bg = null;
      for (let e = el; e && !bg; e = e.parentElement) {
        const c = rgb(getComputedStyle(e).backgroundColor);
        if (c.length === 3 || (c.length === 4 && c[3] > 0.5)) bg = c;
      }
      if (lum(rgb(st.color)) > 0.45 || (bg && lum(bg) < 0.85)) {
        out.push(`${el.tagName.toLowerCase()}.${el.className} "${n.textContent.trim().slice(0, 20)}" ${st.color} on ${bg ? `rgb(${bg.slice(0, 3)})` : 'paper'}`);
      }
    }
    return out;
  });
  await page.emulateMedia({ media: 'screen', colorScheme: 'light' });
  for (const b of bad.slice(0, 4)) failures.push(`${where}, print: ${b}`);
}

// ---- Main --------------------------------------------------------------------

async function main() {
  const opt = parseArgs(process.argv);
  const started = Date.now();
  const work = opt.out;
  fs.mkdirSync(work, { recursive: true });
  const screens = path.join(work, 'screens');
  fs.rmSync(screens, { recursive: true, force: true });
  fs.mkdirSync(screens, { recursive: true });
  const failures = [];
  const trees = makeTrees(work);
  let configs = [...accessibilityBuilds(), ...orderBuilds()];
  if (opt.only) configs = configs.filter((c) => opt.only.test(c.name));
  for (const cfg of configs) build(opt.vellora, work, trees, cfg, failures);

  // The help page as the build ships it, beside the program.
  const help = !opt.only || opt.only.test('help page') ? path.join(work, 'help', 'vellora_help.html') : null;
  if (help) {
    const shipped = path.join(path.dirname(opt.vellora), 'vellora_help.html');
    fs.rmSync(path.dirname(help), { recursive: true, force: true });
    fs.mkdirSync(path.dirname(help), { recursive: true });
    if (fs.existsSync(shipped)) {
      fs.copyFileSync(shipped, help);
      const why = wellFormed(help);
      if (why) failures.push(`help page: not well-formed XML: ${why}`);
    } else {
      failures.push(`help page: ${shipped} is missing: the build must put it beside the program`);
    }
  }

  let xmlPages = 0;
  for (const cfg of configs.filter((c) => c.xml)) {
    for (const p of cfg.pages) {
      xmlPages++;
      const why = wellFormed(path.join(cfg.dir, p));
      if (why) failures.push(`${cfg.name}: ${p} is not well-formed XML: ${why}`);
    }
  }

  const server = await startServer(work, { htmlCharset: null });
  const { chromium } = require('playwright-core');
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: CHROMIUM_FLAGS,
  });
  let axePages = 0;
  try {
    const page = await browser.newPage({ viewport: WIDE });
    const base = `http://127.0.0.1:${server.port}`;
    for (const cfg of configs) {
      const siteUrl = `${base}/${urlOf(path.relative(work, cfg.dir))}`;
      for (const p of cfg.pages) {
        const where = `${cfg.name}: ${p}`;
        const url = `${siteUrl}/${urlOf(p)}`;
        const isFrameset = cfg.framed && p === 'index.html';
        await page.setViewportSize(WIDE);
        await load(page, url);
        if (cfg.tree === 'order') {
          await checkOrder(page, cfg, p, failures);
          if (orderChecks(cfg, p).some(([selector]) => selector.includes('files'))) await checkFits(page, where, failures);
          continue;
        }
        for (const scheme of ['light', 'dark']) {
          await page.emulateMedia({ colorScheme: scheme });
          await load(page, url);
          for (const v of await axeViolations(page)) failures.push(`${where}, ${scheme}: ${v}`);
        }
        await page.emulateMedia({ colorScheme: 'light' });
        axePages++;
        if (!isFrameset) {
          await checkSkip(page, where, failures);
          await checkFits(page, where, failures);
          await checkPrint(page, where, failures);
        }
      }
    }

    if (help && fs.existsSync(help)) {
      const url = `${base}/help/vellora_help.html`;
      for (const scheme of ['light', 'dark']) {
        await page.emulateMedia({ colorScheme: scheme });
        await load(page, url);
        for (const v of await axeViolations(page)) failures.push(`help page, ${scheme}: ${v}`);
      }
      await page.emulateMedia({ colorScheme: 'light' });
      axePages++;
      await checkFits(page, 'help page', failures);
      await checkPrint(page, 'help page', failures);
      for (const [view, size] of [['wide', WIDE], ['phone', PHONE]]) {
        await page.setViewportSize(size);
        await load(page, url);
        await page.screenshot({ path: path.join(screens, `help-${view}.png`), fullPage: false });
      }
    }

    // Screenshots of the demo pages as the demo builds them.
    const shots = [
      ['a11y fancy_table perfolder html', 'index.html', 'perfolder-top'],
      ['a11y fancy_table perfolder html', 'Photos 2024/index.html', 'perfolder-photos'],
      ['a11y fancy_table headings html', 'index.html', 'headings'],
      ['a11y framed html', 'index.html', 'framed'],
      ['order single 3 column(s) column-wise', 'index.html', 'order-3-columns'],
      ['order single 1 column(s) column-wise', 'index.html', 'order-1-column'],
      ['order single 5 column(s) row-wise', 'index.html', 'order-5-columns'],
      ['order single 2 column(s) column-wise', 'index.html', 'order-2-columns'],
    ];
    for (const [name, p, tag] of shots) {
      const cfg = configs.find((c) => c.name === name);
      if (!cfg) continue;
      const url = `${base}/${urlOf(path.relative(work, cfg.dir))}/${urlOf(p)}`;
      for (const [view, size, media, scheme] of [['wide', WIDE, 'screen', 'light'], ['phone', PHONE, 'screen', 'light'],
        ['dark', WIDE, 'screen', 'dark'], ['print', WIDE, 'print', 'dark']]) {
        await page.setViewportSize(size);
        await page.emulateMedia({ media, colorScheme: scheme });
        await load(page, url);
        await page.waitForTimeout(200);
        await page.screenshot({ path: path.join(screens, `${tag}-${view}.png`), fullPage: !cfg.framed });
      }
      await page.emulateMedia({ media: 'screen', colorScheme: 'light' });
    }
  } finally {
    await browser.close();
    await server.close();
  }

  const seconds = ((Date.now() - started) / 1000).toFixed(1);
  console.log(`shipped templates: ${configs.length} builds, ${axePages} pages checked with axe-core ` +
    `in two colour schemes, ${xmlPages} XHTML pages checked, in ${seconds}s; screenshots in ${screens}`);
  for (const f of failures) console.log(`FAIL ${f}`);
  process.exitCode = failures.length ? 1 : 0;
}

main().catch((e) => { console.error(e); process.exitCode = 2; });
