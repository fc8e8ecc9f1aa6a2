'use strict';
// Takes the next key or mouse button the player presses in the capture box
// and gives its Windows virtual-key code. Every key counts, Esc too, so the
// box is left with its own Cancel button.

const { element } = require('./dom');
const { codeOfKey, codeOfMouseButton, keyName, hex } = require('./key-codes');

function captureKey(root, onCode) {
  const message = element('p', { class: 'capture-message' }, 'Press a key, or click a mouse button inside this box.');
  const area = element('div', { class: 'capture-area', tabindex: '0', role: 'button' }, message);
  const cancel = element('button', { type: 'button', class: 'small' }, 'Cancel');
  const dialog = element('div', { class: 'capture-dialog', role: 'dialog', 'aria-modal': 'true', 'aria-label': 'Key capture' }, area, cancel);
  // Where the keyboard was: it goes back there when the box closes.
  const returnTo = document.activeElement;
  root.append(dialog);

  function finish(code) {
    document.removeEventListener('keydown', onKey, true);
    dialog.remove();
    if (code !== null) onCode(code);
    if (returnTo && returnTo.isConnected) returnTo.focus();
  }
  function take(code, what) {
    if (code === null) {
      message.textContent = `${what} has no Windows key code; press another key.`;
      return;
    }
    message.textContent = `${hex(code)}: ${keyName(code)}`;
    finish(code);
  }
  function onKey(event) {
    event.preventDefault();
    event.stopPropagation();
    take(codeOfKey(event.code), `The key ${event.code || event.key}`);
  }
  area.addEventListener('mousedown', (event) => {
    event.preventDefault();
    // The release of the back and forward buttons would leave the page.
    document.addEventListener('mouseup', (release) => release.preventDefault(), { capture: true, once: true });
    take(codeOfMouseButton(event.button), `Mouse button ${event.button}`);
  });
  area.addEventListener('contextmenu', (event) => event.preventDefault());
  area.addEventListener('auxclick', (event) => event.preventDefault());
  cancel.addEventListener('click', () => finish(null));
  document.addEventListener('keydown', onKey, true);
  area.focus();
}

module.exports = { captureKey };
