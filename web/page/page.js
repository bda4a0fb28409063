// The page: exchange files opened in the browser and handed to the library's
// WebAssembly module (norvik.js, a classic script that defines createNorvik).
// Values are shown and edited as the file's text; the module parses them, so
// no number of a record passes through JavaScript.

const LIST_STEP = 50; // elements of a list shown at first, and added by "Show more"
const FINDINGS_SHOWN = 1000; // findings listed at once; the count says how many there are
const CHUNK_LINES = 200; // lines of a file's text made at once, when scrolled near

let norvik = null;
const views = []; // the open files, in the order chosen: {name, file, kind, section, text}
const log = []; // what the library printed: kept, never shown as a console error
let ids = 0;

function nextId(prefix) {
  ids += 1;
  return `${prefix}-${ids}`;
}

// An element with attributes ("text" sets its text) and children.
function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name === 'text') node.textContent = value;
    else node.setAttribute(name, value === true ? '' : value);
  }
  node.append(...children.filter((c) => c !== null && c !== undefined));
  return node;
}

function announce(message) {
  document.getElementById('status').textContent = message;
}

function save(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = el('a', { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
  announce(`Saved ${name} to your downloads.`);
}

function plural(count, word) {
  return `${count} ${word}${count === 1 ? '' : 's'}`;
}

// ---- Opening ----------------------------------------------------------------

function uniqueName(name) {
  let unique = name;
  for (let n = 2; views.some((v) => v.name === unique); n += 1) unique = `${name} (${n})`;
  return unique;
}

async function openFiles(files) {
  for (const file of files) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    openView(file.name, bytes);
  }
  announce(`Opened ${plural(files.length, 'file')}.`);
}

function openView(fileName, bytes) {
  const name = uniqueName(fileName);
  const file = new norvik.WebFile(fileName, bytes);
  const headingId = nextId('file');
  const section = el('section', { class: 'view panel', 'data-file-view': name, 'aria-labelledby': headingId });
  const view = { name, fileName, file, kind: file.kind(), section, text: null };
  views.push(view);
  const heading = el('h2', { id: headingId }, name, view.kind ? el('span', { class: 'kind', text: ` ${view.kind}` }) : null);
  const close = el('button', { type: 'button', 'data-action': 'close-file', 'aria-label': `Close ${name}`, text: 'Close' });
  close.addEventListener('click', () => closeView(view));
  section.append(el('div', { class: 'view-head' }, heading, close));
  document.getElementById('views').append(section);

  const error = file.error();
  if (error) {
    section.append(el('p', { class: 'file-error', role: 'alert', 'data-file-error': true, text: `This file cannot be read: ${error}` }));
    updateCompare();
    return;
  }
  const findings = JSON.parse(file.findings());
  const text = el('div', { class: 'text' });
  view.text = text;
  section.append(actions(view), findingsList(view, findings), text);
  updateCompare();
  // The findings first; the text and the fields once they have been painted.
  requestAnimationFrame(() => setTimeout(() => {
    if (!views.includes(view)) return;
    showText(view, bytes, findings);
    setTimeout(() => {
      if (views.includes(view)) section.append(fieldTree(view));
    }, 0);
  }, 0));
}

function closeView(view) {
  views.splice(views.indexOf(view), 1);
  view.file.delete();
  view.section.remove();
  updateCompare();
  announce(`Closed ${view.name}.`);
  document.getElementById('files').focus();
}

// ---- Findings -----------------------------------------------------------------

function findingsList(view, findings) {
  const errors = findings.filter((f) => f.severity === 'error').length;
  const summary = findings.length === 0 ? 'No findings: the file reads cleanly.'
    : `${plural(errors, 'error')}, ${plural(findings.length - errors, 'warning')}.`;
  const filterId = nextId('filter');
  const filter = el('select', { id: filterId, 'data-filter': true },
    el('option', { value: '', text: 'all' }),
    el('option', { value: 'error', text: 'errors' }),
    el('option', { value: 'warning', text: 'warnings' }));
  const list = el('ol', { class: 'findings' });
  for (const f of findings.slice(0, FINDINGS_SHOWN)) {
    const where = f.line === 0 ? 'the file' : `line ${f.line}${f.column ? `, column ${f.column}` : ''}`;
    const button = el('button', {
      type: 'button', class: `finding ${f.severity}`, 'data-finding': true, 'data-line': f.line,
      'data-column': f.column ?? '', 'data-severity': f.severity, 'data-code': f.code,
    }, el('span', { class: 'severity', text: f.severity }), ` ${where}: ${f.message} `, el('code', { text: `[${f.code}]` }));
    button.addEventListener('click', () => showLine(view, f.line));
    list.append(el('li', {}, button));
  }
  filter.addEventListener('change', () => {
    for (const item of list.children) {
      const severity = item.firstChild.dataset.severity;
      item.hidden = filter.value !== '' && severity !== filter.value;
    }
  });
  const more = findings.length > FINDINGS_SHOWN ? el('p', { text: `The first ${FINDINGS_SHOWN} are listed.` }) : null;
  return el('div', { class: 'findings-block' },
    el('h3', { text: 'Findings' }),
    el('p', { class: 'summary', text: summary }),
    findings.length ? el('p', {}, el('label', { for: filterId, text: 'Show ' }), filter) : null,
    list, more);
}

// ---- Text ---------------------------------------------------------------------

// Control characters made visible (a lone CR, an escape), tabs kept.
function visible(line) {
  // eslint-disable-next-line no-control-regex
  return line.replace(/[\x00-\x08\x0b-\x1f\x7f]/g, (c) => String.fromCharCode(0x2400 + (c === '\x7f' ? 0x21 : c.charCodeAt(0))));
}

function showText(view, bytes, findings) {
  // Files are Windows-1252; a line ends at "\n", as the readers count them.
  const lines = new TextDecoder('windows-1252').decode(bytes).split('\n');
  if (lines.length > 1 && lines[lines.length - 1] === '') lines.pop();
  const marks = new Map();
  for (const f of findings) {
    if (f.line > 0 && marks.get(f.line) !== 'error') marks.set(f.line, f.severity);
  }
  const region = el('div', { class: 'lines', role: 'region', tabindex: '0', 'aria-label': `Text of ${view.name}` });
  const chunks = [];
  const fill = (chunk) => {
    if (chunk.filled) return;
    chunk.filled = true;
    const rows = [];
    for (let n = chunk.first; n < chunk.first + chunk.count; n += 1) {
      const text = visible(lines[n - 1].endsWith('\r') ? lines[n - 1].slice(0, -1) : lines[n - 1]);
      const mark = marks.get(n);
      rows.push(el('div', { class: `line${mark ? ` marked ${mark}` : ''}`, 'data-text-line': n },
        el('span', { class: 'number', text: String(n) }), el('span', { class: 'content', text: text || ' ' })));
    }
    chunk.node.replaceChildren(...rows);
    chunk.node.style.height = '';
  };
  const observer = new IntersectionObserver((entries) => {
    for (const entry of entries) {
      if (entry.isIntersecting) {
        fill(chunks[Number(entry.target.dataset.chunk)]);
        observer.unobserve(entry.target);
      }
    }
  }, { root: region, rootMargin: '400px 0px' });
  for (let first = 1; first <= lines.length; first += CHUNK_LINES) {
    const count = Math.min(CHUNK_LINES, lines.length - first + 1);
    const node = el('div', { class: 'chunk', 'data-chunk': chunks.length });
    node.style.height = `calc(${count} * var(--line))`;
    chunks.push({ first, count, node, filled: false });
    region.append(node);
    observer.observe(node);
  }
  view.text.replaceChildren(el('h3', { text: 'Text' }), region);
  view.lineAt = (line) => {
    const chunk = chunks[Math.floor((line - 1) / CHUNK_LINES)];
    if (!chunk) return null;
    fill(chunk);
    return chunk.node.children[(line - 1) % CHUNK_LINES];
  };
}

function showLine(view, line) {
  const row = view.lineAt ? view.lineAt(line) : null;
  if (!row) return;
  for (const old of view.section.querySelectorAll('[data-highlighted]')) old.removeAttribute('data-highlighted');
  row.setAttribute('data-highlighted', '');
  row.scrollIntoView({ block: 'center' });
}

// ---- Fields -------------------------------------------------------------------

function fieldTree(view) {
  const tree = JSON.parse(view.file.fields(LIST_STEP));
  const box = el('div', { class: 'record' }, el('h3', { text: 'Record' }),
    el('p', { class: 'hint', text: 'Change a value and leave its box (or press Enter): the library reads it as the file would.' }));
  if (tree.error) {
    box.append(el('p', { role: 'alert', text: tree.error }));
    return box;
  }
  box.append(...tree.nodes.map((n) => nodeOf(view, n)));
  return box;
}

function nodeOf(view, node) {
  if (node.t === 'field') return fieldRow(view, node);
  const body = el('div', { class: 'children' }, ...node.children.map((c) => nodeOf(view, c)));
  const label = node.t === 'list' ? `${node.name} (${plural(node.length, 'element')})` : node.name;
  const summary = el('summary', { text: label });
  const group = el('details', { open: true, class: node.t }, summary, body);
  if (node.t === 'list') group.append(listControls(view, node, body, summary));
  return group;
}

function listControls(view, node, body, summary) {
  let length = node.length;
  let shown = node.children.length;
  const more = el('button', { type: 'button', 'data-action': 'more-elements', 'data-path': node.path });
  const add = el('button', { type: 'button', 'data-action': 'add-element', 'data-path': node.path, text: 'Add an element', 'aria-label': `Add an element to ${node.path}` });
  const remove = el('button', { type: 'button', 'data-action': 'remove-element', 'data-path': node.path, text: 'Remove the last element', 'aria-label': `Remove the last element of ${node.path}` });
  const message = el('p', { class: 'field-error', role: 'alert' });
  const render = (count) => {
    const answer = JSON.parse(view.file.elements(node.path, 0, count));
    if (answer.error) {
      message.textContent = answer.error;
      return;
    }
    length = answer.length;
    shown = answer.nodes.length;
    body.replaceChildren(...answer.nodes.map((n) => nodeOf(view, n)));
    summary.textContent = `${node.name} (${plural(length, 'element')})`;
    more.hidden = shown >= length;
    more.textContent = `Show ${Math.min(LIST_STEP, length - shown)} more of ${length}`;
    remove.disabled = length === 0;
  };
  const resize = (to) => {
    const answer = JSON.parse(view.file.resize(node.path, to));
    message.textContent = answer.error ?? '';
    if (!answer.error) render(Math.max(shown, Math.min(to, length + 1)));
  };
  more.addEventListener('click', () => render(shown + LIST_STEP));
  add.addEventListener('click', () => resize(length + 1));
  remove.addEventListener('click', () => resize(length - 1));
  more.hidden = shown >= length;
  more.textContent = `Show ${Math.min(LIST_STEP, length - shown)} more of ${length}`;
  remove.disabled = length === 0;
  return el('div', { class: 'list-controls' }, more, add, remove, message);
}

function fieldRow(view, node) {
  const id = nextId('field');
  const infoId = `${id}-info`;
  const errorId = `${id}-error`;
  const common = { id, 'data-path': node.path, 'aria-describedby': `${infoId} ${errorId}`, 'aria-invalid': node.error ? 'true' : null };
  let control;
  if (node.type === 'code') {
    control = el('select', common, el('option', { value: '', text: '(unset)' }),
      ...node.choices.map((word) => el('option', { value: word, text: word })));
    control.value = node.text;
  } else {
    const mode = node.type === 'real' ? 'decimal' : node.type === 'integer' ? 'numeric' : null;
    control = el('input', { ...common, type: 'text', inputmode: mode, spellcheck: 'false', autocomplete: 'off' });
    control.value = node.text;
  }
  const facts = [node.keyword ? `${node.group ? `${node.group} ` : ''}${node.keyword}` : 'no line of its own',
    node.line ? `line ${node.line}` : null, node.format ? `format ${node.format}` : null,
    node.when ? `written when: ${node.when}` : null].filter(Boolean);
  const info = el('span', { class: 'info', id: infoId, text: facts.join(' · ') });
  const error = el('span', { class: 'field-error', id: errorId, text: node.error ? `Read with an error: ${node.error}` : '' });
  let stored = node.text;
  control.addEventListener('change', () => {
    const answer = JSON.parse(view.file.setValue(node.path, control.value));
    if (answer.error) {
      error.textContent = `${answer.error}: the value stays ${stored === '' ? 'unset' : stored}.`;
      control.setAttribute('aria-invalid', 'true');
      control.value = stored;
      return;
    }
    stored = answer.text;
    control.value = answer.text;
    control.removeAttribute('aria-invalid');
    error.textContent = '';
    view.section.classList.add('edited');
  });
  return el('div', { class: `field${node.error ? ' has-error' : ''}` },
    el('label', { for: id, text: node.name }), control, info, error);
}

// ---- Downloads ----------------------------------------------------------------

function actions(view) {
  const check = el('div', { class: 'check', hidden: true, role: 'group', 'aria-label': `Before ${view.name} is written` });
  const downloadFile = el('button', { type: 'button', 'data-action': 'download-file', text: 'Download file' });
  const downloadJson = el('button', { type: 'button', 'data-action': 'download-json', text: 'Download JSON' });
  const message = el('p', { class: 'field-error', role: 'alert' });
  const saveFile = (answer) => {
    if (answer.error) message.textContent = `The file cannot be written: ${answer.error}`;
    else save(view.fileName, answer.bytes, 'application/octet-stream');
  };
  downloadFile.addEventListener('click', () => {
    message.textContent = '';
    const answer = view.file.fileBytes();
    const items = answer.opened || answer.error ? [] : (JSON.parse(view.file.check()).items ?? []);
    if (items.length === 0) {
      saveFile(answer);
      return;
    }
    const confirm = el('button', { type: 'button', 'data-action': 'confirm-download', text: 'Download all the same' });
    const cancel = el('button', { type: 'button', 'data-action': 'cancel-download', text: 'Cancel' });
    confirm.addEventListener('click', () => {
      check.hidden = true;
      saveFile(answer);
      downloadFile.focus();
    });
    cancel.addEventListener('click', () => {
      check.hidden = true;
      downloadFile.focus();
    });
    check.replaceChildren(
      el('p', { text: `The file will not give back ${plural(items.length, 'value')} as ${items.length === 1 ? 'it stands' : 'they stand'}:` }),
      el('ul', {}, ...items.map((i) => el('li', { 'data-check': true, 'data-path': i.path }, `${i.path}: ${i.reason} `, el('code', { text: `[${i.code}]` })))),
      el('div', { class: 'buttons' }, confirm, cancel));
    check.hidden = false;
    confirm.focus();
  });
  downloadJson.addEventListener('click', () => {
    const answer = view.file.jsonBytes();
    if (answer.error) message.textContent = answer.error;
    else save(`${view.fileName.replace(/\.[^.]*$/, '')}.json`, answer.bytes, 'application/json');
  });
  return el('div', { class: 'actions' }, el('div', { class: 'buttons' }, downloadFile, downloadJson), check, message);
}

// ---- Comparing ----------------------------------------------------------------

function updateCompare() {
  const readable = views.filter((v) => v.kind);
  const panel = document.getElementById('compare');
  panel.hidden = readable.length < 2;
  const selects = ['a', 'b'].map((side) => document.querySelector(`select[data-compare="${side}"]`));
  // The first two files in the order chosen, unless the user chose others.
  selects.forEach((select, index) => {
    const before = select.value;
    select.replaceChildren(...readable.map((v) => el('option', { value: v.name, text: `${v.name} (${v.kind})` })));
    const keep = select.dataset.chosen !== undefined && readable.some((v) => v.name === before);
    select.value = keep ? before : (readable[index] ?? readable[0])?.name ?? '';
  });
}

function compareChosen() {
  const [a, b] = ['a', 'b'].map((side) => views.find((v) => v.name === document.querySelector(`select[data-compare="${side}"]`).value));
  const result = document.getElementById('compare-result');
  if (!a || !b) return;
  const answer = JSON.parse(norvik.compareFiles(a.file, b.file));
  if (answer.error) {
    result.replaceChildren(el('p', { role: 'alert', text: `These files cannot be compared: ${answer.error}` }));
    return;
  }
  if (answer.differences.length === 0) {
    result.replaceChildren(el('p', { text: `${a.name} and ${b.name} hold the same record.` }));
    return;
  }
  const rows = answer.differences.map((d) => el('tr', { 'data-diff-path': d.path, 'data-diff-old': d.old, 'data-diff-new': d.new },
    el('th', { scope: 'row' }, d.path, d.keyword ? el('span', { class: 'keyword', text: ` ${d.keyword}` }) : null),
    el('td', { text: d.old }), el('td', { text: d.new })));
  result.replaceChildren(
    el('p', { text: `${plural(answer.differences.length, 'difference')} from ${a.name} to ${b.name}:` }),
    el('table', {}, el('thead', {}, el('tr', {}, el('th', { scope: 'col', text: 'Field' }),
      el('th', { scope: 'col', text: a.name }), el('th', { scope: 'col', text: b.name }))), el('tbody', {}, ...rows)));
}

// ---- Start --------------------------------------------------------------------

async function start() {
  norvik = await globalThis.createNorvik({
    locateFile: (file) => new URL(file, import.meta.url).href,
    print: (line) => log.push(line),
    printErr: (line) => log.push(line),
  });
  for (const node of document.querySelectorAll('[data-version]')) node.textContent = norvik.version();
  const input = document.getElementById('files');
  input.disabled = false;
  input.addEventListener('change', () => {
    const files = [...input.files];
    input.value = '';
    openFiles(files);
  });
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    openFiles([...event.dataTransfer.files]);
  });
  document.querySelector('[data-action="compare"]').addEventListener('click', compareChosen);
  for (const select of document.querySelectorAll('select[data-compare]')) {
    select.addEventListener('change', () => { select.dataset.chosen = ''; });
  }
  announce('Ready: choose or drop files.');
  document.body.dataset.ready = '';
}

start().catch((error) => announce(`The library could not be loaded: ${error.message ?? error}`));
