'use strict';
// The page reads settings exactly as the plugin does: both read the same
// value texts (the setting fuzzer's seeds, the edge cases of the settings,
// and at least 100,000 generated texts of each kind) and the same INI files,
// and every stored value must match. The plugin's side is its own code: the
// value parsers and the reload, natively and in the Windows build, and the
// real file reading under Wine.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const probe = require('./support/settings-probe');
const { generator } = require('./support/value-generator');
const { iniFiles } = require('./support/ini-generator');
const { repository } = require('./support/build-tree');

const SEED = Number(process.env.LUMENVEIL_EQUIVALENCE_SEED || 20261207);
const PER_KIND = Number(process.env.LUMENVEIL_EQUIVALENCE_VALUES || 100000);
const { SETTINGS } = probe;

// Texts every key is read with: the fuzzer's seeds line by line, and the
// cases the plugin's settings are known to turn on.
function edgeCaseTexts() {
  const corpus = path.join(repository, 'fuzz', 'corpus', 'setting_values_fuzzer');
  const seeds = fs.readdirSync(corpus).flatMap((file) => fs.readFileSync(path.join(corpus, file), 'latin1').split(/\r?\n/));
  const known = ['', '1', '0', 'true', 'yes', '2', '10001', '-5', '+5', '5x', '99999999999', '65536', '65537',
    '100', '100.5', '-1', '-', '.', '1e2', '12.5.3', '-0', '0x70', '70', '70h', '112', 'FF', 'G1', ' 70', '-FFFFFFFF',
    // Rounds up to the smallest normal float: an underflow for one C library, not for the other.
    `0.${'0'.repeat(37)}11754943`, `0.${'0'.repeat(44)}1`];
  return [...new Set([...seeds, ...known])];
}

function recordsOfEachText(texts) {
  return texts.map((text) => SETTINGS.map(() => text));
}

// Enough records that every kind gets `perKind` texts: each key draws from
// its kind's generator.
function generatedRecords(perKind) {
  const { kinds } = generator(SEED);
  const keysOfKind = (kind) => SETTINGS.filter((setting) => setting.kind === kind).length;
  const count = Math.max(...Object.keys(kinds).map((kind) => Math.ceil(perKind / keysOfKind(kind))));
  const counts = Object.fromEntries(Object.keys(kinds).map((kind) => [kind, count * keysOfKind(kind)]));
  const records = Array.from({ length: count }, () => SETTINGS.map((setting) => kinds[setting.kind]()));
  return { records, counts };
}

function mismatches(records, expected, actual) {
  assert.equal(actual.length, expected.length, 'one line of stored values per record');
  const found = [];
  expected.forEach((line, index) => {
    if (line === actual[index]) return;
    const plugin = line.split('\t');
    const page = actual[index].split('\t');
    SETTINGS.forEach((setting, key) => {
      if (plugin[key] !== page[key]) {
        found.push(`${setting.key}=${JSON.stringify(records[index][key])}: plugin ${plugin[key]}, page ${page[key]}`);
      }
    });
  });
  return found;
}

const edge = recordsOfEachText(edgeCaseTexts());
const generated = generatedRecords(PER_KIND);
const allRecords = [...edge, ...generated.records];
let windowsReading = null;
const pluginOnWindows = () => (windowsReading ??= probe.pluginReadsValuesOnWindows(allRecords));

test('the page stores what the Windows build of the plugin stores, value by value', () => {
  const plugin = pluginOnWindows();
  const page = probe.pageReadsValues(allRecords);
  const found = mismatches(allRecords, plugin, page);
  console.log(`values compared with the Windows build: ${edge.length} edge-case texts for each of the 26 keys; ` +
    `generated per kind: ${Object.entries(generated.counts).map(([kind, n]) => `${kind} ${n}`).join(', ')} (seed ${SEED})`);
  assert.deepEqual(found.slice(0, 20), [], `${found.length} stored values differ`);
});

test('the native build of the plugin stores the same, but where the C libraries round tiny floats differently', () => {
  const windows = pluginOnWindows();
  const native = probe.pluginReadsValuesNatively(allRecords);
  const differences = mismatches(allRecords, windows, native);
  // Just below the smallest normal float, the GNU C library reports an
  // underflow when the text's exact value is tiny, the Windows one only when
  // the rounded result is; everything else must agree.
  const unexplained = differences.filter((difference) => !/^fShowBelow\w+Percent="0\.0{37}/.test(difference));
  console.log(`values compared with the native build: ${allRecords.length * SETTINGS.length}, ` +
    `${differences.length} differ from the Windows build by the C library's underflow rule`);
  assert.deepEqual(unexplained.slice(0, 20), [], `${unexplained.length} stored values differ between the builds`);
});

test('the page reads INI files as the plugin reads them under Wine', (t) => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-ini-'));
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  const files = iniFiles(SEED);
  fs.mkdirSync(path.join(folder, 'inis'));
  const names = files.map((file, index) => {
    const name = `inis/${String(index).padStart(4, '0')}-${file.name}.ini`;
    fs.writeFileSync(path.join(folder, name), file.bytes);
    return name;
  });
  const plugin = probe.pluginReadsIniFiles(names.join('\n') + '\n', folder);
  const page = probe.pageReadsIniFiles(files.map((file) => file.bytes));
  const found = [];
  plugin.forEach((line, index) => {
    if (line !== page[index]) found.push(`${names[index]}: plugin ${line} | page ${page[index]}`);
  });
  console.log(`INI files compared with the plugin's reading under Wine: ${files.length} ` +
    `(${files.filter((file) => file.handWritten).length} written by hand, the rest generated)`);
  assert.equal(plugin.length, files.length, 'one line of stored values per file');
  assert.deepEqual(found.slice(0, 10), [], `${found.length} files read differently`);
});
