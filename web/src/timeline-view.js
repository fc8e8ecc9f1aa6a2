'use strict';
// The timeline picture: the HUD's band over time (shown by the game before
// the plugin's first change, then shown or hidden), each change marked and
// labelled with its reason, the game's events as marks on rows of their
// own, and the readings of a changed settings file with what they changed.
// Pointing at the band, or stepping with the arrow keys, tells a period's
// reason, start and length; pointing at a reading tells what it changed.
// The wheel zooms around the pointer, dragging pans, and the buttons and
// keys zoom or show the whole log.

const { clockText } = require('./log-lines');
const { hudSpans, spanIndexAt, spanText } = require('./timeline-spans');
const { placeLabels } = require('./timeline-labels');
const { reloadLines } = require('./settings-changes');

const ROWS = [
  ['menu', 'menus', '#7c5cd6'],
  ['subtitle', 'subtitles', '#3b8ea5'],
  ['discovery', 'discoveries', '#d68c1c'],
  ['mission', 'missions', '#c2452d'],
  ['levelup', 'level-ups', '#2f9e44'],
  ['save', 'saves loaded', '#555'],
  ['toggle', 'toggle key', '#b8327a'],
  ['settings', 'settings file', '#0b7285'],
];
const SETTINGS_ROW = ROWS.findIndex(([kind]) => kind === 'settings');
const LEFT = 110;
const RIGHT = 10;
const HUD_TOP = 34;
const HUD_HEIGHT = 34;
const ROW_HEIGHT = 20;
const AXIS = 22;
const COLOURS = { shown: '#46a35e', hidden: '#eef1f4', markShown: '#1d6b33', markHidden: '#9a2b2b', text: '#222', muted: '#444' };
const AXIS_STEPS = [100, 500, 1000, 5000, 10000, 30000, 60000, 300000, 600000, 1800000, 3600000, 7200000];

// "settings file changed: iKeepHUDShownMS 2000 -> 5000 and 2 more".
function reloadLabel(reload) {
  const lines = reloadLines(reload);
  return lines.length > 1 ? `${lines[0]} and ${lines.length - 1} more` : lines[0];
}

// Pale green stripes: the HUD as the game shows it, not as the plugin set it.
function gamePattern(context) {
  const tile = document.createElement('canvas');
  tile.width = 8;
  tile.height = 8;
  const paint = tile.getContext('2d');
  paint.fillStyle = '#c4e6cc';
  paint.fillRect(0, 0, 8, 8);
  paint.strokeStyle = '#8fcb9f';
  paint.lineWidth = 2;
  paint.beginPath();
  paint.moveTo(-2, 10);
  paint.lineTo(10, -2);
  paint.stroke();
  return context.createPattern(tile, 'repeat');
}

function createTimeline(canvas, report, tip) {
  const context = canvas.getContext('2d');
  const start = report.start;
  const end = Math.max(report.end, start + 1000);
  const spans = hudSpans(report);
  const reloads = report.fileReloads;
  const gameFill = gamePattern(context);
  const widths = new Map();
  let from = start;
  let to = end;
  let selected = -1;

  function size() {
    const ratio = window.devicePixelRatio || 1;
    const width = canvas.clientWidth || 900;
    const height = HUD_TOP + HUD_HEIGHT + 14 + ROWS.length * ROW_HEIGHT + AXIS;
    canvas.width = width * ratio;
    canvas.height = height * ratio;
    canvas.style.height = `${height}px`;
    context.setTransform(ratio, 0, 0, ratio, 0, 0);
    return { width, height };
  }

  const plotWidth = (width) => width - LEFT - RIGHT;
  const x = (time, width) => LEFT + ((time - from) / (to - from)) * plotWidth(width);
  const clampX = (value, width) => Math.min(Math.max(value, LEFT), width - RIGHT);

  function textWidth(text) {
    if (!widths.has(text)) widths.set(text, context.measureText(text).width);
    return widths.get(text);
  }

  // Index of the first item at or after `time` in a list sorted by time.
  function firstFrom(list, time) {
    let low = 0;
    let high = list.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (list[middle].time < time) low = middle + 1;
      else high = middle;
    }
    return low;
  }

  function drawBand(width) {
    context.fillStyle = COLOURS.hidden;
    context.fillRect(LEFT, HUD_TOP, plotWidth(width), HUD_HEIGHT);
    for (let index = spanIndexAt(spans, from); index < spans.length && spans[index].from <= to; index++) {
      const span = spans[index];
      if (span.kind === 'hidden') continue;
      const left = clampX(x(span.from, width), width);
      const right = clampX(x(span.to, width), width);
      context.fillStyle = span.kind === 'game' ? gameFill : COLOURS.shown;
      context.fillRect(left, HUD_TOP, Math.max(1, right - left), HUD_HEIGHT);
    }
    if (selected >= 0) {
      const span = spans[selected];
      const left = clampX(x(span.from, width), width);
      context.strokeStyle = '#1f2328';
      context.lineWidth = 2;
      context.strokeRect(left, HUD_TOP - 1, Math.max(2, clampX(x(span.to, width), width) - left), HUD_HEIGHT + 2);
    }
  }

  // Marks closer than a few pixels would only paint the band over; the
  // labels that fit go above the band, shown ones first.
  function drawChanges(width) {
    const changes = report.changes;
    const labels = [];
    if (spans[0].kind === 'game' && spans[0].to > from) {
      const text = 'shown by the game';
      labels.push({ x: clampX(x(spans[0].from, width), width) + 2, width: textWidth(text), shown: true, text });
    }
    let lastMark = -Infinity;
    for (let index = firstFrom(changes, from); index < changes.length && changes[index].time <= to; index++) {
      const change = changes[index];
      const left = x(change.time, width);
      if (left - lastMark < 4) continue;
      lastMark = left;
      context.fillStyle = change.shown ? COLOURS.markShown : COLOURS.markHidden;
      context.fillRect(left - 1, HUD_TOP - 6, 2, HUD_HEIGHT + 6);
      const text = `${change.shown ? 'shown' : 'hidden'}: ${change.reason}`;
      labels.push({ x: left + 2, width: textWidth(text), shown: change.shown, text });
    }
    context.fillStyle = COLOURS.text;
    for (const label of placeLabels(labels, width)) context.fillText(label.text, label.x, HUD_TOP - 9);
  }

  const rowTop = (row) => HUD_TOP + HUD_HEIGHT + 14 + row * ROW_HEIGHT;

  // A reading's mark, and beside it what it changed where that fits: after
  // the mark, or before it near the right end.
  function drawReloads(width) {
    const top = rowTop(SETTINGS_ROW);
    const labels = [];
    for (let index = firstFrom(reloads, from); index < reloads.length && reloads[index].time <= to; index++) {
      const at = x(reloads[index].time, width);
      context.fillRect(at - 1.5, top + 3, 3, ROW_HEIGHT - 6);
      const text = reloadLabel(reloads[index]);
      const textWidthNow = textWidth(text);
      const after = at + 5 + textWidthNow <= width - RIGHT;
      labels.push({ x: after ? at + 5 : at - 5 - textWidthNow, width: textWidthNow, shown: true, text });
    }
    context.fillStyle = COLOURS.text;
    for (const label of placeLabels(labels, width)) context.fillText(label.text, label.x, top + 14);
  }

  function drawEvents(width) {
    const events = report.events;
    ROWS.forEach(([kind, title, colour], row) => {
      const top = rowTop(row);
      context.fillStyle = COLOURS.muted;
      context.fillText(title, 6, top + 13);
      context.fillStyle = colour;
      if (row === SETTINGS_ROW) {
        drawReloads(width);
        return;
      }
      let lastX = -Infinity;
      for (let index = firstFrom(events, from); index < events.length && events[index].time <= to; index++) {
        if (events[index].kind !== kind) continue;
        const at = x(events[index].time, width);
        if (at - lastX < 1) continue;
        context.fillRect(at - 1.5, top + 3, 3, ROW_HEIGHT - 6);
        lastX = at;
      }
    });
  }

  // Each tick's time centred under it, and never past either end.
  function drawAxis(width, height) {
    const span = to - from;
    const step = AXIS_STEPS.find((candidate) => span / candidate <= plotWidth(width) / 90) || AXIS_STEPS[AXIS_STEPS.length - 1];
    context.fillStyle = COLOURS.muted;
    context.strokeStyle = '#ccc';
    context.lineWidth = 1;
    for (let tick = Math.ceil(from / step) * step; tick <= to; tick += step) {
      const at = x(tick, width);
      context.beginPath();
      context.moveTo(at, HUD_TOP + HUD_HEIGHT);
      context.lineTo(at, height - AXIS + 4);
      context.stroke();
      const text = clockText(tick, step < 1000);
      const textAt = Math.min(Math.max(at - textWidth(text) / 2, LEFT), width - textWidth(text) - 2);
      context.fillText(text, textAt, height - 6);
    }
    context.fillStyle = COLOURS.muted;
    context.fillText('HUD', 6, HUD_TOP + 21);
  }

  function draw() {
    const { width, height } = size();
    context.clearRect(0, 0, width, height);
    context.font = '12px system-ui, sans-serif';
    drawAxis(width, height);
    drawBand(width);
    drawChanges(width);
    drawEvents(width);
  }

  function zoom(factor, centre) {
    const span = Math.min(end - start, Math.max(200, (to - from) * factor));
    const anchor = centre ?? (from + to) / 2;
    const ratio = (anchor - from) / (to - from);
    from = Math.max(start, anchor - ratio * span);
    to = Math.min(end, from + span);
    from = Math.max(start, to - span);
    draw();
  }

  function showAll() {
    from = start;
    to = end;
    draw();
  }

  function timeAt(clientX) {
    const bounds = canvas.getBoundingClientRect();
    return from + ((clientX - bounds.left - LEFT) / (bounds.width - LEFT - RIGHT)) * (to - from);
  }

  function showTip(index, atX) {
    showTipText(spanText(spans[index]), atX, HUD_TOP + HUD_HEIGHT + 4);
  }

  function showTipText(text, atX, top) {
    tip.textContent = text;
    tip.hidden = false;
    const frame = canvas.clientWidth;
    tip.style.left = `${Math.max(0, Math.min(atX, frame - tip.offsetWidth))}px`;
    tip.style.top = `${top}px`;
  }

  // The reading whose mark is within a few pixels of the pointer on its row.
  function reloadAt(event) {
    const bounds = canvas.getBoundingClientRect();
    const y = event.clientY - bounds.top;
    const top = rowTop(SETTINGS_ROW);
    if (y < top || y > top + ROW_HEIGHT) return null;
    const left = event.clientX - bounds.left;
    return reloads.find((reload) => Math.abs(x(reload.time, bounds.width) - left) <= 4) || null;
  }

  function hideTip() {
    tip.hidden = true;
  }

  function onBand(event) {
    const bounds = canvas.getBoundingClientRect();
    const y = event.clientY - bounds.top;
    const left = event.clientX - bounds.left;
    return y >= HUD_TOP && y <= HUD_TOP + HUD_HEIGHT && left >= LEFT && left <= bounds.width - RIGHT;
  }

  // The arrow keys step from period to period, moving the view to each.
  function select(index) {
    selected = Math.max(0, Math.min(spans.length - 1, index));
    const span = spans[selected];
    if (span.from < from || span.from > to) {
      const width = to - from;
      from = Math.max(start, Math.min(span.from - width / 10, end - width));
      to = from + width;
    }
    draw();
    showTip(selected, x(Math.max(span.from, from), canvas.clientWidth || 900));
  }

  canvas.onwheel = (event) => {
    event.preventDefault();
    zoom(event.deltaY > 0 ? 1.25 : 0.8, timeAt(event.clientX));
  };
  let dragFrom = null;
  canvas.onmousedown = (event) => {
    dragFrom = { clientX: event.clientX, from, to };
    hideTip();
  };
  window.addEventListener('mouseup', () => {
    dragFrom = null;
  });
  canvas.onmouseleave = hideTip;
  canvas.onmousemove = (event) => {
    if (!dragFrom) {
      const atX = event.clientX - canvas.getBoundingClientRect().left + 12;
      const reload = reloadAt(event);
      if (onBand(event)) showTip(spanIndexAt(spans, timeAt(event.clientX)), atX);
      else if (reload) showTipText(`${clockText(reload.time)}: ${reloadLines(reload).join('; ')}`, atX, rowTop(SETTINGS_ROW) + ROW_HEIGHT + 2);
      else hideTip();
      return;
    }
    const bounds = canvas.getBoundingClientRect();
    const shift = ((dragFrom.clientX - event.clientX) / (bounds.width - LEFT - RIGHT)) * (dragFrom.to - dragFrom.from);
    const span = dragFrom.to - dragFrom.from;
    from = Math.min(Math.max(start, dragFrom.from + shift), end - span);
    to = from + span;
    draw();
  };
  const KEYS = {
    ArrowRight: () => select(selected < 0 ? spanIndexAt(spans, from) : selected + 1),
    ArrowLeft: () => select(selected < 0 ? spanIndexAt(spans, from) : selected - 1),
    Home: () => select(0),
    End: () => select(spans.length - 1),
    '+': () => zoom(0.5, selected >= 0 ? spans[selected].from : undefined),
    '=': () => zoom(0.5, selected >= 0 ? spans[selected].from : undefined),
    '-': () => zoom(2),
    '0': showAll,
    Escape: hideTip,
  };
  canvas.onkeydown = (event) => {
    const action = KEYS[event.key];
    if (!action || event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    action();
  };
  canvas.onblur = hideTip;

  draw();
  return {
    draw,
    zoomIn: () => zoom(0.5),
    zoomOut: () => zoom(2),
    showAll,
    range: () => ({ from, to }),
  };
}

module.exports = { createTimeline };
