'use strict';
// The page driven from the keyboard alone: the controls a player can see,
// the ones the Tab key reaches, and moving the focus to one of them with
// Tab before acting on it with a key.

// Marks every visible control of the page with data-control="n" and gives
// their descriptions: buttons, fields, summaries, and anything else the
// page makes focusable.
function markControls(page) {
  return page.evaluate(() => {
    const visible = (element) => element.getClientRects().length > 0 && getComputedStyle(element).visibility !== 'hidden' && !element.closest('[hidden]');
    const controls = [...document.querySelectorAll('button, input, select, textarea, summary, a[href], [tabindex]')]
      .filter((element) => visible(element) && !element.disabled && element.tabIndex >= 0);
    return controls.map((element, index) => {
      element.dataset.control = String(index);
      return `${element.tagName.toLowerCase()}${element.id ? `#${element.id}` : ''} "${(element.getAttribute('aria-label') || element.textContent || element.className).trim().slice(0, 40)}"`;
    });
  });
}

const focused = (page) => page.evaluate(() => (document.activeElement && document.activeElement.dataset ? document.activeElement.dataset.control ?? null : null));

// The controls (by their marks) that Tab reaches going once round the page.
async function tabRound(page, count) {
  const reached = new Set();
  await page.evaluate(() => document.activeElement && document.activeElement.blur());
  for (let presses = 0; presses < count + 10; presses++) {
    await page.keyboard.press('Tab');
    const control = await focused(page);
    if (control !== null) reached.add(Number(control));
  }
  return reached;
}

// Presses Tab until the element that matches `selector` has the focus.
async function tabTo(page, selector, most = 200) {
  for (let presses = 0; presses < most; presses++) {
    if (await page.evaluate((wanted) => document.activeElement && document.activeElement.matches(wanted), selector)) return;
    await page.keyboard.press('Tab');
  }
  throw new Error(`Tab never reached ${selector}`);
}

module.exports = { markControls, tabRound, tabTo };
