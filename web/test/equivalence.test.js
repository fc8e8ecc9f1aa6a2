'use strict';
// The page reads settings exactly as the plugin does: both read the same
// value texts (the setting fuzzer's seeds, the edge cases of the settings,
// and at least 100,000 generated texts of each kind) and the same INI files
// (written by hand, the fixtures, and 2,500 generated ones of every shape),
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
const { handWrittenFiles } = require('./support/ini-generator');
const { shapes, encodeShape } = require('./support/ini-shapes');
const { readBoth, differences } = require('./support/ini-equivalence');
const { repository } = require('./support/build-tree');

const SEED = Number(process.env.LUMENVEIL_EQUIVALENCE_SEED || 20261207);
const PER_KIND = Number(process.env.LUMENVEIL_EQUIVALENCE_VALUES || 100000);
const FILES = Number(process.env.LUMENVEIL_EQUIVALENCE_FILES || 2500);
const FIXTURES = path.join(__dirname, 'fixtures', 'ini');
const fixtureReadings = JSON.parse(fs.readFileSync(path.join(FIXTURES, 'readings.json'), 'utf8'));
const { SETTINGS, UNPROBED } = probe;

// Texts every key is read with: the fuzzer's seeds line by line, and the
// cases the plugin's settings are known to turn on.
function edgeCaseTexts() {
  const corpus = path.join(repository, 'fuzz', 'corpus', 'setting_values_fuzzer');
  const seeds = fs.readdirSync(corpus).flatMap((file) => fs.readFileSync(path.join(corpus, file), 'latin1').split(/\r?\n/));
  const known = ['', '1', '0', 'true', 'yes', '2', '10001', '-5', '+5', '5x', '99999999999', '65536', '65537',
    '100', '100.5', '-1', '-', '.', '1e2', '12.5.3', '-0', '0x70', '70', '70h', '112', 'FF', 'G1', ' 70', '-FFFFFFFF',
    '0021', 'FFFF', '10000', '0400', 'A', 'Back',
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
  const compared = Object.keys(kinds).filter((kind) => keysOfKind(kind) > 0);
  const count = Math.max(...compared.map((kind) => Math.ceil(perKind / keysOfKind(kind))));
  const counts = Object.fromEntries(compared.map((kind) => [kind, count * keysOfKind(kind)]));
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

// Until the probe prints a key, the comparisons below leave it out; the
// plugin reading a key the probe does not print is a gap, and fails here.
test('the settings probe prints every key the plugin reads', () => {
  const probed = new Set(SETTINGS.map((setting) => setting.key));
  const unprinted = probe.pluginKeyNames().filter((key) => !probed.has(key));
  if (UNPROBED.length) console.log(`keys the page reads and the probe does not print, not compared: ${UNPROBED.map((setting) => setting.key).join(', ')}`);
  assert.deepEqual(unprinted, [], 'keys of src/settings/Settings.cpp missing from kKeys of tools/settingsprobe/SettingsProbe.cpp');
});

test('the page stores what the Windows build of the plugin stores, value by value', () => {
  const plugin = pluginOnWindows();
  const page = probe.pageReadsValues(allRecords);
  const found = mismatches(allRecords, plugin, page);
  console.log(`values compared with the Windows build: ${edge.length} edge-case texts for each of the ${SETTINGS.length} keys; ` +
    `generated per kind: ${Object.entries(generated.counts).map(([kind, n]) => `${kind} ${n}`).join(', ')} (seed ${SEED})`);
  assert.deepEqual(found.slice(0, 20), [], `${found.length} stored values differ`);
});

// The native probe is the sanitizers' build, many times slower than the
// Windows one: it reads the edge cases and a tenth of the generated texts.
const NATIVE_SHARE = 10;

test('the native build of the plugin stores the same, but where the C libraries round tiny floats differently', () => {
  const records = allRecords.slice(0, edge.length + Math.ceil(generated.records.length / NATIVE_SHARE));
  const windows = pluginOnWindows().slice(0, records.length);
  const native = probe.pluginReadsValuesNatively(records);
  const differences = mismatches(records, windows, native);
  // Just below the smallest normal float, the GNU C library reports an
  // underflow when the text's exact value is tiny, the Windows one only when
  // the rounded result is; everything else must agree.
  const unexplained = differences.filter((difference) => !/^fShowBelow\w+Percent="0\.0{37}/.test(difference));
  console.log(`values compared with the native build: ${records.length * SETTINGS.length}, ` +
    `${differences.length} differ from the Windows build by the C library's underflow rule`);
  assert.deepEqual(unexplained.slice(0, 20), [], `${unexplained.length} stored values differ between the builds`);
});

test('the page reads INI files as the plugin reads them under Wine', (t) => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-ini-'));
  t.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  const handWritten = handWrittenFiles();
  const fixtureNames = Object.keys(fixtureReadings.files);
  const fixtures = fixtureNames.map((name) => fs.readFileSync(path.join(FIXTURES, name)));
  const { fileShape } = shapes(SEED);
  const generatedFiles = Array.from({ length: FILES }, () => encodeShape(fileShape()));
  const files = [...handWritten.map((file) => file.bytes), ...fixtures, ...generatedFiles];
  const names = [...handWritten.map((file) => `hand-written ${file.name}`), ...fixtureNames.map((name) => `fixture ${name}`),
    ...generatedFiles.map((_, index) => `generated file ${index} (seed ${SEED})`)];

  const started = Date.now();
  const readings = readBoth(files, folder);
  const found = readings.flatMap((reading, index) => differences(reading).map((difference) => `${names[index]}: ${difference}`));
  console.log(`INI files compared with the plugin's reading under Wine: ${files.length} (${handWritten.length} written by hand, ` +
    `${fixtures.length} fixtures, ${generatedFiles.length} generated, seed ${SEED}) in ${Math.round((Date.now() - started) / 1000)} s`);
  assert.deepEqual(found.slice(0, 10), [], `${found.length} stored values differ`);

  const fixtureOffset = handWritten.length;
  fixtureNames.forEach((name, index) => {
    const stated = fixtureReadings.files[name].proton;
    const expected = SETTINGS.map((setting) => probe.storedText(setting, setting.key in stated
      ? (setting.kind === 'boolean' || setting.kind === 'flag' ? stated[setting.key] === 1 : stated[setting.key])
      : setting.reloadDefault));
    assert.deepEqual(readings[fixtureOffset + index].plugin, expected, `the plugin's reading of ${name}`);
  });
});
