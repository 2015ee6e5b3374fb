#!/usr/bin/env node
'use strict';
// Prints how fast the default template's page opens, filters and sorts a
// folder of many files in headless Chromium, against the same page without
// its script. Not a test: it prints figures.
// Usage: node script_bench.js --vellora PATH [--files N[,N...]] [--out DIR] [--runs R]
// Several counts (--files 1000,10000,100000) are measured one after another,
// each in a folder of its own under DIR.
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');

const args = process.argv.slice(2);
const arg = (name, def) => (args.includes(name) ? args[args.indexOf(name) + 1] : def);
const vellora = path.resolve(arg('--vellora', ''));
const counts = arg('--files', '100000').split(',').map(Number);
let count = 0;
const runs = Number(arg('--runs', '3'));
const outBase = path.resolve(arg('--out', path.join(__dirname, '../../build/script_bench')));
let out = outBase;
const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// Deterministic names, sizes and times.
function makeTree(dir) {
  const stamp = path.join(dir, '.made');
  if (fs.existsSync(stamp) && fs.readFileSync(stamp, 'utf8') === String(count)) return;
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(dir, { recursive: true });
  const exts = ['txt', 'jpg', 'pdf', 'tar.gz', 'c', 'html', 'bin'];
  let seed = 12345;
  const rnd = () => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed; };
  for (let i = 0; i < count; i++) {
    const f = path.join(dir, `file ${String(rnd() % 1000000).padStart(6, '0')} ${i}.${exts[i % exts.length]}`);
    fs.writeFileSync(f, '');
    fs.truncateSync(f, rnd() % 5000000);
    const t = new Date(Date.UTC(2000 + (rnd() % 26), rnd() % 12, 1 + (rnd() % 28), rnd() % 24, rnd() % 60));
    fs.utimesSync(f, t, t);
  }
  fs.writeFileSync(stamp, String(count));
}

const median = (l) => [...l].sort((a, b) => a - b)[Math.floor(l.length / 2)];

async function main() {
  const tree = path.join(out, 'tree');
  makeTree(tree);
  const ini = path.join(out, 'bench.ini');
  fs.writeFileSync(ini, ['[VELLORA]', `path=${tree}`, 'file_spec=*.*', 'skip_files=.made;index.html', 'output_filename=index.html',
    'custom_html_filename=fancy_table.txt', 'recursive_build=FALSE', 'include_subfolders=TRUE', 'include_filesize=TRUE',
    'include_date=TRUE', 'include_time=TRUE', 'include_summary=TRUE', 'file_columns=1', 'sort_type=N+', 'insert_commas=TRUE',
    'href20=TRUE', 'xml_compliant=FALSE', ''].join('\n'));
  const r = spawnSync(vellora, [ini], { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`build failed: ${r.stdout}${r.stderr}`);
  const withScript = fs.readFileSync(path.join(tree, 'index.html'));
  const text = withScript.toString('latin1');
  const at = text.lastIndexOf('<script');
  const without = Buffer.from(text.slice(0, at) + text.slice(text.indexOf('</script>', at) + 9), 'latin1');
  console.log(`${count} files, page of ${(withScript.length / 1048576).toFixed(1)} MB; median of ${runs} runs, ms`);

  const { chromium } = require('playwright-core');
  const rows = [];
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: CHROMIUM_FLAGS });
  try {
    const page = await browser.newPage({ viewport: { width: 1280, height: 800 } });
    let body = withScript;
    await page.route('http://bench.test/**', (route) => route.fulfill({ status: 200, contentType: 'text/html', body }));
    const put = (what, values) => rows.push([what, median(values)]);
    for (const [label, page0] of [['without script', without], ['with script', withScript]]) {
      body = page0;
      const paint = [], load = [];
      for (let i = 0; i < runs; i++) {
        await page.goto('about:blank');
        await page.goto('http://bench.test/index.html', { waitUntil: 'load', timeout: 600000 });
        const t = await page.evaluate(() => {
          const fcp = performance.getEntriesByName('first-contentful-paint')[0];
          const nav = performance.getEntriesByType('navigation')[0];
          return { paint: fcp ? fcp.startTime : NaN, load: nav.loadEventEnd };
        });
        paint.push(t.paint);
        load.push(t.load);
      }
      put(`first paint, ${label}`, paint);
      put(`load, ${label}`, load);
    }
    // Time from the change to the next frame drawn; the filter's pause
    // after the last key press (150 ms here) is counted apart.
    const act = (kind, value) => page.evaluate(([kind, value]) => new Promise((resolve) => {
      const status = document.querySelector('.tools [role="status"]');
      const input = document.querySelector('.tools input');
      const done = (t0, t1) => requestAnimationFrame(() => setTimeout(() => resolve({ work: t1 - t0, frame: performance.now() - t0 })));
      if (kind === 'filter') {
        // The status changes once the filtered rows are in place.
        const t0 = performance.now() + 150;
        const obs = new MutationObserver(() => { obs.disconnect(); done(t0, performance.now()); });
        obs.observe(status, { childList: true, characterData: true, subtree: true });
        input.value = value;
        input.dispatchEvent(new Event('input'));
      } else {
        const t0 = performance.now();
        document.querySelector(`button.sort[data-key="${value}"]`).click();
        done(t0, performance.now());
      }
    }), [kind, value]);
    const steps = [['filter', '7', 'filter "7"'], ['filter', '123', 'filter "123"'], ['filter', '', 'clear the filter'],
      ['sort', 'name', 'sort by name (first use)'], ['sort', 'name', 'sort by name, other way'], ['sort', 'size', 'sort by size'],
      ['sort', 'date', 'sort by date'], ['sort', 'type', 'sort by type']];
    // Each run takes the steps in order, so that each changes what shows.
    const times = steps.map(() => ({ work: [], frame: [] }));
    for (let i = 0; i < runs; i++) {
      for (let s = 0; s < steps.length; s++) {
        if (i && steps[s][2].includes('first use')) continue;
        const t = await act(steps[s][0], steps[s][1]);
        times[s].work.push(t.work);
        times[s].frame.push(t.frame);
      }
    }
    steps.forEach(([, , what], s) => rows.push([`${what}: script work / to next frame`,
      `${median(times[s].work).toFixed(0)} / ${median(times[s].frame).toFixed(0)}`]));
    const shown = await page.$$eval('table.files td.name', (l) => l.length);
    if (shown !== count) console.log(`WARNING: ${shown} rows shown at the end, ${count} expected`);
  } finally {
    await browser.close();
  }
  for (const [what, v] of rows) console.log(`${what.padEnd(48)} ${typeof v === 'number' ? v.toFixed(0) : v}`);
}

(async () => {
  for (const n of counts) {
    count = n;
    out = counts.length > 1 ? path.join(outBase, String(n)) : outBase;
    await main();
    if (counts.length > 1) console.log('');
  }
})().catch((e) => { console.error(e); process.exitCode = 2; });
