'use strict';
// The settings file a player saves: the shipped file's commented layout with
// the player's values, and every line of the player's file that the layout
// does not hold kept as written (unless the player chose to drop it): the
// player's own comments above the key they were above, lines the plugin
// does not read at the end of [Settings], and other sections after it.

const { parseIni, sameName } = require('./ini-file');
const { SECTION } = require('./settings-table');

const EOL = '\r\n';
const KEPT_HEADING = '; Kept from your file; the plugin does not read these lines:';

function shippedComments(shipped) {
  return new Set(shipped.lines.filter((line) => line.kind === 'comment').map((line) => line.text.trim()));
}

// Sorts the player's lines into: comments above each read key, kept lines
// before any section, in [Settings], and in the sections after.
function sortPlayerLines(playerIni, readLines, shipped, dropped) {
  const known = shippedComments(shipped);
  const firstSettings = playerIni.lines.find((line) => line.kind === 'section' && sameName(line.name, SECTION));
  const commentsAbove = new Map();
  const kept = { beforeSections: [], inSettings: [], otherSections: [] };
  let pendingComments = [];
  for (const line of playerIni.lines) {
    if (dropped.has(line.number)) continue;
    const inFirstSettings = line.section === firstSettings && firstSettings !== undefined;
    const home = !line.section ? kept.beforeSections : inFirstSettings ? kept.inSettings : kept.otherSections;
    if (line === firstSettings) continue;
    if (readLines.has(line)) {
      if (pendingComments.length) commentsAbove.set(readLines.get(line), pendingComments);
      pendingComments = [];
      continue;
    }
    const ownComment = line.kind === 'comment' && !known.has(line.text.trim());
    if (ownComment && home !== kept.otherSections) {
      pendingComments.push(line.text);
      continue;
    }
    if (line.kind === 'blank' || (line.kind === 'comment' && home !== kept.otherSections)) continue;
    home.push(...pendingComments.splice(0), line.text);
  }
  kept.inSettings.push(...pendingComments);
  return { commentsAbove, kept };
}

// shippedText: the shipped file; values: key -> value text to write;
// player: the checked player's file or null; dropped: line numbers not to keep.
function writeIni({ shippedText, values, player = null, dropped = new Set() }) {
  const shipped = parseIni(shippedText);
  const readLines = new Map();
  if (player) for (const key of player.keys) if (key.read) readLines.set(key.read, key.setting.key);
  const { commentsAbove, kept } = player
    ? sortPlayerLines(player.ini, readLines, shipped, dropped)
    : { commentsAbove: new Map(), kept: { beforeSections: [], inSettings: [], otherSections: [] } };

  const out = [];
  const keepBlock = (lines) => {
    if (lines.length) out.push(KEPT_HEADING, ...lines);
  };
  for (const line of shipped.lines) {
    if (line.kind === 'section' && sameName(line.name, SECTION)) keepBlock(kept.beforeSections);
    if (line.kind === 'entry' && values.has(line.name)) {
      out.push(...(commentsAbove.get(line.name) || []), `${line.name}=${values.get(line.name)}`);
    } else {
      out.push(line.text);
    }
  }
  if (kept.inSettings.length) out.push('');
  keepBlock(kept.inSettings);
  if (kept.otherSections.length) out.push('', ...kept.otherSections);
  return out.join(EOL) + EOL;
}

module.exports = { writeIni };
