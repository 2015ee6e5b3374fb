'use strict';
// A static file server on 127.0.0.1 that maps URL paths to file names byte
// for byte: percent escapes are decoded to raw bytes, never through UTF-8,
// so that names that are not UTF-8 can be served. The query is ignored, as
// ordinary servers do. A folder answers with a plain listing. HTML pages are
// sent with the charset given (default UTF-8), or with none, as many plain
// servers do, for checks that the pages declare their own.
const fs = require('fs');
const http = require('http');

// "/a%20b/%FF" -> <Buffer 2f 61 20 62 2f ff>; null for a malformed escape.
function decodePath(urlPath) {
  const out = [];
  for (let i = 0; i < urlPath.length; i++) {
    const c = urlPath.charCodeAt(i);
    if (c === 0x25) {
      const hex = urlPath.slice(i + 1, i + 3);
      if (!/^[0-9a-fA-F]{2}$/.test(hex)) return null;
      out.push(parseInt(hex, 16));
      i += 2;
    } else if (c < 0x80) {
      out.push(c);
    } else {
      return null; // browsers send URLs in ASCII
    }
  }
  return Buffer.from(out);
}

function pathOfUrl(url) {
  const q = url.indexOf('?');
  return decodePath(q < 0 ? url : url.slice(0, q));
}

// Starts the server on a free port; resolves to { port, close }.
function startServer(rootDir, { htmlCharset = 'utf-8' } = {}) {
  const root = Buffer.from(rootDir.replace(/\/+$/, ''), 'utf8');
  const server = http.createServer((req, res) => {
    const rel = pathOfUrl(req.url);
    const segments = rel ? rel.toString('latin1').split('/') : [];
    if (!rel || rel[0] !== 0x2f || rel.includes(0) || segments.includes('..') || segments.includes('.')) {
      res.writeHead(400).end('bad path\n');
      return;
    }
    const file = Buffer.concat([root, rel]);
    fs.stat(file, (err, st) => {
      if (err) {
        res.writeHead(404).end('not found\n');
      } else if (st.isDirectory()) {
        fs.readdir(file, { encoding: 'buffer' }, (e2, names) => {
          if (e2) return res.writeHead(403).end('unreadable\n');
          res.writeHead(200, { 'content-type': 'text/plain; charset=x-user-defined' });
          res.end(Buffer.concat([Buffer.from('FOLDER LISTING\n'), ...names.map((n) => Buffer.concat([n, Buffer.from('\n')]))]));
        });
      } else {
        fs.readFile(file, (e2, data) => {
          if (e2) return res.writeHead(403).end('unreadable\n');
          const html = /\.html?$/i.test(file.toString('latin1'));
          const htmlType = htmlCharset ? `text/html; charset=${htmlCharset}` : 'text/html';
          res.writeHead(200, { 'content-type': html ? htmlType : 'application/octet-stream' });
          res.end(data);
        });
      }
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      resolve({
        port: server.address().port,
        close: () => new Promise((r) => server.close(r)),
      });
    });
  });
}

// GET over a fresh connection; resolves to { status, body }.
function get(port, urlPath) {
  return new Promise((resolve, reject) => {
    const req = http.get({ host: '127.0.0.1', port, path: urlPath, agent: false }, (res) => {
      const chunks = [];
      res.on('data', (c) => chunks.push(c));
      res.on('end', () => resolve({ status: res.statusCode, body: Buffer.concat(chunks) }));
    });
    req.on('error', reject);
  });
}

module.exports = { startServer, get, pathOfUrl };
