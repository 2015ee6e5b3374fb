#!/usr/bin/env node
'use strict';
// The default template's sort and filter script in headless Chromium. Builds
// a small tree with the template (US dates in bytes as HTML; day-first dates
// in kilobytes as XHTML; readable sizes and ISO dates; a grouped listing of
// two files per row) and checks that each heading sorts by its own key both ways, by click
// and by keyboard, with aria-sort and a spoken status; that a title with the
// exact size and a time element win over the shown text; and that the filter
// box hides the files whose names do not hold its text.
// Usage: node page_script.js --vellora PATH [--out DIR]
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');

const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// name, size in bytes, last write time (local).
const FILES = [
  ['b.txt', 1234567, '2024-03-05T14:00'],
  ['A10.log', 1536, '2024-11-02T09:30'],
  ['a2.md', 3000000, '2023-01-20T23:59'],
  ['c.zip', 10240, '2024-03-05T09:15'],
  ['noext', 0, '2022-12-31T12:00'],
];
const SUB = [['z1.txt', 5000, '2021-06-01T10:00'], ['y2.txt', 10, '2021-06-02T10:00']];
const ORDER = {
  name: ['a2.md', 'A10.log', 'b.txt', 'c.zip', 'noext'],
  size: ['noext', 'A10.log', 'c.zip', 'b.txt', 'a2.md'],
  date: ['noext', 'a2.md', 'c.zip', 'b.txt', 'A10.log'],
  type: ['A10.log', 'a2.md', 'noext', 'b.txt', 'c.zip'],
};
const SUB_ORDER = { name: ['y2.txt', 'z1.txt'], size: ['y2.txt', 'z1.txt'], date: ['z1.txt', 'y2.txt'], type: ['y2.txt', 'z1.txt'] };

const BASE = {
  file_spec: '*.*', skip_files: 'index.html;index.xhtml', output_filename: 'index.html', title: 'sort',
  custom_html_filename: 'fancy_table.txt', include_subfolders: 'TRUE', include_filesize: 'TRUE',
  include_date: 'TRUE', include_time: 'TRUE', include_summary: 'TRUE', supress_headers: 'FALSE',
  use_html_titles_for_links: 'FALSE', insert_commas: 'TRUE', href20: 'TRUE', sort_type: 'N+', folder_columns: '1',
};
const BUILDS = [
  { name: 'us bytes html', keys: { recursive_build: 'FALSE', file_columns: '1', euro_date_style: 'FALSE', sizes_by_k: 'FALSE', xml_compliant: 'FALSE' } },
  { name: 'day-first kilobytes xhtml', xml: true,
    keys: { recursive_build: 'FALSE', file_columns: '1', euro_date_style: 'TRUE', sizes_by_k: 'TRUE', xml_compliant: 'TRUE' } },
  { name: 'human sizes iso dates', keys: { recursive_build: 'FALSE', file_columns: '1', euro_date_style: 'FALSE',
    sizes_by_k: 'FALSE', xml_compliant: 'FALSE', size_style: 'human', date_style: 'iso' } },
  { name: 'grouped two per row', grouped: true,
    keys: { recursive_build: 'TRUE', multi_recurse_link: 'FALSE', sort_folders_first: 'TRUE', show_folder_names: 'TRUE',
      folder_anchors: 'TRUE', file_columns: '2', column_wise_sort: 'FALSE', euro_date_style: 'FALSE', sizes_by_k: 'FALSE', xml_compliant: 'FALSE' } },
  { name: 'three per row', layoutOnly: true, keys: { recursive_build: 'FALSE', file_columns: '3', column_wise_sort: 'TRUE', xml_compliant: 'TRUE' } },
];

function makeTree(dir) {
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(path.join(dir, 'sub'), { recursive: true });
  const put = (rel, size, when) => {
    const f = path.join(dir, rel);
    fs.writeFileSync(f, '');
    fs.truncateSync(f, size);
    const t = new Date(when);
    fs.utimesSync(f, t, t);
  };
  for (const [n, s, t] of FILES) put(n, s, t);
  for (const [n, s, t] of SUB) put(path.join('sub', n), s, t);
}

// The page's file names in reading order, with folder headings as "#heading";
// rows the filter hides have no boxes.
const readNames = (page) => page.evaluate(() => [...document.querySelectorAll('table.files td.name, table.files td.group')]
  .filter((td) => td.getClientRects().length).map((td) => (td.classList.contains('group') ? '#heading' : td.textContent.trim())));

function expected(build, key, dir) {
  const flip = (l) => (dir === 'descending' ? [...l].reverse() : l);
  return build.grouped ? [...flip(ORDER[key]), '#heading', ...flip(SUB_ORDER[key])] : flip(ORDER[key]);
}

async function sortState(page) {
  return page.evaluate(() => ({
    sort: [...document.querySelectorAll('table.files td.th')].map((td) => td.getAttribute('aria-sort')).filter(Boolean),
    status: (document.querySelector('.tools [role="status"][aria-live="polite"]') || {}).textContent || '',
  }));
}

async function checkBuild(page, build, url, failures) {
  const fail = (what) => failures.push(`${build.name}: ${what}`);
  await page.goto(url, { waitUntil: 'load' });
  const label = await page.evaluate(() => {
    const input = document.querySelector('.tools input');
    const lab = input && document.querySelector(`label[for="${input.id}"]`);
    return lab ? lab.textContent : null;
  });
  if (!label) fail('the filter box has no label');
  // No rule the browser still applies looks into a scripted file table with
  // :has(): restyling rows under such rules grows with the square of the
  // rows, on every sort.
  const hasRules = await page.evaluate(() => {
    const found = [];
    const walk = (rules) => {
      for (const r of rules) {
        if (r.cssRules) walk(r.cssRules);
        if (r.selectorText && /:has\(/.test(r.selectorText) && /table\.files|td\.(name|meta|th)|\btr\b/.test(r.selectorText)) found.push(r.selectorText);
      }
    };
    for (const sheet of document.styleSheets) if (!sheet.disabled) walk(sheet.cssRules);
    return found;
  });
  if (hasRules.length) fail(`rules with :has() still apply to the file table: ${hasRules.slice(0, 3).join(' | ')}`);
  // A sort takes the table out of the page before it moves any row: a row
  // taken out of a table on show costs time that grows with the table.
  const early = await page.evaluate(() => {
    const table = document.querySelector('table.files');
    const obs = new MutationObserver(() => {});
    obs.observe(document.body, { childList: true, subtree: true });
    table.querySelector('button.sort').click();
    const log = obs.takeRecords();
    obs.disconnect();
    const out = log.findIndex((m) => [...m.removedNodes].includes(table));
    const row = log.findIndex((m) => [...m.removedNodes].some((n) => n.nodeName === 'TR'));
    return row !== -1 && (out === -1 || row < out);
  });
  if (early) fail('a sort moves rows while the table is on show');
  await page.goto(url, { waitUntil: 'load' });
  const keyOfColumn = { name: 'name', type: 'name', size: 'size', date: 'date' };
  for (const key of ['name', 'size', 'date', 'type']) {
    for (const dir of ['ascending', 'descending']) {
      await page.click(`table.files td.th button[data-key="${key}"] >> nth=0`);
      const got = await readNames(page);
      const want = expected(build, key, dir);
      if (JSON.stringify(got) !== JSON.stringify(want)) fail(`sorted by ${key}, ${dir}: ${got.join(' ')}; want ${want.join(' ')}`);
      const st = await sortState(page);
      const aria = key === 'type' ? 'other' : dir;
      const cells = await page.$$eval(`table.files td.th:has(button[data-key="${keyOfColumn[key]}"])`, (l) => l.map((td) => td.getAttribute('aria-sort')));
      if (!cells.length || cells.some((a) => a !== aria) || st.sort.length !== cells.length) fail(`sorted by ${key}, ${dir}: aria-sort ${st.sort.join(',')}`);
      if (!st.status) fail(`sorted by ${key}, ${dir}: nothing said in the live region`);
    }
  }
  // Keyboard: Enter sorts by size ascending (a new key), Space turns it round.
  await page.focus('table.files td.th button[data-key="size"] >> nth=0');
  await page.keyboard.press('Enter');
  let got = await readNames(page);
  if (JSON.stringify(got) !== JSON.stringify(expected(build, 'size', 'ascending'))) fail(`Enter on the size heading: ${got.join(' ')}`);
  await page.keyboard.press('Space');
  got = await readNames(page);
  if (JSON.stringify(got) !== JSON.stringify(expected(build, 'size', 'descending'))) fail(`Space on the size heading: ${got.join(' ')}`);

  // Filter: case-insensitive, on the name; headings of emptied folders go.
  await page.fill('.tools input', 'A');
  await page.waitForTimeout(400);
  got = await readNames(page);
  const want = ['a2.md', 'A10.log'];
  if (JSON.stringify([...got].sort()) !== JSON.stringify([...want].sort())) fail(`filter "A" shows ${got.join(' ')}`);
  await page.fill('.tools input', 'Z');
  await page.waitForTimeout(400);
  got = await readNames(page);
  const wantZ = build.grouped ? ['c.zip', '#heading', 'z1.txt'] : ['c.zip'];
  if (JSON.stringify(got) !== JSON.stringify(wantZ)) fail(`filter "Z" shows ${got.join(' ')}`);
  await page.fill('.tools input', '');
  await page.waitForTimeout(400);
  got = await readNames(page);
  if (got.length !== expected(build, 'name', 'ascending').length) fail(`an empty filter shows ${got.join(' ')}`);
  // The filter text stays text: quotes, backslashes, braces and markup
  // neither end nor widen the page's own rule, and dots still match dots.
  for (const [text, want] of [['"]), tr { color: red } x', []], ['\\', []], ['x\\"', []], ['</style><b>}', []], ["2.m", ['a2.md']]]) {
    await page.fill('.tools input', text);
    await page.waitForTimeout(400);
    got = await readNames(page);
    if (JSON.stringify(got) !== JSON.stringify(want)) fail(`filter ${JSON.stringify(text)} shows ${got.join(' ')}`);
  }
  await page.fill('.tools input', '');
  await page.waitForTimeout(400);

  // On a phone the rows are bars with a line between them, none under the
  // heading row: the first file the filter leaves has no line either.
  if (!build.grouped) {
    await page.setViewportSize({ width: 600, height: 800 });
    await page.fill('.tools input', 'c');
    await page.waitForTimeout(400);
    const line = await page.evaluate(() => {
      const row = [...document.querySelectorAll('table.files tr')].find((tr) => !tr.querySelector('td.th') && tr.getClientRects().length);
      return row ? getComputedStyle(row).borderTopWidth : 'no row';
    });
    if (line !== '0px') fail(`the first row the filter leaves on a phone has a line of ${line} above it`);
    await page.fill('.tools input', '');
    await page.waitForTimeout(400);
    await page.setViewportSize({ width: 1280, height: 720 });
  }

  // Exact values in a title and a time element win over the shown text,
  // which here says the same for every file.
  if (!build.grouped) {
    await page.goto(url, { waitUntil: 'load' });
    await page.evaluate((files) => {
      const byName = new Map(files.map((f) => [f[0], f]));
      for (const td of document.querySelectorAll('table.files td.name')) {
        const f = byName.get(td.textContent.trim());
        const size = td.nextElementSibling;
        size.setAttribute('title', `${f[1]} bytes`);
        size.textContent = '1.0 KB';
        const date = size.nextElementSibling;
        date.textContent = '';
        const time = document.createElement('time');
        time.setAttribute('datetime', `${f[2]}:00+08:00`);
        time.textContent = '1/01/01';
        date.appendChild(time);
        date.nextElementSibling.textContent = '1:00 am';
      }
    }, FILES);
    for (const key of ['size', 'date']) {
      await page.click(`table.files td.th button[data-key="${key}"]`);
      got = await readNames(page);
      if (JSON.stringify(got) !== JSON.stringify(ORDER[key])) fail(`sorted by ${key} with exact values in attributes: ${got.join(' ')}`);
    }
  }
}

// The script changes how the file table's layout is picked, not the layout:
// every row and cell but the heading row's is styled as without script, on
// a wide, a narrow and a phone-sized screen.
async function checkSameLayout(browser, build, url, failures) {
  const styles = async (script, width) => {
    const context = await browser.newContext({ javaScriptEnabled: script, viewport: { width, height: 800 } });
    const page = await context.newPage();
    await page.goto(url, { waitUntil: 'load' });
    const got = await page.evaluate(() => [...document.querySelectorAll('table.files tr')].filter((tr) => !tr.querySelector('td.th'))
      .flatMap((tr) => [tr, ...tr.cells]).map((el) => {
        const c = getComputedStyle(el);
        return [el.nodeName, c.display, c.padding, c.borderTopWidth, c.borderLeftWidth, c.backgroundColor, c.fontSize,
          c.whiteSpace, c.textAlign, c.gridRowStart, c.gridTemplateColumns.split(' ').length, c.gridTemplateRows.split(' ').length, c.flexBasis].join(' ');
      }));
    await context.close();
    return got;
  };
  for (const width of [1280, 900, 390]) {
    const [off, on] = [await styles(false, width), await styles(true, width)];
    const at = off.findIndex((v, i) => v !== on[i]);
    if (at !== -1 || off.length !== on.length) failures.push(`${build.name}: at ${width}px, with script ${on[at]} where without ${off[at]}`);
  }
}

// A page of many rows that arrives in two parts: while its file table is
// incomplete only the first rows are drawn (drawing a growing table of
// many thousands of rows again and again would stall the browser); once
// the page is complete every row shows, with or without the script.
async function checkArriving(browser, file, failures) {
  const fail = (m) => failures.push(`page arriving in parts: ${m}`);
  const html = fs.readFileSync(file, 'latin1');
  const row = /<tr><td class="name">.*?<\/tr>\n?/s.exec(html);
  if (!row) { fail('no file row found'); return; }
  const many = html.slice(0, row.index) + row[0].repeat(400) + html.slice(row.index);
  const cut = row.index + row[0].length * 300;
  const http = require('http');
  let finish = null;
  const server = http.createServer((req, res) => {
    res.writeHead(200, { 'Content-Type': 'text/html' });
    res.write(Buffer.from(many.slice(0, cut), 'latin1'));
    finish = () => res.end(Buffer.from(many.slice(cut), 'latin1'));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const page = await browser.newPage();
  try {
    const shown = () => page.evaluate(() => [...document.querySelectorAll('table.files tr')]
      .map((tr) => getComputedStyle(tr).display !== 'none'));
    await page.goto(`http://127.0.0.1:${server.address().port}/`, { waitUntil: 'commit' });
    await page.waitForFunction(() => document.querySelectorAll('table.files tr').length >= 300);
    let rows = await shown();
    if (!rows[0] || !rows[5]) fail('the first rows do not show');
    if (rows[299]) fail('row 300 shows before the table is complete');
    finish();
    await page.waitForLoadState('load');
    rows = await shown();
    if (rows.length < 400 || rows.some((v) => !v)) fail(`${rows.filter((v) => !v).length} of ${rows.length} rows hidden once complete`);
  } finally {
    await page.close();
    server.close();
  }
}

async function main() {
  const args = process.argv.slice(2);
  const vellora = path.resolve(args[args.indexOf('--vellora') + 1]);
  const out = path.resolve(args.includes('--out') ? args[args.indexOf('--out') + 1] : path.join(__dirname, '../../build/page_script'));
  const failures = [];
  const { chromium } = require('playwright-core');
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: CHROMIUM_FLAGS });
  try {
    const page = await browser.newPage();
    page.on('pageerror', (e) => failures.push(`script error: ${e.message}`));
    for (const build of BUILDS) {
      const dir = path.join(out, build.name.replace(/\W+/g, '_'));
      makeTree(dir);
      const ini = `${dir}.ini`;
      fs.writeFileSync(ini, '[VELLORA]\n' + Object.entries({ ...BASE, ...build.keys, path: dir }).map(([k, v]) => `${k}=${v}`).join('\n') + '\n');
      const r = spawnSync(vellora, [ini], { encoding: 'utf8' });
      if (r.status !== 0) { failures.push(`${build.name}: build failed: ${r.stdout}${r.stderr}`); continue; }
      // Served as pages named .html are: the XHTML pages' root element has no
      // namespace, so no browser shows them as XML.
      const file = path.join(dir, 'index.html');
      await page.route('http://pages.test/**', (route) => route.fulfill({ status: 200, contentType: 'text/html', body: fs.readFileSync(file) }));
      await checkSameLayout(browser, build, `file://${file}`, failures);
      if (!build.layoutOnly) await checkBuild(page, build, 'http://pages.test/index.html', failures);
      await page.unroute('http://pages.test/**');
      if (build === BUILDS[0]) await checkArriving(browser, file, failures);
    }
  } finally {
    await browser.close();
  }
  console.log(`page script: ${BUILDS.length} builds checked`);
  for (const f of failures) console.log(`FAIL ${f}`);
  process.exitCode = failures.length ? 1 : 0;
}

main().catch((e) => { console.error(e); process.exitCode = 2; });
