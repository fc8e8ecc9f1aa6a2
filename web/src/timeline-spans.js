'use strict';
// The HUD's periods over a log: from its start to the plugin's first change
// the HUD is the game's own, shown as the game shows it; then each change
// opens a period, shown or hidden for its reason, that lasts until the next
// change or the end of the log.

const { clockText, durationText } = require('./log-lines');

const GAME_REASON = 'the plugin had not changed the HUD yet';

function hudSpans(report) {
  const changes = report.changes;
  const spans = [];
  const firstChange = changes.length ? changes[0].time : report.end;
  if (firstChange > report.start || changes.length === 0) {
    spans.push({ from: report.start, to: firstChange, kind: 'game', reason: GAME_REASON, logWord: '' });
  }
  changes.forEach((change, index) => spans.push({
    from: change.time,
    to: index + 1 < changes.length ? changes[index + 1].time : report.end,
    kind: change.shown ? 'shown' : 'hidden',
    reason: change.reason,
    logWord: change.logWord,
  }));
  return spans;
}

// Index of the span that holds `time` (the first one before the log's
// start, the last one after its end).
function spanIndexAt(spans, time) {
  let low = 0;
  let high = spans.length - 1;
  while (low < high) {
    const middle = (low + high + 1) >> 1;
    if (spans[middle].from <= time) low = middle;
    else high = middle - 1;
  }
  return low;
}

const KIND_WORDS = { game: 'Shown by the game', shown: 'Shown', hidden: 'Hidden' };

// "Shown: a weapon is drawn (IsWeaponDrawn), from 21:00:01.015 for 3.0 s".
function spanText(span) {
  const logWord = span.logWord ? ` (${span.logWord})` : '';
  return `${KIND_WORDS[span.kind]}: ${span.reason}${logWord}, from ${clockText(span.from)} for ${durationText(span.to - span.from)}`;
}

module.exports = { hudSpans, spanIndexAt, spanText };
