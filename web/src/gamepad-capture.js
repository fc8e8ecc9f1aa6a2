'use strict';
// Takes a chord of buttons held on a controller and gives its XInput mask.
// Browsers tell a page of a controller only when asked (getGamepads), so the
// pads are read every 20 ms while the capture lasts; the chord is every button held since the
// capture began, taken once all of them are let go, so that a player who
// presses Back and then D-pad up gets the two. The plugin toggles only when
// one controller holds every button of the mask, so the chord is read from
// the controller whose button was pressed first; another's buttons are left
// out. Esc or a second click on the button cancels. A browser shows a page no
// controller until one of its buttons is pressed while the page is open,
// which the player is told.

const { maskText, buttonsInWords, maskOfStandardButtons } = require('./gamepad-buttons');

const POLL_MS = 20;

// How many pads are seen, and for each pad of the standard layout its slot
// and the indices of the buttons it holds (null when the browser gives no
// access).
function readPads() {
  if (typeof navigator.getGamepads !== 'function') return null;
  const pads = [...navigator.getGamepads()].filter((pad) => pad && pad.connected !== false);
  const standard = pads.filter((pad) => pad.mapping === 'standard').map((pad) => ({
    slot: pad.index,
    held: new Set(pad.buttons.flatMap((button, index) => (button.pressed ? [index] : []))),
  }));
  return { seen: pads.length, standard };
}

const MESSAGES = {
  start: 'Press and hold the controller button for the toggle, or every button of a chord such as Back + D-pad up, then let go.',
  asleep: 'No controller seen: press any button on the controller to wake it (browsers show a controller to a page only after a button press), then press the chord.',
  layout: 'The controller seen does not report the standard button layout, so its buttons cannot be named; try another controller or browser.',
  unreadable: 'This browser gives the page no access to controllers.',
  notRead: 'The plugin reads none of these buttons (the triggers and the guide button are not in the mask): hold others.',
  otherPad: 'Buttons held on another controller are left out: the plugin needs one controller to hold the whole chord.',
  padGone: 'The controller was disconnected: press the chord again.',
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

  // Forgets the pad and the chord: the next press, on any pad, starts one.
  function forget() {
    capture.slot = null;
    capture.chord.clear();
  }

  // Waits for the first press again, saying `message` until then.
  function startAfresh(message) {
    forget();
    capture.waiting = message;
    say(message);
  }

  function poll() {
    const pads = readPads();
    if (pads === null) return stop(MESSAGES.unreadable);
    if (pads.standard.length === 0) {
      // A chord is never taken from a pad that went away while it was held.
      forget();
      return say(pads.seen === 0 ? MESSAGES.asleep : MESSAGES.layout);
    }
    if (capture.slot === null) {
      const pressed = pads.standard.find((pad) => pad.held.size > 0);
      if (!pressed) return say(capture.waiting);
      capture.slot = pressed.slot;
    }
    const pad = pads.standard.find((candidate) => candidate.slot === capture.slot);
    if (!pad) return startAfresh(MESSAGES.padGone);
    for (const index of pad.held) capture.chord.add(index);
    const mask = maskOfStandardButtons(capture.chord);
    if (pad.held.size > 0) {
      const others = pads.standard.some((other) => other !== pad && other.held.size > 0);
      const holding = mask ? `Holding ${buttonsInWords(mask)} (${maskText(mask)}); let go to take it.` : MESSAGES.notRead;
      return say(others ? `${holding} ${MESSAGES.otherPad}` : holding);
    }
    // Only buttons the mask cannot hold: the next press, on any controller, starts the chord.
    if (mask === 0) return startAfresh(MESSAGES.notRead);
    stop(`Taken: ${maskText(mask)}, ${buttonsInWords(mask)}.`);
    onMask(mask);
  }

  function start() {
    capture = { chord: new Set(), slot: null, waiting: MESSAGES.start, poll };
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
