'use strict';
// The timeline picture: the HUD shown (a bar) or hidden over time, each
// change marked and labelled with its reason, the game's events as marks on
// rows of their own. The wheel zooms around the pointer, dragging pans, and
// the buttons zoom or show the whole log.

const { clockText } = require('./log-lines');

const ROWS = [
  ['menu', 'menus', '#7c5cd6'],
  ['subtitle', 'subtitles', '#3b8ea5'],
  ['discovery', 'discoveries', '#d68c1c'],
  ['mission', 'missions', '#c2452d'],
  ['levelup', 'level-ups', '#2f9e44'],
  ['save', 'saves loaded', '#555'],
  ['toggle', 'toggle key', '#b8327a'],
];
const LEFT = 110;
const HUD_TOP = 34;
const HUD_HEIGHT = 34;
const ROW_HEIGHT = 20;
const AXIS = 22;

function createTimeline(canvas, report) {
  const context = canvas.getContext('2d');
  const start = report.start;
  const end = Math.max(report.end, start + 1000);
  let from = start;
  let to = end;

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

  const x = (time, width) => LEFT + ((time - from) / (to - from)) * (width - LEFT - 10);

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

  function drawHud(width) {
    const changes = report.changes;
    context.fillStyle = '#eef1f4';
    context.fillRect(LEFT, HUD_TOP, width - LEFT - 10, HUD_HEIGHT);
    const first = Math.max(0, firstFrom(changes, from) - 1);
    let lastLabelEnd = -Infinity;
    let lastMark = -Infinity;
    for (let index = first; index < changes.length && changes[index].time <= to; index++) {
      const change = changes[index];
      const left = Math.max(LEFT, x(change.time, width));
      const until = index + 1 < changes.length ? changes[index + 1].time : end;
      if (change.shown) {
        context.fillStyle = '#46a35e';
        context.fillRect(left, HUD_TOP, Math.max(1, Math.min(width - 10, x(until, width)) - left), HUD_HEIGHT);
      }
      // Marks closer than a few pixels would only paint the band over.
      if (change.time < from || left - lastMark < 4) continue;
      lastMark = left;
      context.fillStyle = change.shown ? '#1d6b33' : '#9a2b2b';
      context.fillRect(left - 1, HUD_TOP - 6, 2, HUD_HEIGHT + 6);
      const label = `${change.shown ? 'shown' : 'hidden'}: ${change.reason}`;
      const labelWidth = context.measureText(label).width;
      if (left > lastLabelEnd + 4 && left + labelWidth < width) {
        context.fillStyle = '#222';
        context.fillText(label, left + 2, HUD_TOP - 9);
        lastLabelEnd = left + labelWidth;
      }
    }
  }

  function drawEvents(width) {
    ROWS.forEach(([kind, title, colour], row) => {
      const top = HUD_TOP + HUD_HEIGHT + 14 + row * ROW_HEIGHT;
      context.fillStyle = '#444';
      context.fillText(title, 6, top + 13);
      context.fillStyle = colour;
      let lastX = -Infinity;
      const events = report.events;
      for (let index = firstFrom(events, from); index < events.length && events[index].time <= to; index++) {
        if (events[index].kind !== kind) continue;
        const at = x(events[index].time, width);
        if (at - lastX < 1) continue;
        context.fillRect(at - 1.5, top + 3, 3, ROW_HEIGHT - 6);
        lastX = at;
      }
    });
  }

  function drawAxis(width, height) {
    const span = to - from;
    const steps = [100, 500, 1000, 5000, 10000, 30000, 60000, 300000, 600000, 1800000, 3600000, 7200000];
    const step = steps.find((candidate) => span / candidate <= (width - LEFT) / 90) || steps[steps.length - 1];
    context.fillStyle = '#444';
    context.strokeStyle = '#ccc';
    for (let tick = Math.ceil(from / step) * step; tick <= to; tick += step) {
      const at = x(tick, width);
      context.beginPath();
      context.moveTo(at, HUD_TOP + HUD_HEIGHT);
      context.lineTo(at, height - AXIS + 4);
      context.stroke();
      context.fillText(clockText(tick, step < 1000), at - 20, height - 6);
    }
    context.fillText('HUD', 6, HUD_TOP + 21);
  }

  function draw() {
    const { width, height } = size();
    context.clearRect(0, 0, width, height);
    context.font = '12px system-ui, sans-serif';
    drawAxis(width, height);
    drawHud(width);
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

  function timeAt(clientX) {
    const bounds = canvas.getBoundingClientRect();
    return from + ((clientX - bounds.left - LEFT) / (bounds.width - LEFT - 10)) * (to - from);
  }

  canvas.onwheel = (event) => {
    event.preventDefault();
    zoom(event.deltaY > 0 ? 1.25 : 0.8, timeAt(event.clientX));
  };
  let dragFrom = null;
  canvas.onmousedown = (event) => {
    dragFrom = { clientX: event.clientX, from, to };
  };
  window.addEventListener('mouseup', () => {
    dragFrom = null;
  });
  canvas.onmousemove = (event) => {
    if (!dragFrom) return;
    const bounds = canvas.getBoundingClientRect();
    const shift = ((dragFrom.clientX - event.clientX) / (bounds.width - LEFT - 10)) * (dragFrom.to - dragFrom.from);
    const span = dragFrom.to - dragFrom.from;
    from = Math.min(Math.max(start, dragFrom.from + shift), end - span);
    to = from + span;
    draw();
  };

  draw();
  return {
    draw,
    zoomIn: () => zoom(0.5),
    zoomOut: () => zoom(2),
    showAll: () => {
      from = start;
      to = end;
      draw();
    },
    range: () => ({ from, to }),
  };
}

module.exports = { createTimeline };
