// The page in Debian's Chromium, headless, driven by playwright-core through
// the page's test hooks, served from build/web on 127.0.0.1. Prints the size
// and speed figures.
//   NORVIK=build/g++/tools/norvik/norvik NORVIK_WEB=build/web node --test web/test/browser.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { performance } from 'node:perf_hooks';
import zlib from 'node:zlib';

import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const tool = path.resolve(process.env.NORVIK ?? path.join(root, 'build/g++/tools/norvik/norvik'));
const web = path.resolve(process.env.NORVIK_WEB ?? path.join(root, 'build/web'));
const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';
const SIZE_BUDGET = 400 * 1024; // gzip -9 bytes of everything the page requests
const SPEED_BUDGET = 3; // the page's median time to a finding against the native tool's

function run(args, input) {
  const result = spawnSync(tool, args, { input, maxBuffer: 1 << 28 });
  assert.equal(result.error, undefined, `${tool}: ${result.error}`);
  return result;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };

// The folder as any static server serves it.
function serve(folder) {
  const server = http.createServer((request, response) => {
    const file = path.join(folder, decodeURIComponent(new URL(request.url, 'http://localhost').pathname));
    if (!file.startsWith(folder + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    response.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A BL1 file of about 1 MB: 30,000 effort lines, and one finding on the last of them.
function bigFile(folder) {
  const lines = ['"NV_ATT","Large"', '', 'GEN', '  ACIER 355.000', 'FIN', 'TRA D', '  I 300.000 150.000 7.100 10.700 15.000', '  ANG 0.000'];
  for (let i = 1; i <= 30000; i += 1) lines.push(`  EFF ${i} ${(12.5 + (i % 100)).toFixed(3)} ${(-3 - (i % 7)).toFixed(3)} ${(40 + (i % 13)).toFixed(3)}`);
  lines.push('  EFF 30001 12.500 x 40.000', 'FIN');
  const file = path.join(folder, 'large.bl1');
  fs.writeFileSync(file, `${lines.join('\n')}\n`);
  return file;
}

const view = (name) => `[data-file-view="${name}"]`;

async function findingsShown(page, name) {
  return page.$$eval(`${view(name)} [data-finding]`, (nodes) => nodes.map((n) => ({
    line: Number(n.dataset.line), column: n.dataset.column === '' ? null : Number(n.dataset.column),
    severity: n.dataset.severity, code: n.dataset.code,
  })));
}

async function download(page, action) {
  const [event] = await Promise.all([page.waitForEvent('download'), action()]);
  return { name: event.suggestedFilename(), bytes: fs.readFileSync(await event.path()) };
}

// Presses Tab (Shift+Tab backwards) until `selector` has the focus; false after `limit` presses.
async function tabTo(page, selector, { back = false, limit = 1000 } = {}) {
  for (let i = 0; i < limit; i += 1) {
    await page.keyboard.press(back ? 'Shift+Tab' : 'Tab');
    if (await page.evaluate((s) => document.activeElement?.matches(s) ?? false, selector)) return true;
  }
  return false;
}

test('the page in Chromium', { timeout: 240000 }, async (t) => {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'norvik-page-'));
  const server = await serve(web);
  const browser = await chromium.launch({
    executablePath: chromiumPath,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
  try {
    assert.equal(run(['sample', '--all', work]).status, 0);
    const samples = [1, 2, 3, 4, 5].map((k) => path.join(work, `sample.bl${k}`));
    const malformed = path.join(root, 'tests/data/not-a-number.bl1');
    const malformedErrors = JSON.parse(run(['check', '--json', malformed]).stdout).files[0].errors;
    const url = `http://127.0.0.1:${server.address().port}/index.html`;
    const context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1200, height: 900 } });
    const page = await context.newPage();
    page.setDefaultTimeout(30000);
    const requests = [];
    const problems = [];
    let ready = false;
    page.on('request', (r) => requests.push({ url: r.url(), afterLoad: ready }));
    page.on('console', (m) => { if (m.type() === 'error') problems.push(`console: ${m.text()}`); });
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    await page.goto(url);
    await page.waitForSelector('body[data-ready]');
    ready = true;

    await t.test('size: the files the page loads, gzip -9', () => {
      let total = 0;
      for (const r of requests) {
        const file = path.join(web, new URL(r.url).pathname);
        const size = zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
        t.diagnostic(`  ${path.basename(file)}: ${size} bytes`);
        total += size;
      }
      const line = `size: ${requests.length} files, ${(total / 1024).toFixed(1)} KB gzip -9 (budget ${SIZE_BUDGET / 1024} KB)`;
      console.log(line);
      t.diagnostic(line);
      assert.ok(total <= SIZE_BUDGET, line);
    });

    await t.test('the library version, and that files stay on the machine', async () => {
      const version = run(['--version']).stdout.toString().trim().split(' ').pop();
      assert.match(await page.textContent('[data-version]'), new RegExp(version.replace(/\./g, '\\.')));
      assert.match(await page.textContent('body'), /stay on this computer/);
    });

    await t.test('files of every kind and a malformed one show the findings of norvik check', async () => {
      await page.setInputFiles('input[type=file]', [...samples, malformed]);
      for (const file of [...samples, malformed]) {
        const name = path.basename(file);
        await page.waitForSelector(`${view(name)} [data-path="projectName"]`);
        const expected = JSON.parse(run(['check', '--json', file]).stdout).files[0].findings
          .map((f) => ({ line: f.line, column: f.column, severity: f.severity, code: f.code }));
        assert.deepEqual(await findingsShown(page, name), expected, name);
      }
      assert.ok((await findingsShown(page, 'not-a-number.bl1')).length > 0);
      // Fields are there and editable at once, in the file's text form.
      assert.equal(await page.inputValue(`${view('sample.bl1')} [data-path="generalGroup.acier"]`), '355.000');
      assert.equal(await page.inputValue(`${view('sample.bl1')} [data-path="generalGroup.xy[1]"]`), '0.000');
      assert.equal(await page.locator(`${view('sample.bl1')} [data-path="generalGroup.loadings"][data-action="add-element"]`).count(), 1);
    });

    await t.test('a finding shows its line; the list filters by severity', async () => {
      const finding = page.locator(`${view('not-a-number.bl1')} [data-finding][data-line="5"]`);
      await finding.click();
      const line = page.locator(`${view('not-a-number.bl1')} [data-text-line="5"]`);
      assert.equal(await line.getAttribute('data-highlighted'), '');
      assert.equal(await page.locator(`${view('not-a-number.bl1')} [data-highlighted]`).count(), 1);
      assert.ok(await line.isVisible());
      assert.match(await line.textContent(), /NOEUD_NUM 12\.5/);
      const filter = page.locator(`${view('not-a-number.bl1')} select[data-filter]`);
      await filter.selectOption('warning');
      assert.equal(await page.locator(`${view('not-a-number.bl1')} [data-finding]:visible`).count(), 0);
      await filter.selectOption('error');
      assert.equal(await page.locator(`${view('not-a-number.bl1')} [data-finding]:visible`).count(), malformedErrors);
      await filter.selectOption('');
    });

    await t.test('downloads: the bytes opened, or as the tool rewrites them', async () => {
      const opened = await download(page, () => page.click(`${view('sample.bl2')} [data-action="download-file"]`));
      assert.equal(opened.name, 'sample.bl2');
      assert.ok(opened.bytes.equals(fs.readFileSync(samples[1])), 'a file the writer wrote comes back as opened');
      const json = run(['to-json', malformed]).stdout;
      const rewritten = await download(page, () => page.click(`${view('not-a-number.bl1')} [data-action="download-file"]`)
        .then(() => page.click(`${view('not-a-number.bl1')} [data-action="confirm-download"]`)));
      assert.ok(rewritten.bytes.equals(run(['from-json', '-', '-'], json).stdout), 'to-json | from-json');
      const asJson = await download(page, () => page.click(`${view('not-a-number.bl1')} [data-action="download-json"]`));
      assert.equal(asJson.name, 'not-a-number.json');
      assert.ok(asJson.bytes.equals(json), 'the JSON of to-json');
    });

    await t.test('edited values download as the tool writes them, -0.000 included', async () => {
      const v = view('sample.bl1');
      await page.fill(`${v} [data-path="generalGroup.acier"]`, '-0.000');
      await page.press(`${v} [data-path="generalGroup.acier"]`, 'Enter');
      await page.fill(`${v} [data-path="generalGroup.xy[1]"]`, '12.5');
      await page.press(`${v} [data-path="generalGroup.xy[1]"]`, 'Tab');
      assert.equal(await page.inputValue(`${v} [data-path="generalGroup.xy[1]"]`), '12.500');
      await page.fill(`${v} [data-path="generalGroup.noeudNum"]`, 'twelve');
      await page.press(`${v} [data-path="generalGroup.noeudNum"]`, 'Enter');
      assert.equal(await page.getAttribute(`${v} [data-path="generalGroup.noeudNum"]`, 'aria-invalid'), 'true');
      assert.equal(await page.inputValue(`${v} [data-path="generalGroup.noeudNum"]`), '1042', 'a refused value is not kept');
      const code = page.locator(`${v} select[data-path="potGroup.section.type"]`);
      const words = await code.locator('option').evaluateAll((options) => options.map((o) => o.value));
      await code.selectOption(words[2]);
      await page.click(`${v} [data-action="add-element"][data-path="generalGroup.loadings"]`);
      await page.fill(`${v} [data-path="generalGroup.loadings[3].text1"]`, 'W');
      await page.press(`${v} [data-path="generalGroup.loadings[3].text1"]`, 'Tab');
      await page.fill(`${v} [data-path="generalGroup.repPage"]`, 'B3 N12');
      await page.press(`${v} [data-path="generalGroup.repPage"]`, 'Tab');

      await page.click(`${v} [data-action="download-file"]`);
      const checks = await page.$$eval(`${v} [data-check]`, (nodes) => nodes.map((n) => n.textContent));
      assert.ok(checks.some((c) => /generalGroup\.repPage/.test(c) && /text-with-blank/.test(c)), checks.join('\n'));
      const file = await download(page, () => page.click(`${v} [data-action="confirm-download"]`));
      const json = await download(page, () => page.click(`${v} [data-action="download-json"]`));
      assert.equal(file.name, 'sample.bl1');
      assert.match(json.bytes.toString(), /"acier": -0\.0,/);
      assert.match(file.bytes.toString('latin1'), /\n {2}ACIER -0\.000\n/);
      assert.match(file.bytes.toString('latin1'), /\n {2}XY 6000\.000 12\.500 7200\.000\n/);
      assert.ok(run(['from-json', '-', '-'], json.bytes).stdout.equals(file.bytes), 'from-json of the page JSON');
    });

    await t.test('two files compare as norvik diff does', async () => {
      const other = path.join(root, 'tests/golden/bl1_example.bl1');
      await page.setInputFiles('input[type=file]', [other, samples[0]]);
      await page.waitForSelector(`${view('sample.bl1 (2)')} [data-path="projectName"]`);
      await page.selectOption('select[data-compare="a"]', 'bl1_example.bl1');
      await page.selectOption('select[data-compare="b"]', 'sample.bl1 (2)');
      await page.click('[data-action="compare"]');
      await page.waitForSelector('[data-diff-path]');
      const rows = await page.$$eval('[data-diff-path]', (nodes) => nodes.map((n) => ({
        path: n.dataset.diffPath, old: n.dataset.diffOld, new: n.dataset.diffNew })));
      const expected = JSON.parse(run(['diff', '--json', other, samples[0]]).stdout).differences;
      assert.deepEqual(rows.map((r) => r.path), expected.map((d) => d.path));
      const acier = rows.find((r) => r.path === 'generalGroup.acier');
      assert.deepEqual([acier.old, acier.new], ['235.000', '355.000']);
      const added = rows.find((r) => r.path === 'generalGroup.loadings[1]');
      assert.equal(added.old, '');
      // Files of two kinds are refused with a reason.
      await page.selectOption('select[data-compare="b"]', 'sample.bl2');
      await page.click('[data-action="compare"]');
      assert.match(await page.textContent('#compare-result'), /different kinds \(BL1 and BL2\)/);
    });

    await t.test('an unreadable file says why, and the page goes on', async () => {
      await page.setInputFiles('input[type=file]', { name: 'notes.txt', mimeType: 'text/plain', buffer: Buffer.from('Minutes of the site meeting\n\nNothing to report.\n') });
      const message = await page.textContent(`${view('notes.txt')} [data-file-error]`);
      assert.match(message, /notes\.txt: neither the tag line nor the headers show the kind of file/);
      await page.setInputFiles('input[type=file]', samples[2]);
      await page.waitForSelector(`${view('sample.bl3 (2)')} [data-path="projectName"]`);
    });

    await t.test('200% zoom: no horizontal scroll at 640x800', async () => {
      await page.setViewportSize({ width: 640, height: 800 });
      const widths = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
      assert.ok(widths[0] <= widths[1], `scroll width ${widths[0]} > ${widths[1]}`);
      await page.setViewportSize({ width: 1200, height: 900 });
    });

    await t.test('axe-core: no WCAG 2 A or AA violation', async () => {
      const axe = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
      await page.evaluate(axe);
      const result = await page.evaluate(() => globalThis.axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }));
      const violations = result.violations.map((v) => `${v.id}: ${v.help} (${v.nodes.length}) ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ')}`);
      assert.deepEqual(violations, []);
    });

    await t.test('speed: a 1 MB file against norvik check', async () => {
      const large = bigFile(work);
      const native = [];
      for (let i = 0; i < 5; i += 1) {
        const start = process.hrtime.bigint();
        assert.equal(run(['check', large]).status, 1);
        native.push(Number(process.hrtime.bigint() - start) / 1e6);
      }
      // The page notes when the finding is in the document, at the next frame:
      // Playwright's own polling would wait for the text and fields made after it.
      const browser_ = [];
      for (let i = 0; i < 5; i += 1) {
        await page.evaluate((selector) => {
          globalThis.findingShown = new Promise((resolve) => {
            const observer = new MutationObserver(() => {
              if (!document.querySelector(selector)) return;
              observer.disconnect();
              requestAnimationFrame(() => resolve(performance.timeOrigin + performance.now()));
            });
            observer.observe(document.body, { childList: true, subtree: true });
          });
        }, `${view('large.bl1')} [data-finding][data-line="30009"]`);
        const start = performance.timeOrigin + performance.now();
        await page.setInputFiles('input[type=file]', large);
        const shown = await page.evaluate(() => globalThis.findingShown);
        browser_.push(shown - start);
        await page.waitForSelector(`${view('large.bl1')} [data-path="rightTraverse.efforts[49].value3"]`);
        await page.click(`${view('large.bl1')} [data-action="close-file"]`);
      }
      const ratio = median(browser_) / median(native);
      const line = `speed: page ${median(browser_).toFixed(1)} ms, norvik check ${median(native).toFixed(1)} ms (medians of 5), ratio ${ratio.toFixed(2)} (budget ${SPEED_BUDGET})`;
      console.log(line);
      t.diagnostic(line);
      assert.ok(ratio <= SPEED_BUDGET, line);
    });

    await t.test('no request after load, no console error', () => {
      const late = requests.filter((r) => r.afterLoad && !/^(blob|data):/.test(r.url)).map((r) => r.url);
      assert.deepEqual(late, []);
      assert.deepEqual(problems, []);
    });

    await t.test('keyboard alone reaches and works every control', async () => {
      await page.close();
      const keys = await context.newPage();
      // Listening from the start: Playwright takes over the file dialog only once it listens.
      const chosen = new Promise((resolve) => keys.once('filechooser', resolve));
      await keys.bringToFront();
      await keys.goto(url);
      await keys.waitForSelector('body[data-ready]');
      assert.ok(await tabTo(keys, 'input[type=file]'));
      await keys.keyboard.press('Enter');
      const chooser = await chosen;
      await chooser.setFiles([malformed, path.join(root, 'tests/golden/bl1_example.bl1')]);
      await keys.waitForSelector(`${view('bl1_example.bl1')} [data-path="projectName"]`);

      // One full round of Tab reaches every control of the page.
      await keys.evaluate(() => document.activeElement.blur());
      const controls = await keys.$$eval('button, input, select, summary, [tabindex="0"]', (nodes) =>
        nodes.filter((n) => !n.disabled && n.getClientRects().length > 0).length);
      let reached = 0;
      for (let i = 0; i < controls + 5; i += 1) {
        await keys.keyboard.press('Tab');
        const fresh = await keys.evaluate(() => {
          const active = document.activeElement;
          if (!active || active === document.body || active.dataset.reached !== undefined) return false;
          active.dataset.reached = '';
          return true;
        });
        if (fresh) reached += 1;
      }
      assert.equal(reached, controls, 'every control is reached by Tab');

      // A finding, a field, a fold, the lists, the downloads, closing and comparing, with Tab and Enter.
      const malformedView = view('not-a-number.bl1');
      assert.ok(await tabTo(keys, `${malformedView} [data-finding][data-line="6"]`));
      await keys.keyboard.press('Enter');
      assert.equal(await keys.getAttribute(`${malformedView} [data-text-line="6"]`, 'data-highlighted'), '');
      assert.ok(await tabTo(keys, `${malformedView} select[data-filter]`, { back: true }));
      await keys.keyboard.press('ArrowDown');
      assert.equal(await keys.inputValue(`${malformedView} select[data-filter]`), 'error');
      await keys.keyboard.press('ArrowDown');
      assert.equal(await keys.locator(`${malformedView} [data-finding]:visible`).count(), 0, 'no warning');
      await keys.keyboard.press('ArrowUp');
      await keys.keyboard.press('ArrowUp');
      assert.equal(await keys.locator(`${malformedView} [data-finding]:visible`).count(), malformedErrors);
      assert.ok(await tabTo(keys, `${malformedView} [data-path="generalGroup.acier"]`));
      await keys.keyboard.type('235');
      await keys.keyboard.press('Enter');
      assert.equal(await keys.inputValue(`${malformedView} [data-path="generalGroup.acier"]`), '235.000');
      assert.ok(await tabTo(keys, `${view('bl1_example.bl1')} summary`));
      await keys.keyboard.press('Enter');
      assert.equal(await keys.evaluate(() => document.activeElement.parentElement.open), false);
      await keys.keyboard.press('Enter');
      assert.ok(await tabTo(keys, `${view('bl1_example.bl1')} [data-action="add-element"]`));
      await keys.keyboard.press('Enter');
      assert.ok(await keys.isVisible(`${view('bl1_example.bl1')} [data-path="generalGroup.loadings[1].number"]`));
      assert.ok(await tabTo(keys, `${view('bl1_example.bl1')} [data-action="remove-element"]`));
      await keys.keyboard.press('Enter');
      assert.equal(await keys.locator(`${view('bl1_example.bl1')} [data-path="generalGroup.loadings[1].number"]`).count(), 0);
      assert.ok(await tabTo(keys, 'select[data-compare="b"]'));
      assert.ok(await tabTo(keys, '[data-action="compare"]'));
      await keys.keyboard.press('Enter');
      await keys.waitForSelector('[data-diff-path="projectName"][data-diff-old="P"][data-diff-new="Hall 2"]');
      assert.ok(await tabTo(keys, `${malformedView} [data-action="download-json"]`));
      const json = await download(keys, () => keys.keyboard.press('Enter'));
      assert.match(json.bytes.toString(), /"acier": 235\.0/);
      assert.ok(await tabTo(keys, `${malformedView} [data-action="download-file"]`, { back: true }));
      await keys.keyboard.press('Enter');
      assert.ok(await keys.evaluate(() => document.activeElement.dataset.action === 'confirm-download'), 'the check takes the focus');
      const file = await download(keys, () => keys.keyboard.press('Enter'));
      assert.match(file.bytes.toString('latin1'), /ACIER 235\.000/);
      assert.ok(await tabTo(keys, `${malformedView} [data-action="close-file"]`, { back: true }));
      await keys.keyboard.press('Enter');
      assert.equal(await keys.locator(malformedView).count(), 0);
      await keys.close();
    });
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
});
