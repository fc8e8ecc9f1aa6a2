'use strict';
// Takes a chord of buttons held on a controller and gives its XInput mask.
// Browsers tell a page of a controller only when asked (getGamepads), so the
// pads are read every 20 ms while the capture lasts; the chord is every button held since the
// capture began, taken once all of them are let go, so that a player who
// presses Back and then D-pad up gets the two. Esc or a second click on the
// button cancels. A browser shows a page no controller until one of its
// buttons is pressed while the page is open, which the player is told.

const { maskText, buttonsInWords, maskOfStandardButtons } = require('./gamepad-buttons');

const POLL_MS = 20;

// The indices of the buttons held on every pad of the standard layout, and
// whether any pad at all is seen (null when the browser gives no access).
function readPads() {
  if (typeof navigator.getGamepads !== 'function') return null;
  const pads = [...navigator.getGamepads()].filter((pad) => pad && pad.connected !== false);
  const standard = pads.filter((pad) => pad.mapping === 'standard');
  const held = new Set();
  for (const pad of standard) {
    pad.buttons.forEach((button, index) => {
      if (button.pressed) held.add(index);
    });
  }
  return { seen: pads.length, standard: standard.length, held };
}

const MESSAGES = {
  start: 'Press and hold the controller button for the toggle, or every button of a chord such as Back + D-pad up, then let go.',
  asleep: 'No controller seen: press any button on the controller to wake it (browsers show a controller to a page only after a button press), then press the chord.',
  layout: 'The controller seen does not report the standard button layout, so its buttons cannot be named; try another controller or browser.',
  unreadable: 'This browser gives the page no access to controllers.',
  notRead: 'The plugin reads none of these buttons (the triggers and the guide button are not in the mask): hold others.',
  cancelled: 'Capture cancelled; the value is unchanged.',
};

// button: the "Press a button…" button; status: the element that tells the
// player what the capture sees (a live region); onMask(mask) writes it.
function createGamepadCapture({ button, status, key, onMask }) {
  const idleText = button.textContent;
  const idleLabel = button.getAttribute('aria-label');
  let capture = null;

  function say(text) {
    if (status.textContent !== text) status.textContent = text;
  }

  function stop(message) {
    clearInterval(capture.timer);
    document.removeEventListener('keydown', capture.onKey, true);
    window.removeEventListener('gamepadconnected', capture.poll);
    capture = null;
    button.textContent = idleText;
    button.setAttribute('aria-label', idleLabel);
    say(message);
  }

  function poll() {
    const pads = readPads();
    if (pads === null) return stop(MESSAGES.unreadable);
    if (pads.seen === 0) return say(MESSAGES.asleep);
    if (pads.standard === 0) return say(MESSAGES.layout);
    for (const index of pads.held) capture.chord.add(index);
    const mask = maskOfStandardButtons(capture.chord);
    if (pads.held.size > 0) {
      return say(mask ? `Holding ${buttonsInWords(mask)} (${maskText(mask)}); let go to take it.` : MESSAGES.notRead);
    }
    if (mask === 0) return say(capture.chord.size ? MESSAGES.notRead : MESSAGES.start);
    stop(`Taken: ${maskText(mask)}, ${buttonsInWords(mask)}.`);
    onMask(mask);
  }

  function start() {
    capture = { chord: new Set(), poll };
    capture.onKey = (event) => {
      if (event.key !== 'Escape') return;
      event.preventDefault();
      stop(MESSAGES.cancelled);
    };
    document.addEventListener('keydown', capture.onKey, true);
    window.addEventListener('gamepadconnected', poll);
    button.textContent = 'Cancel';
    button.setAttribute('aria-label', `Cancel the controller capture for ${key}`);
    say(MESSAGES.start);
    capture.timer = setInterval(poll, POLL_MS);
    poll();
  }

  button.addEventListener('click', () => (capture ? stop(MESSAGES.cancelled) : start()));
}

module.exports = { createGamepadCapture };
