// The page's WebAssembly module against the native tool, under Node: for every
// exchange file of the tests and every sample, the same findings, the same
// JSON and, written back, the same bytes; refused where the tool refuses.
//   NORVIK=build/g++/tools/norvik/norvik NORVIK_WEB=build/web node --test web/test/parity.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const tool = path.resolve(process.env.NORVIK ?? path.join(root, 'build/g++/tools/norvik/norvik'));
const web = path.resolve(process.env.NORVIK_WEB ?? path.join(root, 'build/web'));

function run(args, input) {
  const result = spawnSync(tool, args, { input, maxBuffer: 1 << 28 });
  assert.equal(result.error, undefined, `${tool}: ${result.error}`);
  return result;
}

export async function loadModule() {
  const createNorvik = createRequire(import.meta.url)(path.join(web, 'norvik.js'));
  // Node has fetch, which the loader would try on a path: it gets the bytes instead.
  return createNorvik({ wasmBinary: fs.readFileSync(path.join(web, 'norvik.wasm')), print() {}, printErr() {} });
}

function exchangeFiles(folder) {
  const found = [];
  for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
    const full = path.join(folder, entry.name);
    if (entry.isDirectory()) found.push(...exchangeFiles(full));
    else if (/\.bl[1-5]$/.test(entry.name)) found.push(full);
  }
  return found.sort();
}

// The same text once "\r\n" is "\n": a file the writer wrote on Windows.
function sameText(opened, written) {
  return Buffer.from(opened.toString('latin1').replace(/\r\n/g, '\n'), 'latin1').equals(written);
}

// One open file, read as the page reads it, closed after `use`.
function withFile(norvik, name, bytes, use) {
  const file = new norvik.WebFile(name, new Uint8Array(bytes));
  try {
    return use(file);
  } finally {
    file.delete();
  }
}

function bytesOf(answer) {
  assert.equal(answer.error, undefined);
  return Buffer.from(answer.bytes);
}

const samples = fs.mkdtempSync(path.join(os.tmpdir(), 'norvik-samples-'));
process.on('exit', () => fs.rmSync(samples, { recursive: true, force: true }));

test('every file reads, converts and writes as the native tool does', async (t) => {
  const norvik = await loadModule();
  assert.equal(run(['sample', '--all', samples]).status, 0);
  const files = [...exchangeFiles(path.join(root, 'tests')), ...exchangeFiles(samples)];
  assert.ok(files.length >= 50, `only ${files.length} files`);
  let refused = 0;
  const refusedJson = [];
  for (const file of files) {
    const name = path.basename(file);
    const bytes = fs.readFileSync(file);
    await t.test(path.relative(root, file).startsWith('..') ? `sample ${name}` : path.relative(root, file), () => {
      const check = run(['check', '--json', file]);
      if (check.status === 2) {
        refused += 1;
        withFile(norvik, name, bytes, (f) => assert.notEqual(f.error(), '', 'the tool refuses it'));
        return;
      }
      const expected = JSON.parse(check.stdout).files[0];
      const json = run(['to-json', file]);
      assert.equal(json.status, expected.errors > 0 ? 1 : 0, 'to-json fails as check does');
      const written = run(['from-json', '-', '-'], json.stdout);
      withFile(norvik, name, bytes, (f) => {
        assert.equal(f.error(), '');
        assert.equal(f.kind(), expected.kind);
        assert.deepEqual(JSON.parse(f.findings()), expected.findings);
        assert.ok(bytesOf(f.jsonBytes()).equals(json.stdout), 'JSON as to-json prints it');
        if (written.status === 2) {
          refusedJson.push(name);
          assert.notEqual(f.writtenBytes().error, undefined, 'from-json refuses the JSON');
          assert.notEqual(f.fileBytes().error, undefined, 'from-json refuses the JSON');
          return;
        }
        assert.equal(written.status, 0);
        assert.ok(bytesOf(f.writtenBytes()).equals(written.stdout), 'bytes as from-json writes them');
        // "Download file": the bytes opened for a file the writer wrote, else the record rewritten.
        const download = f.fileBytes();
        assert.ok(bytesOf(download).equals(sameText(bytes, written.stdout) ? bytes : written.stdout));
        assert.equal(download.opened === true, sameText(bytes, written.stdout));
      });
    });
    await t.test(`${name} renamed: its kind from its content, as --kind auto`, () => {
      const auto = run(['check', '--json', '--kind', 'auto', file]);
      withFile(norvik, `${name}.txt`, bytes, (f) => {
        if (auto.status === 2) {
          assert.notEqual(f.error(), '', 'the tool refuses it');
          return;
        }
        const expected = JSON.parse(auto.stdout).files[0];
        assert.equal(f.kind(), expected.kind);
        assert.deepEqual(JSON.parse(f.findings()), expected.findings);
      });
    });
  }
  t.diagnostic(`${files.length} files, ${refused} refused by both; JSON refused by from-json: ${refusedJson.join(', ') || 'none'}`);
});

test('differences of two files are the ones norvik diff finds', async () => {
  const norvik = await loadModule();
  const golden = exchangeFiles(path.join(root, 'tests/golden'));
  let pairs = 0;
  for (const a of golden) {
    for (const b of golden) {
      if (a === b || path.extname(a) !== path.extname(b)) continue;
      pairs += 1;
      const diff = run(['diff', '--json', a, b]);
      assert.ok(diff.status === 0 || diff.status === 1, diff.stderr.toString());
      const expected = JSON.parse(diff.stdout).differences;
      withFile(norvik, path.basename(a), fs.readFileSync(a), (fa) => withFile(norvik, path.basename(b), fs.readFileSync(b), (fb) => {
        const got = JSON.parse(norvik.compareFiles(fa, fb)).differences;
        assert.deepEqual(got.map((d) => d.path), expected.map((d) => d.path), `${a} -> ${b}`);
        got.forEach((d, i) => {
          // Absent values are empty; texts as they stand; numbers as the file writes them.
          for (const side of ['old', 'new']) {
            const value = expected[i][side];
            if (value === undefined || value === null) assert.equal(d[side], '', `${d.path} ${side}`);
            else if (typeof value === 'string') assert.equal(d[side], value, `${d.path} ${side}`);
            // A code is shown by the word its file writes ("TRA D" for 1).
            else if (typeof value === 'number' && Number.isInteger(value) && /^[A-Z]/.test(d[side])) continue;
            else if (typeof value === 'number') assert.ok(Math.abs(Number(d[side]) - value) <= 0.0005 + 1e-9 * Math.abs(value), `${d.path} ${side}: ${d[side]} for ${value}`);
          }
        });
      }));
    }
  }
  assert.ok(pairs > 20, `only ${pairs} pairs`);
  const kinds = golden.filter((f) => f.endsWith('.bl1')).slice(0, 1).concat(golden.filter((f) => f.endsWith('.bl2')).slice(0, 1));
  withFile(norvik, 'a.bl1', fs.readFileSync(kinds[0]), (fa) => withFile(norvik, 'b.bl2', fs.readFileSync(kinds[1]), (fb) => {
    assert.match(JSON.parse(norvik.compareFiles(fa, fb)).error, /different kinds \(BL1 and BL2\)/);
  }));
});

test('edits typed as the file writes them reach the written file, -0.000 included', async () => {
  const norvik = await loadModule();
  run(['sample', '--all', samples]);
  const bytes = fs.readFileSync(path.join(samples, 'sample.bl1'));
  withFile(norvik, 'sample.bl1', bytes, (f) => {
    assert.deepEqual(JSON.parse(f.setValue('generalGroup.acier', '-0.000')), { text: '-0.000' });
    assert.deepEqual(JSON.parse(f.setValue('generalGroup.acier', 'abc')).error, 'generalGroup.acier: "abc" is not a number');
    const length = JSON.parse(f.fields(1000)).nodes.find((n) => n.name === 'generalGroup').children.find((n) => n.name === 'loadings').length;
    assert.deepEqual(JSON.parse(f.resize('generalGroup.loadings', length + 1)), {});
    assert.equal(f.edited(), true);
    const json = bytesOf(f.jsonBytes());
    assert.match(json.toString(), /"acier": -0\.0,/);
    const file = bytesOf(f.fileBytes());
    assert.match(file.toString('latin1'), /\n {2}ACIER -0\.000\n/);
    // What the tool writes from the page's JSON is the page's file.
    assert.ok(run(['from-json', '-', '-'], json).stdout.equals(file));
    // The record check says what the file will not carry.
    assert.deepEqual(JSON.parse(f.check()).items, []);
    assert.deepEqual(JSON.parse(f.setValue('generalGroup.repPage', 'B3 N12')), { text: 'B3 N12' });
    assert.deepEqual(JSON.parse(f.check()).items.map((i) => [i.path, i.code]), [['generalGroup.repPage', 'text-with-blank']]);
  });
});

// Emscripten's C++ library has no floating-point to_chars/from_chars: the
// WebAssembly build reads typed numbers and writes reals through the base
// library's own conversions. They must read what V8 reads (correctly rounded,
// subnormals included) and write what the native writer writes.
test('numbers typed read and write as the native library does', async () => {
  const norvik = await loadModule();
  let seed = 20240611n;
  const random64 = () => {
    seed = (seed * 6364136223846793005n + 1442695040888963407n) & 0xffffffffffffffffn;
    return seed;
  };
  const view = new DataView(new ArrayBuffer(8));
  const texts = ['1e300', '-1.7976931348623157e308', '4.9e-324', '2.2250738585072011e-308', '0.0005', '1.0005',
    '-2.5e-3', '123456789012.3456789e3', '9007199254740993', '0.1000000000000000055511151231257827021181583404541015625',
    '1099511627.7765', '-0.0', '355.0625e1'];
  while (texts.length < 300) {
    view.setBigUint64(0, random64());
    const value = view.getFloat64(0);
    if (!Number.isFinite(value)) continue;
    texts.push(texts.length % 2 ? String(value) : value.toExponential(20));
  }
  const base = run(['from-json', '-', '-'], '{"kind": "BL1", "rightTraverse": {"side": 1}}').stdout;
  const efforts = texts.map((text, i) => `{"number": ${i + 1}, "value1": ${text}, "value2": 1, "value3": 1}`);
  const expected = run(['from-json', '-', '-'], `{"kind": "BL1", "rightTraverse": {"side": 1, "efforts": [${efforts.join(', ')}]}}`);
  withFile(norvik, 'numbers.bl1', base, (f) => {
    assert.deepEqual(JSON.parse(f.resize('rightTraverse.efforts', texts.length)), {});
    texts.forEach((text, i) => {
      for (const [member, value] of [['number', String(i + 1)], ['value1', text], ['value2', '1'], ['value3', '1']]) {
        assert.equal(JSON.parse(f.setValue(`rightTraverse.efforts[${i}].${member}`, value)).error, undefined);
      }
    });
    // The doubles read, through the JSON's shortest round-trip form.
    const json = bytesOf(f.jsonBytes()).toString();
    const efforts = json.slice(json.indexOf('"efforts": ['));
    const read = [...efforts.matchAll(/"value1": (\S+?),\n/g)].slice(0, texts.length).map((m) => m[1]);
    assert.equal(read.length, texts.length);
    texts.forEach((text, i) => assert.ok(Object.is(Number(read[i]), Number(text)), `${text} read as ${read[i]}`));
    const written = bytesOf(f.fileBytes()).toString('latin1').split('\n');
    const native = expected.stdout.toString('latin1').split('\n');
    assert.deepEqual(written, native);
  });
});
