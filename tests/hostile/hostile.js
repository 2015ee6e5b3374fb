#!/usr/bin/env node
'use strict';
// Hostile names, end to end: builds a folder tree whose names hold markup,
// URL syntax, control bytes, bytes that are not UTF-8, Chinese and 255-byte
// names in every build mode and option mix, serves the result over HTTP on
// 127.0.0.1 and opens every page in headless Chromium. Checks:
//  - every link answers 200 with the very file (or folder) it names, and its
//    text shows that name; every file and subfolder of a page is linked;
//  - no script or handler from a name runs and no element comes from a name;
//  - the readme above the files shows its bytes as text, and the
//    breadcrumbs of the shipped templates name every folder from the top
//    down, each folder above the page's own linked to its page;
//  - every XHTML page is well-formed XML;
//  - the JSON manifest beside each page (manifest=json, with SHA-256 in half
//    the builds) parses, names each entry as its bytes read as UTF-8, and
//    every link, percent-decoded to bytes relative to the page, leads to
//    the entry itself (same bytes and checksum for files); every file and
//    subfolder of the page is in it;
//  - the build is silent, ends with status 0 and leaves no temporary files;
//  - `vellora --check` of the same configuration finds nothing wrong.
// Usage: node hostile.js --vellora PATH [--work DIR] [--keep] [--only REGEX] [--json FILE]
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync, spawn } = require('child_process');
const { b, makeTree, parentOf, baseOf, joinRel, TITLE_WORDS, README } = require('./lib/tree');
const { startServer, get, pathOfUrl } = require('./lib/server');
const ENTITIES = require('./lib/xhtml_entities.json');

const CHROMIUM_FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
// Elements the page writer itself writes; anything else on its own pages
// came from a name.
const WRITER_TAGS = new Set(['HTML', 'HEAD', 'META', 'TITLE', 'BODY', 'TABLE', 'TBODY', 'THEAD',
  'TR', 'TD', 'TH', 'A', 'B', 'I', 'P', 'BR', 'HR', 'FONT', 'H1', 'H2', 'H3', 'H4', 'H5', 'H6',
  'DIV', 'SPAN', 'CENTER', 'SMALL', 'STRONG', 'EM', 'CAPTION', 'TIME', 'PRE', 'NAV']);
// Never allowed, template or not (the frameset page has its two frames).
const DANGEROUS = 'script,img,svg,math,iframe,frame,object,embed,base,form,input,button,video,audio,link,textarea,select';
// The default template's own script and controls, in places no name reaches:
// the sort buttons of the heading row, the filter box above the file table
// and the script that ends the page.
const TEMPLATE_OWN = 'table.files td.th > button.sort, div.tools > input, body > script:last-child';

function parseArgs(argv) {
  const o = { keep: false, only: null, work: null, vellora: null };
  for (let i = 2; i < argv.length; i++) {
    const a = argv[i];
    if (a === '--vellora') o.vellora = argv[++i];
    else if (a === '--work') o.work = argv[++i];
    else if (a === '--keep') o.keep = true;
    else if (a === '--only') o.only = new RegExp(argv[++i]);
    else if (a === '--json') o.json = path.resolve(argv[++i]);
    else throw new Error(`unknown argument ${a}`);
  }
  if (!o.vellora) throw new Error('usage: hostile.js --vellora PATH [--work DIR] [--keep] [--only REGEX] [--json FILE]');
  o.vellora = path.resolve(o.vellora);
  return o;
}

// ---- Build configurations ----------------------------------------------------

const MODES = {
  single: { recursive_build: 'FALSE' },
  onefile: { recursive_build: 'TRUE', multi_recurse_link: 'FALSE', sort_folders_first: 'FALSE',
    show_folder_names: 'FALSE', folder_anchors: 'FALSE' },
  headings: { recursive_build: 'TRUE', multi_recurse_link: 'FALSE', sort_folders_first: 'TRUE',
    show_folder_names: 'TRUE', folder_anchors: 'TRUE' },
  perfolder: { recursive_build: 'TRUE', multi_recurse_link: 'TRUE', build_framed_site: 'FALSE' },
  framed: { recursive_build: 'TRUE', multi_recurse_link: 'TRUE', build_framed_site: 'TRUE' },
};
const flag = (v) => (v ? 'TRUE' : 'FALSE');

function configurations(emptyTemplate) {
  const list = [];
  for (const mode of Object.keys(MODES)) {
    for (const xml of [false, true]) {
      for (const iso of [false, true]) {
        for (const href20 of [false, true]) {
          list.push({
            name: `${mode} ${xml ? 'xhtml' : 'html'} iso-${iso ? 'on' : 'off'} href20-${href20 ? 'on' : 'off'}`,
            mode, xml, template: false,
            keys: {
              ...MODES[mode], xml_compliant: flag(xml), replace_iso_chars: flag(iso), href20: flag(href20),
              custom_html_filename: '', left_frame_file: emptyTemplate, right_frame_file: emptyTemplate,
              multi_recurse_title: href20 ? 'FOLDER' : 'QUALIFIED',
              // Readable sizes and ISO dates (time elements on HTML pages) in half the builds.
              size_style: href20 ? 'human' : '', date_style: href20 ? 'iso' : '',
              manifest: 'json', manifest_checksums: flag(iso),
            },
          });
        }
      }
    }
  }
  // The shipped templates shape these.
  const shipped = [
    ['perfolder', true, true, true, { custom_html_filename: 'fancy_table.txt' }],
    ['headings', true, false, true, { custom_html_filename: 'fancy_table.txt' }],
    ['single', false, true, false, { custom_html_filename: 'fancy_table.txt' }],
    ['framed', false, false, false, { left_frame_file: 'left_frame.txt', right_frame_file: 'right_frame.txt' }],
    ['framed', true, true, true, { left_frame_file: 'left_frame.txt', right_frame_file: 'right_frame.txt' }],
  ];
  for (const [mode, xml, iso, href20, extra] of shipped) {
    list.push({
      name: `template ${mode} ${xml ? 'xhtml' : 'html'} iso-${iso ? 'on' : 'off'} href20-${href20 ? 'on' : 'off'}`,
      mode, xml, template: true,
      keys: { ...MODES[mode], xml_compliant: flag(xml), replace_iso_chars: flag(iso), href20: flag(href20),
        multi_recurse_title: 'FOLDER', size_style: iso ? 'human' : '', date_style: iso ? 'iso' : '',
        manifest: 'json', manifest_checksums: flag(href20), ...extra },
    });
  }
  return list;
}

function iniText(treeDir, keys) {
  const all = {
    path: treeDir, file_spec: '*.*', skip_files: '', output_filename: 'index.html',
    title: 'hostile names', frameset_file: 'frameset.txt', use_html_titles_for_links: 'TRUE',
    include_summary: 'TRUE', include_filesize: 'TRUE', include_date: 'TRUE', include_time: 'TRUE',
    include_subfolders: 'TRUE', supress_parent_link: 'FALSE', supress_headers: 'FALSE',
    file_columns: '3', folder_columns: '2', sort_type: 'N+', multi_recurse_skip_root: 'FALSE',
    readme_names: 'readme.md;README.txt', ...keys,
  };
  return '[VELLORA]\n' + Object.entries(all).map(([k, v]) => `${k}=${v}`).join('\n') + '\n';
}

// ---- File tree helpers -------------------------------------------------------

// Every entry below `dir` as { rel: Buffer, dir: bool }.
function listTree(dir) {
  const out = [];
  const walk = (rel) => {
    const abs = rel.length ? b(dir, '/', rel) : b(dir);
    for (const ent of fs.readdirSync(abs, { withFileTypes: true, encoding: 'buffer' })) {
      const r = joinRel(rel, ent.name);
      out.push({ rel: r, dir: ent.isDirectory() });
      if (ent.isDirectory()) walk(r);
    }
  };
  walk(b(''));
  return out;
}

const key = (buf) => buf.toString('latin1');
const hidden = (rel) => key(rel).split('/').some((c) => c.startsWith('.'));

// Percent-encodes every byte but unreserved ones and '/'.
function urlOf(rel) {
  let s = '';
  for (const c of rel) {
    s += /[A-Za-z0-9\-._~/]/.test(String.fromCharCode(c)) ? String.fromCharCode(c) : '%' + c.toString(16).toUpperCase().padStart(2, '0');
  }
  return s;
}

const show = (buf) => JSON.stringify(buf.toString('utf8'));

// The text a name or readme shows: XML allows no control character but tab,
// LF and CR, so XHTML pages show the others as U+FFFD.
const shown = (buf, xml) => {
  const text = buf.toString('utf8');
  return xml ? text.replace(/[\x00-\x08\x0B\x0C\x0E-\x1F]/g, '\uFFFD') : text;
};
// A readme's text in a pre element: line ends as LF, control characters
// but tab and DEL as U+FFFD.
const readmeShown = (buf) => buf.toString('utf8').replace(/\r\n?/g, '\n')
  .replace(/[\x00-\x08\x0B-\x1F\x7F]/g, '\uFFFD');

// ---- Checks of one page in the browser ---------------------------------------

class Report {
  constructor() { this.failures = []; this.counts = { builds: 0, pages: 0, links: 0, xml: 0, manifests: 0 }; }
  fail(cfg, where, category, what) { this.failures.push({ cfg: cfg.name, where, category, what }); }
}

async function pool(items, width, fn) {
  let next = 0;
  const worker = async () => { while (next < items.length) { const i = next++; await fn(items[i], i); } };
  await Promise.all(Array.from({ length: Math.min(width, items.length) }, worker));
}

// What a page of `cfg` must link: relative paths (latin1 keys) of files and folders.
function expectedItems(cfg, pageRel, fixture) {
  const folder = parentOf(pageRel);
  const inFolder = (rel) => key(parentOf(rel)) === key(folder);
  const files = [...fixture.files.keys()].map((k) => Buffer.from(k, 'latin1'));
  const subfolders = fixture.folders.filter((f) => f.length && inFolder(f));
  const isLeft = cfg.mode === 'framed' && key(baseOf(pageRel)) === 'left.html';
  const isFirstRight = cfg.mode === 'framed' && !folder.length && !isLeft;
  if (isLeft) return subfolders;
  if (cfg.mode === 'onefile' || cfg.mode === 'headings') {
    return [...files, ...subfolders];
  }
  return [...files.filter(inFolder), ...(isFirstRight ? [] : subfolders)];
}

async function checkPage(ctx, cfg, pageRel, isFrameset) {
  const { report, browserPage, port, fixture, cfgUrl, treeDir } = ctx;
  const where = show(pageRel);
  const pageUrl = `http://127.0.0.1:${port}${cfgUrl}/tree/${urlOf(pageRel)}`;
  ctx.events.length = 0;
  const requests = [];
  const onRequest = (r) => { if (r.frame() === browserPage.mainFrame()) requests.push(r.url()); };
  browserPage.on('request', onRequest);
  let resp;
  try {
    resp = await browserPage.goto(pageUrl, { waitUntil: 'load', timeout: 15000 });
    await browserPage.waitForTimeout(30); // let late handlers fire
  } catch (e) {
    report.fail(cfg, where, 'page did not load', `page did not load: ${e.message.split('\n')[0]}`);
    browserPage.off('request', onRequest);
    return;
  }
  browserPage.off('request', onRequest);
  report.counts.pages++;
  if (!resp || resp.status() !== 200) report.fail(cfg, where, 'page did not answer 200', `page answered ${resp && resp.status()}`);

  // The template's script sorts by every heading and filters by every
  // name, so that a name it handles as code would run now.
  if (cfg.template) await exerciseScript(browserPage);
  const facts = await browserPage.evaluate(([dangerous, own]) => {
    const all = [...document.querySelectorAll('*')];
    const mine = new Set(document.querySelectorAll(own));
    return {
      pwned: window.__pwned || null,
      tags: [...new Set(all.map((e) => e.tagName))],
      dangerous: [...document.querySelectorAll(dangerous)].filter((e) => !mine.has(e)).map((e) => e.outerHTML.slice(0, 120)),
      handlers: all.flatMap((e) => [...e.attributes].filter((a) => /^on/i.test(a.name))
        .map((a) => `<${e.tagName.toLowerCase()} ${a.name}=${JSON.stringify(a.value)}>`)),
      links: [...document.querySelectorAll('a[href]')].map((a) => ({
        href: a.href, raw: a.getAttribute('href'), text: a.textContent,
        anchorOk: a.hash && a.href.split('#')[0] === location.href.split('#')[0]
          ? (() => {
            const f = a.hash.slice(1);
            let d = f;
            try { d = decodeURIComponent(f); } catch (e) { /* keep raw */ }
            return !!(document.getElementById(f) || document.getElementById(d) ||
              document.getElementsByName(f).length || document.getElementsByName(d).length);
          })() : null,
      })),
      frames: [...document.querySelectorAll('iframe[src],frame[src]')].map((f) => f.src),
      readmes: [...document.querySelectorAll('pre.readme')].map((p) => p.textContent),
      trails: [...document.querySelectorAll('nav.trail')].map((n) => [...n.querySelectorAll('a, [aria-current]')]
        .map((e) => ({ text: e.textContent, href: e.href || null, current: e.getAttribute('aria-current') }))),
    };
  }, [DANGEROUS, cfg.template ? TEMPLATE_OWN : ':not(*)']);

  if (ctx.events.length) report.fail(cfg, where, 'script ran', `script ran: ${ctx.events.join('; ')}`);
  if (facts.pwned) report.fail(cfg, where, 'script ran', `script ran: ${JSON.stringify(facts.pwned)}`);
  for (const h of facts.handlers) report.fail(cfg, where, 'event handler from a name', `event handler from a name: ${h}`);
  const dangerous = isFrameset ? facts.dangerous.filter((d) => !/^<iframe/i.test(d)) : facts.dangerous;
  for (const d of dangerous) report.fail(cfg, where, 'element from a name', `element from a name: ${d}`);
  if (!cfg.template && !isFrameset) {
    for (const t of facts.tags) if (!WRITER_TAGS.has(t)) report.fail(cfg, where, 'element the writer never writes', `element <${t.toLowerCase()}> on a writer's page`);
  }
  // Requests the page made besides itself and its frames (an <img src=x> would ask for "x").
  const own = new Set([pageUrl, ...facts.frames]);
  for (const r of requests) {
    if (!own.has(r) && !/\/favicon\.ico$/.test(r) && !r.startsWith('data:')) {
      report.fail(cfg, where, 'page loaded something a name asked for', `page requested ${r}`);
    }
  }

  const folder = parentOf(pageRel);
  checkReadmeAndTrail(ctx, cfg, pageRel, isFrameset, facts);
  const linked = new Set();
  await pool(facts.links.concat(facts.frames.map((f) => ({ href: f, raw: f, text: null, frame: true }))), 8, async (link) => {
    report.counts.links++;
    const label = `link ${JSON.stringify(link.raw)}`;
    if (link.anchorOk !== null && link.anchorOk !== undefined) {
      if (!link.anchorOk) report.fail(cfg, where, 'in-page anchor leads nowhere', `${label}: no element for the in-page anchor`);
      return;
    }
    let url;
    try { url = new URL(link.href); } catch (e) { report.fail(cfg, where, 'link is not a URL', `${label}: not a URL`); return; }
    if (url.protocol !== 'http:' || url.host !== `127.0.0.1:${port}`) {
      report.fail(cfg, where, 'link leaves the site (other scheme or host)', `${label}: leaves the site (${url.protocol}${url.host ? '//' + url.host : ''}), text ${JSON.stringify(link.text)}`);
      return;
    }
    const bytes = pathOfUrl(url.pathname);
    if (!bytes) { report.fail(cfg, where, 'link is not a URL', `${label}: undecodable path`); return; }
    const top = key(b('/sites/', cfg.name, '/tree'));
    const inTree = key(bytes) === top || key(bytes).startsWith(top + '/');
    const relBuf = inTree ? Buffer.from(key(bytes).slice(top.length + 1).replace(/\/+$/, ''), 'latin1') : null;
    // The parent link of the top page leaves the tree; it may answer anything.
    if (!inTree) {
      if (folder.length === 0) return;
      report.fail(cfg, where, 'link leads out of the tree', `${label}: leads out of the tree to ${url.pathname}`);
      return;
    }
    const res = await get(port, url.pathname + url.search);
    if (res.status !== 200) {
      report.fail(cfg, where, 'broken link (not 200)', `${label}: answered ${res.status} for ${url.pathname}${url.search}, text ${JSON.stringify(link.text)}`);
      return;
    }
    // What the link leads to: a fixture file, a folder, or a page of a folder.
    const k = key(relBuf);
    let target = null;
    if (fixture.files.has(k)) {
      if (!res.body.equals(fixture.files.get(k))) report.fail(cfg, where, 'link serves other content', `${label}: content differs from the file ${show(relBuf)}`);
      target = { kind: 'file', rel: relBuf };
    } else {
      const abs = b(treeDir, '/', relBuf);
      const isDir = fs.statSync(abs).isDirectory();
      const folderRel = isDir ? relBuf : parentOf(relBuf);
      target = { kind: isDir || ctx.pageNames.has(key(baseOf(relBuf))) ? 'folder' : 'other', rel: isDir ? relBuf : folderRel };
      if (target.kind === 'other') target.rel = relBuf;
    }
    if (link.frame) return;
    // The parent entry: its text is a word of the program's own.
    if (target.kind === 'folder' && key(target.rel) === key(parentOf(folder)) && folder.length) return;
    if (target.kind === 'folder' && key(target.rel) === key(folder)) return; // a link to the page itself
    const name = target.rel.length ? baseOf(target.rel) : null;
    const text = link.text;
    let ok;
    if (target.kind === 'file' && TITLE_WORDS.has(key(name))) {
      const word = TITLE_WORDS.get(key(name));
      ok = word === null || text.includes(word) || text === name.toString('utf8');
    } else if (name === null) {
      ok = true; // the top folder (root link of a template)
    } else {
      let want = name.toString('utf8');
      // XML allows no control character but tab, LF and CR: XHTML pages show
      // the others as U+FFFD.
      if (cfg.keys.xml_compliant === 'TRUE') want = want.replace(/[\x00-\x08\x0B\x0C\x0E-\x1F]/g, '\uFFFD');
      ok = text === want || (cfg.keys.show_folder_names === 'TRUE' && text.endsWith(want)) ||
        (target.kind === 'folder' && cfg.template);
    }
    if (!ok) {
      report.fail(cfg, where, 'link text does not show the name', `${label}: text ${JSON.stringify(text)} does not show the name ${show(name)}`);
      return;
    }
    linked.add(`${target.kind === 'file' || target.kind === 'other' ? 'f' : 'd'}:${key(target.rel)}`);
  });

  if (isFrameset) return;
  const isDirItem = (rel) => fixture.folders.some((f) => key(f) === key(rel));
  for (const item of expectedItems(cfg, pageRel, fixture)) {
    const tag = `${isDirItem(item) ? 'd' : 'f'}:${key(item)}`;
    if (!linked.has(tag)) report.fail(cfg, where, 'entry without a working link', `${isDirItem(item) ? 'folder' : 'file'} ${show(item)} has no working link`);
  }
}

// Clicks every sort button twice and types every file name shown, and a
// few lines of markup and code, into each filter box; then clears the boxes.
async function exerciseScript(browserPage) {
  // Some headings are hidden in the layouts of several files per row.
  await browserPage.$$eval('table.files td.th > button.sort', (l) => l.forEach((b) => { b.click(); b.click(); }));
  const names = await browserPage.$$eval('table.files td.name', (l) => l.map((td) => td.textContent));
  for (const input of await browserPage.$$('div.tools > input')) {
    for (const text of [...names.slice(0, 12), '<img src=x onerror=alert(7)>', "');alert(8)//", '"+alert(9)+"', '']) {
      await input.fill(text);
      await input.dispatchEvent('input');
    }
  }
  await browserPage.waitForTimeout(200);
}

// The readme: the listed folder's (the top's on a page of the whole branch,
// none on the left frame), exactly its text. The breadcrumbs (shipped
// templates but the left frame): the top and every folder down to the
// page's own, that one current and the others linked to their pages.
function checkReadmeAndTrail(ctx, cfg, pageRel, isFrameset, facts) {
  const { report, fixture } = ctx;
  const where = show(pageRel);
  const folder = parentOf(pageRel);
  const isLeft = cfg.mode === 'framed' && key(baseOf(pageRel)) === 'left.html';
  const branch = cfg.mode === 'onefile' || cfg.mode === 'headings';
  const readme = isFrameset || isLeft ? null : fixture.files.get(key(joinRel(branch ? b('') : folder, README)));
  const want = readme ? [readmeShown(readme)] : [];
  if (JSON.stringify(facts.readmes) !== JSON.stringify(want)) {
    report.fail(cfg, where, 'readme not shown as its text', `readme shows ${JSON.stringify(facts.readmes).slice(0, 300)}, expected ${JSON.stringify(want).slice(0, 300)}`);
  }
  if (!cfg.template || isFrameset || isLeft) {
    if (facts.trails.length) report.fail(cfg, where, 'breadcrumbs where none belong', 'page has breadcrumbs');
    return;
  }
  const parts = [b('tree'), ...(folder.length ? key(folder).split('/').map((p) => Buffer.from(p, 'latin1')) : [])];
  const items = facts.trails.length === 1 ? facts.trails[0] : [];
  if (items.length !== parts.length) {
    report.fail(cfg, where, 'breadcrumbs do not name every folder', `${facts.trails.length} trail(s), ${items.length} step(s) for ${parts.length} folder(s)`);
    return;
  }
  const pageName = cfg.mode === 'framed' ? 'right.html' : 'index.html';
  items.forEach((item, i) => {
    const label = `breadcrumb ${i} ${JSON.stringify(item.text)}`;
    if (item.text !== shown(parts[i], cfg.xml)) report.fail(cfg, where, 'breadcrumb does not show the name', `${label}: expected ${show(parts[i])}`);
    if (i === parts.length - 1) {
      if (item.current !== 'page' || item.href) report.fail(cfg, where, 'breadcrumb of the page itself', `${label}: not the current page, or linked`);
      return;
    }
    const ancestor = parts.slice(1, i + 1).reduce((rel, p) => joinRel(rel, p), b(''));
    const wantPath = b('/sites/', cfg.name, '/tree/', ancestor.length ? b(ancestor, '/') : b(''), pageName);
    let got = null;
    try { got = item.href && pathOfUrl(new URL(item.href).pathname); } catch (e) { got = null; }
    if (!got || !got.equals(wantPath)) report.fail(cfg, where, 'breadcrumb link leads elsewhere', `${label}: ${item.href} is not the page of ${show(ancestor)}`);
  });
}

// ---- XHTML well-formedness ---------------------------------------------------

// The pages declare the XHTML 1.0 DTD, which cannot be fetched here; its
// named entities (the HTML 4 set plus &apos;) become numeric references,
// every other named entity stays and is an error, as it would be for a
// validating parser.
// The bytes of a manifest link: %XX decoded byte by byte (the names hold
// bytes that are not UTF-8, which decodeURIComponent refuses); where they
// are UTF-8, decodeURIComponent must agree.
function linkBytes(link) {
  const out = [];
  for (let i = 0; i < link.length; i++) {
    if (link[i] === '%') {
      out.push(parseInt(link.slice(i + 1, i + 3), 16));
      i += 2;
    } else {
      out.push(link.charCodeAt(i));
    }
  }
  const bytes = Buffer.from(out);
  if (Buffer.from(bytes.toString('utf8'), 'utf8').equals(bytes) && decodeURIComponent(link) !== bytes.toString('utf8')) {
    throw new Error(`decodeURIComponent disagrees on ${link}`);
  }
  return bytes;
}

function checkManifest(ctx, cfg, pageRel) {
  const { report, fixture, treeDir } = ctx;
  const where = show(pageRel) + '.json';
  const file = b(treeDir, '/', pageRel, '.json');
  if (!fs.existsSync(file)) { report.fail(cfg, where, 'manifest missing', 'no manifest beside the page'); return; }
  let m;
  try {
    m = JSON.parse(fs.readFileSync(file, 'utf8'));
  } catch (e) {
    report.fail(cfg, where, 'manifest is not JSON', e.message);
    return;
  }
  report.counts.manifests++;
  const checksums = cfg.keys.manifest_checksums === 'TRUE';
  if (m.format !== 'vellora-manifest' || m.version !== 1 || !Array.isArray(m.entries) || m.checksums !== checksums) {
    report.fail(cfg, where, 'manifest header wrong', JSON.stringify({ ...m, entries: undefined }));
    return;
  }
  const folder = parentOf(pageRel);
  const linked = new Set();
  for (const e of m.entries) {
    if (e.name === '..') continue;
    let rel;
    try {
      rel = path.posix.normalize(b(folder.length ? b(folder, '/') : b(''), linkBytes(e.link)).toString('latin1'));
    } catch (err) {
      report.fail(cfg, where, 'manifest link not decodable', err.message);
      continue;
    }
    if (e.is_folder) rel = rel.replace(/\/(index|right)\.html$/, '').replace(/\/$/, '');
    const relBuf = Buffer.from(rel, 'latin1');
    if (e.name !== baseOf(relBuf).toString('utf8')) {
      report.fail(cfg, where, 'manifest name differs from its link', `${JSON.stringify(e.name)} links ${show(relBuf)}`);
    }
    const abs = b(treeDir, '/', relBuf);
    if (!fs.existsSync(abs) || fs.statSync(abs).isDirectory() !== e.is_folder) {
      report.fail(cfg, where, 'manifest link leads nowhere', `${e.link} (${show(relBuf)})`);
      continue;
    }
    linked.add(rel);
    if (e.is_folder) continue;
    const data = fs.readFileSync(abs);
    if (e.size !== data.length) report.fail(cfg, where, 'manifest size wrong', `${e.link}: ${e.size}, not ${data.length}`);
    if (!/^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d$/.test(e.modified || '')) {
      report.fail(cfg, where, 'manifest time not ISO 8601 with offset', `${e.link}: ${e.modified}`);
    }
    const sum = require('crypto').createHash('sha256').update(data).digest('hex');
    if (checksums ? e.sha256 !== sum : 'sha256' in e) {
      report.fail(cfg, where, 'manifest checksum wrong', `${e.link}: ${e.sha256}`);
    }
  }
  for (const want of expectedItems(cfg, pageRel, fixture)) {
    if (!linked.has(key(want))) report.fail(cfg, where, 'manifest misses an entry', show(want));
  }
}

function checkXml(report, cfg, file, rel) {
  const text = fs.readFileSync(file).toString('latin1')
    .replace(/&([A-Za-z][A-Za-z0-9]*);/g, (m, n) => (Object.prototype.hasOwnProperty.call(ENTITIES, n) ? `&#${ENTITIES[n]};` : m));
  const r = spawnSync('xmllint', ['--noout', '--nonet', '-'], { input: Buffer.from(text, 'latin1'), encoding: 'buffer' });
  report.counts.xml++;
  if (r.status !== 0) {
    const first = r.stderr.toString('utf8').split('\n').filter(Boolean).slice(0, 2).join(' | ');
    report.fail(cfg, show(rel), 'XHTML page not well-formed', `not well-formed XML: ${first}`);
  }
}

// ---- Main --------------------------------------------------------------------

async function main() {
  const opt = parseArgs(process.argv);
  const started = Date.now();
  const work = opt.work ? path.resolve(opt.work) : fs.mkdtempSync(path.join(os.tmpdir(), 'vellora-hostile-'));
  fs.mkdirSync(work, { recursive: true });
  const report = new Report();
  const source = path.join(work, 'source');
  fs.rmSync(source, { recursive: true, force: true });
  const fixture = makeTree(source);
  const emptyTemplate = path.join(work, 'empty template.txt');
  fs.writeFileSync(emptyTemplate, '');

  let configs = configurations(emptyTemplate);
  if (opt.only) configs = configs.filter((c) => opt.only.test(c.name));

  // Build every configuration in a fresh copy of the tree, two at a time.
  await pool(configs, 2, async (cfg) => {
    cfg.dir = path.join(work, 'sites', cfg.name);
    fs.rmSync(cfg.dir, { recursive: true, force: true });
    fs.mkdirSync(cfg.dir, { recursive: true });
    execFileSync('cp', ['-a', source, path.join(cfg.dir, 'tree')]);
    const ini = path.join(cfg.dir, 'build.ini');
    fs.writeFileSync(ini, iniText(path.join(cfg.dir, 'tree'), cfg.keys));
    const r = await new Promise((resolve) => {
      const child = spawn(opt.vellora, [ini], { stdio: ['ignore', 'pipe', 'pipe'] });
      const out = [];
      child.stdout.on('data', (d) => out.push(d));
      child.stderr.on('data', (d) => out.push(d));
      const timer = setTimeout(() => child.kill('SIGKILL'), 60000);
      child.on('close', (code, sig) => { clearTimeout(timer); resolve({ code, sig, out: Buffer.concat(out).toString() }); });
    });
    report.counts.builds++;
    if (r.code !== 0 || r.out) report.fail(cfg, 'build', 'build failed or was not silent', `exit ${r.code}${r.sig ? ' ' + r.sig : ''}: ${r.out.trim().slice(0, 300)}`);
    const before = new Set(listTree(source).map((e) => key(e.rel)));
    const after = listTree(path.join(cfg.dir, 'tree'));
    cfg.pages = after.filter((e) => !e.dir && !before.has(key(e.rel)));
    for (const p of cfg.pages) if (baseOf(p.rel)[0] === 0x2e) report.fail(cfg, show(p.rel), 'temporary file left behind', 'temporary file left behind');
    cfg.pages = cfg.pages.filter((p) => baseOf(p.rel)[0] !== 0x2e);
    cfg.manifests = cfg.pages.filter((p) => key(p.rel).endsWith('.json'));
    cfg.pages = cfg.pages.filter((p) => !key(p.rel).endsWith('.json'));
    const framesets = cfg.mode === 'framed' ? 1 : 0;
    if (cfg.manifests.length !== cfg.pages.length - framesets) {
      report.fail(cfg, 'build', 'wrong number of manifests', `${cfg.manifests.length} manifests beside ${cfg.pages.length} pages`);
    }
    const want = cfg.mode === 'perfolder' ? fixture.folders.length : cfg.mode === 'framed' ? fixture.folders.length + 2 : 1;
    if (cfg.pages.length !== want) report.fail(cfg, 'build', 'wrong number of pages', `${cfg.pages.length} pages written, ${want} expected`);
    // The link check must find every link of the pages as built, and every name linked.
    const check = spawnSync(opt.vellora, ['--check', ini], { encoding: 'buffer', timeout: 60000 });
    const checked = check.stdout.toString('utf8');
    if (check.status !== 0 || check.stderr.length || !/^检查了 \d+ 个页面, \d+ 个链接: 0 个断开, 0 个未链接, 0 个页面缺少\n$/.test(checked)) {
      report.fail(cfg, 'check', 'link check found problems', `exit ${check.status}: ${(checked + check.stderr.toString('utf8')).trim().slice(0, 600)}`);
    }
  });

  const server = await startServer(work);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vellora-chromium-'));
  const { chromium } = require('playwright-core');
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: CHROMIUM_FLAGS,
  });
  try {
    // Any dialog or call of these marks the page as pwned.
    await context.addInitScript(() => {
      for (const f of ['alert', 'confirm', 'prompt', 'print']) {
        window[f] = (...a) => { window.__pwned = `${f}(${a.join(',')})`; };
      }
    });
    const browserPage = context.pages()[0] || await context.newPage();
    const events = [];
    browserPage.on('dialog', (d) => { events.push(`dialog ${d.type()} ${d.message()}`); d.dismiss().catch(() => {}); });
    browserPage.on('pageerror', () => {});
    for (const cfg of configs) {
      const cfgUrl = '/' + urlOf(b('sites/', cfg.name));
      const ctx = {
        report, browserPage, port: server.port, fixture, cfgUrl, events,
        treeDir: path.join(cfg.dir, 'tree'),
        pageNames: new Set(['index.html', 'left.html', 'right.html']),
      };
      for (const page of cfg.pages) {
        const isFrameset = cfg.mode === 'framed' && key(page.rel) === 'index.html';
        if (cfg.xml) checkXml(report, cfg, b(ctx.treeDir, '/', page.rel), page.rel);
        if (!isFrameset || !cfg.template) {
          const body = fs.readFileSync(b(ctx.treeDir, '/', page.rel)).toString('latin1');
          if (!isFrameset && !/<\/html>\s*$/i.test(body)) report.fail(cfg, show(page.rel), 'page is truncated', 'page does not end with </html>');
        }
        await checkPage(ctx, cfg, page.rel, isFrameset);
        if (!isFrameset) checkManifest(ctx, cfg, page.rel);
      }
    }
  } finally {
    await context.close();
    await server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }

  // Report: each kind of failure once, with its configurations and a few
  // different examples; HOSTILE_ALL=1 lists every failure.
  const seconds = ((Date.now() - started) / 1000).toFixed(1);
  const c = report.counts;
  console.log(`hostile names: ${c.builds} builds, ${c.pages} pages, ${c.links} links, ${c.xml} XHTML pages, ${c.manifests} manifests checked in ${seconds}s`);
  const groups = new Map();
  for (const f of report.failures) {
    if (!groups.has(f.category)) groups.set(f.category, []);
    groups.get(f.category).push(f);
  }
  for (const [category, list] of groups) {
    const cfgs = [...new Set(list.map((f) => f.cfg))];
    console.log(`\nFAIL ${category}: ${list.length} time(s) in ${cfgs.length} configuration(s)`);
    console.log(`  configurations: ${cfgs.slice(0, 8).join('; ')}${cfgs.length > 8 ? '; ...' : ''}`);
    const seen = new Set();
    for (const f of list) {
      const gist = f.what.replace(/http:\/\/127\.0\.0\.1:\d+/g, '').replace(/\/sites\/[^/]*\/tree/g, '');
      if (seen.has(gist)) continue;
      seen.add(gist);
      if (seen.size > 6 && !process.env.HOSTILE_ALL) { console.log('  ...'); break; }
      console.log(`  - ${f.where}: ${gist.slice(0, 400)}${process.env.HOSTILE_ALL ? `  [${f.cfg}]` : ''}`);
    }
  }
  if (opt.json) fs.writeFileSync(opt.json, JSON.stringify(report.failures, null, 1));
  if (!opt.keep && !report.failures.length) fs.rmSync(work, { recursive: true, force: true });
  else console.log(`\nwork folder kept: ${work}`);
  process.exitCode = report.failures.length ? 1 : 0;
}

main().catch((e) => { console.error(e); process.exitCode = 2; });
