'use strict';
// A table of any length in a scrolling box that holds only the rows in
// view (and a few around them) in the page: a log's thousands of changes
// cost the page as little as a screenful. Rows are of one height, measured
// on the first row drawn; spacer rows stand for the rows not drawn. The box
// takes the keyboard focus, so the arrow and page keys scroll it, and the
// table tells assistive technology its full number of rows.

const { element } = require('./dom');

const SPARE_ROWS = 20;
const FIRST_ROWS = 40;
// Until the table is laid out and its first row measured.
const GUESSED_ROW_HEIGHT = 28;

// `columns`: the header cells' texts; `rowAt(index)`: a <tr> for row index.
function createVirtualTable({ label, columns, rowCount, rowAt, className = '' }) {
  const spacer = () => element('tr', { class: 'spacer', 'aria-hidden': 'true' }, element('td', { colspan: String(columns.length) }));
  const before = spacer();
  const after = spacer();
  const body = element('tbody', {});
  const table = element('table', { class: `virtual ${className}`.trim(), 'aria-rowcount': String(rowCount + 1) },
    element('thead', {}, element('tr', { 'aria-rowindex': '1' }, columns.map((title) => element('th', { scope: 'col' }, title)))),
    body);
  const box = element('div', { class: 'table-scroll', tabindex: '0', role: 'region', 'aria-label': label }, table);
  let rowHeight = 0;
  let shown = { first: -1, last: -1 };
  let pending = false;

  function measured() {
    if (rowHeight === 0 && box.isConnected && body.rows.length > 2) rowHeight = body.rows[1].getBoundingClientRect().height;
    return rowHeight || GUESSED_ROW_HEIGHT;
  }

  function rowsOf(first, last) {
    const rows = [];
    for (let index = first; index < last; index++) {
      const row = rowAt(index);
      row.setAttribute('aria-rowindex', String(index + 2));
      rows.push(row);
    }
    return rows;
  }

  function place(first, last) {
    const height = measured();
    before.firstChild.style.height = `${first * height}px`;
    after.firstChild.style.height = `${(rowCount - last) * height}px`;
    if (first === shown.first && last === shown.last) return;
    body.replaceChildren(before, ...rowsOf(first, last), after);
    shown = { first, last };
  }

  function render() {
    pending = false;
    const height = measured();
    const inView = Math.ceil(box.clientHeight / height) + 1;
    const top = Math.floor(box.scrollTop / height);
    place(Math.max(0, top - SPARE_ROWS), Math.min(rowCount, Math.max(top + inView + SPARE_ROWS, FIRST_ROWS)));
  }

  function renderSoon() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(render);
  }

  box.addEventListener('scroll', renderSoon);
  place(0, Math.min(rowCount, FIRST_ROWS));
  // Once in the page: the real row height for the spacers.
  renderSoon();
  return box;
}

module.exports = { createVirtualTable };
