'use strict';
// Files read by the plugin's real ReloadINI in the Windows build under Wine
// and by the page's reading for Proton, compared key by key; a failing file
// is shrunk to a small one that still fails. Wine starts slowly, so files go
// to the plugin in batches, each batch one start.
//
//   node web/test/support/ini-equivalence.js [--files N] [--seed S] [--batch B] [--keep FOLDER]
// reads N generated files (default 100,000) and prints the figures; failing
// files, shrunk, go to FOLDER (default build/ini-equivalence).

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const probe = require('./settings-probe');
const { shapes, encodeShape } = require('./ini-shapes');
const { repository } = require('./build-tree');

// Both readings of each file: arrays of the probed keys' stored-value texts. `pageReads`
// stands in for the page's reading (another version of it, say).
function readBoth(files, folder, pageReads = probe.pageReadsIniFiles) {
  const names = files.map((bytes, index) => {
    const name = `file-${index}.ini`;
    fs.writeFileSync(path.join(folder, name), bytes);
    return name;
  });
  const plugin = probe.pluginReadsIniFiles(names.join('\n') + '\n', folder);
  if (plugin.length !== files.length) throw new Error(`the plugin read ${plugin.length} of ${files.length} files`);
  names.forEach((name) => fs.rmSync(path.join(folder, name)));
  const page = pageReads(files);
  return files.map((_, index) => ({ plugin: plugin[index].split('\t'), page: page[index].split('\t') }));
}

function differences({ plugin, page }) {
  return probe.SETTINGS.filter((_, key) => plugin[key] !== page[key])
    .map((setting) => `${setting.key}: plugin ${plugin[probe.SETTINGS.indexOf(setting)]}, page ${page[probe.SETTINGS.indexOf(setting)]}`);
}

// Smaller shapes of a failing one: without one line (or a run of them),
// then each line without one character.
function smallerShapes(shape) {
  const without = (from, count) => ({
    ...shape,
    lines: shape.lines.filter((_, index) => index < from || index >= from + count),
    endings: shape.endings.filter((_, index) => index < from || index >= from + count),
  });
  const candidates = [];
  for (let size = Math.max(1, shape.lines.length >> 1); size >= 1; size >>= 1) {
    for (let from = 0; from + size <= shape.lines.length; from += size) candidates.push(without(from, size));
  }
  if (shape.lines.length > 4) return candidates;
  shape.lines.forEach((line, index) => {
    const cuts = line.length > 64 ? [[0, line.length >> 1], [line.length >> 1, line.length]] : [];
    for (let at = 0; at < Math.min(line.length, 64); at++) cuts.push([at, at + 1]);
    for (const [from, to] of cuts) {
      const lines = [...shape.lines];
      lines[index] = line.slice(0, from) + line.slice(to);
      candidates.push({ ...shape, lines });
    }
  });
  shape.endings.forEach((ending, index) => {
    if (ending !== '\r\n' && ending !== '') candidates.push({ ...shape, endings: shape.endings.map((e, i) => (i === index ? '\r\n' : e)) });
  });
  if (shape.encoding !== 'ansi') candidates.push({ ...shape, encoding: 'ansi' });
  return candidates;
}

// Shrinks a failing shape: each round reads all smaller candidates in one
// batch and keeps the first that still fails.
function shrink(shape, folder, pageReads) {
  let current = shape;
  for (let round = 0; round < 200; round++) {
    const candidates = smallerShapes(current);
    const readings = readBoth(candidates.map(encodeShape), folder, pageReads);
    const found = readings.findIndex((reading) => differences(reading).length > 0);
    if (found < 0) return current;
    current = candidates[found];
  }
  return current;
}

// Reads `count` generated files in batches; returns the figures and the
// failing shapes.
function run({ count, seed, batch = 5000, folder, onBatch = () => {} }) {
  const { fileShape } = shapes(seed);
  const failing = [];
  let read = 0;
  while (read < count) {
    const size = Math.min(batch, count - read);
    const batchShapes = Array.from({ length: size }, fileShape);
    const readings = readBoth(batchShapes.map(encodeShape), folder);
    readings.forEach((reading, index) => {
      const found = differences(reading);
      if (found.length) failing.push({ shape: batchShapes[index], differences: found });
    });
    read += size;
    onBatch({ read, failing: failing.length });
  }
  return { read, failing };
}

if (require.main === module) {
  const option = (name, fallback) => {
    const at = process.argv.indexOf(`--${name}`);
    return at > 0 ? process.argv[at + 1] : fallback;
  };
  const count = Number(option('files', 100000));
  const seed = Number(option('seed', Date.now() % 1e9));
  const keep = path.resolve(option('keep', path.join(repository, 'build', 'ini-equivalence')));
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-ini-long-'));
  const started = Date.now();
  const { read, failing } = run({
    count, seed, batch: Number(option('batch', 5000)), folder,
    onBatch: (figures) => console.log(`${figures.read} files read, ${figures.failing} read differently (${Math.round((Date.now() - started) / 1000)} s)`),
  });
  const seconds = Math.round((Date.now() - started) / 1000);
  console.log(`seed ${seed}: ${read} files, ${failing.length} read differently by the page and the plugin under Wine, ${seconds} s`);
  if (failing.length) {
    fs.mkdirSync(keep, { recursive: true });
    failing.slice(0, 5).forEach(({ shape, differences: found }, index) => {
      const small = shrink(shape, folder);
      const file = path.join(keep, `failing-${seed}-${index}.ini`);
      fs.writeFileSync(file, encodeShape(small));
      console.log(`${file} (${small.encoding}, shrunk from ${shape.lines.length} lines to ${small.lines.length}): ${found.join('; ')}`);
    });
  }
  fs.rmSync(folder, { recursive: true, force: true });
  process.exitCode = failing.length ? 1 : 0;
}

module.exports = { run, shrink, readBoth, differences };
