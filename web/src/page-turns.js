'use strict';
// Long work on the page's thread in short steps: between two steps the
// browser runs its timers, input and painting, so the page never stands
// still for the whole of the work.

// Resolves in a task after the next frame: what the last step put in the
// page is laid out and painted in a task of its own, and timers and input
// queued meanwhile run first.
function nextTurn() {
  return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
}

// Runs the steps in order, one task each; stops early, without an error,
// when `isCurrent` turns false (the player opened another file meanwhile).
async function runInTurns(steps, isCurrent = () => true) {
  for (const step of steps) {
    if (!isCurrent()) return false;
    step();
    await nextTurn();
  }
  return isCurrent();
}

module.exports = { nextTurn, runInTurns };
