'use strict';
// One line of the plugin's log: "[date time.microseconds] [logger] [level]
// [file:line] message". A message of several lines (a fatal report's) goes on
// in lines without that layout.

const LINE = /^\[(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d{6})\] \[([^\]]*)\] \[([a-z]+)\] \[([^\]]*)\] (.*)$/;

// Milliseconds of the wall-clock time the line shows (read as if UTC, so
// that it prints back as written).
function parseLine(text) {
  const match = LINE.exec(text);
  if (!match) return null;
  const [, year, month, day, hour, minute, second, micro, logger, level, source, message] = match;
  const time = Date.UTC(+year, +month - 1, +day, +hour, +minute, +second) + Number(micro) / 1000;
  return { time, logger, level, source, message };
}

// "[Function] rest" of a message of the plugin's logic.
function splitFunction(message) {
  const match = /^\[(\w+)\] (.*)$/.exec(message);
  return match ? { function: match[1], text: match[2] } : { function: null, text: message };
}

function clockText(time, withMilliseconds = true) {
  const date = new Date(time);
  const pad = (n, width = 2) => String(n).padStart(width, '0');
  const clock = `${pad(date.getUTCHours())}:${pad(date.getUTCMinutes())}:${pad(date.getUTCSeconds())}`;
  return withMilliseconds ? `${clock}.${pad(date.getUTCMilliseconds(), 3)}` : clock;
}

function durationText(milliseconds) {
  const seconds = Math.round(milliseconds / 1000);
  if (seconds < 60) return milliseconds < 10000 ? `${(milliseconds / 1000).toFixed(1)} s` : `${seconds} s`;
  const minutes = Math.floor(seconds / 60);
  if (minutes < 60) return `${minutes} min ${seconds % 60} s`;
  return `${Math.floor(minutes / 60)} h ${minutes % 60} min`;
}

// "1,000,000": the browser's number formatting would first load its locale
// data, a pause of the page longer than all of the report's drawing.
function countText(count) {
  return String(count).replace(/\B(?=(\d{3})+$)/g, ',');
}

module.exports = { parseLine, splitFunction, clockText, durationText, countText };
