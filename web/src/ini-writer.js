'use strict';
// The settings file a player saves: the shipped file's commented layout with
// the player's values, and every line of the player's file that the layout
// does not hold kept as written (unless the player chose to drop it): the
// player's own comments above the key they were above, lines the plugin
// does not read at the end of [Settings], and other sections after it.

const { parseIni, sameName, classify } = require('./ini-file');
const { SECTION } = require('./settings-table');
const { cleanText } = require('./unusual-characters');
const { cleanLine, keyOfLine } = require('./file-problems');
const KEPT_HEADING = '; Kept from your file; the plugin does not read these lines:';

function shippedComments(shipped) {
  return new Set(shipped.lines.filter((line) => line.kind === 'comment').map((line) => line.text.trim()));
}

// A kept line as its fixes leave it; a comment keeps its characters but NUL.
function keptText(text, kind, encoding) {
  return kind === 'comment' ? text.replace(/\0/g, '') : cleanLine(text, encoding);
}

// Sorts the player's lines into: comments above each read key, kept lines
// before any section, in [Settings], and in the sections after.
function sortPlayerLines(playerIni, readLines, shipped, dropped, written, encoding) {
  const known = shippedComments(shipped);
  const firstSettings = playerIni.lines.find((line) => line.kind === 'section' && sameName(line.name, SECTION));
  const commentsAbove = new Map();
  const kept = { beforeSections: [], inSettings: [], otherSections: [] };
  let pending = [];
  let pendingHome = null;
  const flush = () => {
    if (pending.length) pendingHome.push(...pending.splice(0));
  };
  for (const line of playerIni.lines) {
    if (dropped.has(line.number)) continue;
    // Kept lines as the file holds them, but for what a reading may take
    // differently: invisible characters outside comments, NUL anywhere.
    const text = keptText(written ? written[line.number - 1] : line.text, line.kind, encoding);
    // A key named without "=" sets nothing wherever it stands.
    if (line.kind !== 'comment' && keyOfLine({ text, ...classify(text) }) && classify(text).kind === 'other') continue;
    const inFirstSettings = firstSettings !== undefined && line.section === firstSettings;
    // Windows takes "[Settings" without "]" for a header: never above ours.
    const header = /^\s*\[/.test(text);
    const home = !line.section && !header ? kept.beforeSections : inFirstSettings ? kept.inSettings : kept.otherSections;
    if (line.kind === 'section') {
      flush();
      if (line !== firstSettings) home.push(text);
    } else if (readLines.has(line)) {
      if (pending.length) commentsAbove.set(readLines.get(line), pending.splice(0));
    } else if (line.kind === 'comment' && home === kept.otherSections) {
      home.push(text);
    } else if (line.kind === 'comment' && !known.has(line.text.trim())) {
      pending.push(text);
      pendingHome = home;
    } else if (line.kind === 'entry' || line.kind === 'other') {
      flush();
      home.push(text);
    }
  }
  flush();
  return { commentsAbove, kept };
}

// shippedText: the shipped file; values: key -> value text to write (its
// invisible characters left out, look-alikes written as Proton reads them);
// player: the checked player's file or null; written: its lines as the file
// holds them; dropped: line numbers not to keep; eol: the line ending;
// encoding: the file's.
function writeIni({ shippedText, values, player = null, written = null, dropped = new Set(), eol = '\r\n', encoding = 'windows-1252' }) {
  const shipped = parseIni(shippedText);
  const readLines = new Map();
  if (player) for (const key of player.keys) if (key.read) readLines.set(key.read, key.setting.key);
  const { commentsAbove, kept } = player
    ? sortPlayerLines(player.ini, readLines, shipped, dropped, written, encoding)
    : { commentsAbove: new Map(), kept: { beforeSections: [], inSettings: [], otherSections: [] } };

  const out = [];
  const keepBlock = (lines) => {
    if (lines.length) out.push(KEPT_HEADING, ...lines);
  };
  const keyLines = (key) => [...(commentsAbove.get(key) || []), `${key}=${cleanText(values.get(key))}`];
  const shippedKeys = new Set();
  let afterLastKey = out.length;
  for (const line of shipped.lines) {
    if (line.kind === 'section' && sameName(line.name, SECTION)) keepBlock(kept.beforeSections);
    if (line.kind === 'entry' && values.has(line.name)) {
      out.push(...keyLines(line.name));
      shippedKeys.add(line.name);
      afterLastKey = out.length;
    } else {
      out.push(line.text);
    }
  }
  // A key the layout does not hold is still written, after its last key,
  // rather than lost.
  out.splice(afterLastKey, 0, ...[...values.keys()].filter((key) => !shippedKeys.has(key)).flatMap(keyLines));
  if (kept.inSettings.length) out.push('');
  keepBlock(kept.inSettings);
  if (kept.otherSections.length) out.push('', ...kept.otherSections);
  return out.join(eol) + eol;
}

module.exports = { writeIni };
