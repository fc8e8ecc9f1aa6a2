'use strict';
// Which of the timeline's change labels fit above the HUD's band: the
// labels of changes that showed the HUD are placed first, each where its
// mark is if it overlaps no label placed before; the labels of changes that
// hid it then take the room that is left. So a hidden label never takes a
// shown one's place.

const GAP = 6;

// `labels`: { x, width, shown } in the order of their marks; gives the ones
// to draw, in the same order.
function placeLabels(labels, right) {
  const placed = [];
  const overlaps = (label) => placed.some((other) => label.x < other.x + other.width + GAP && other.x < label.x + label.width + GAP);
  for (const wanted of [true, false]) {
    for (const label of labels) {
      if (label.shown !== wanted || label.x + label.width > right || overlaps(label)) continue;
      placed.push(label);
    }
  }
  const chosen = new Set(placed);
  return labels.filter((label) => chosen.has(label));
}

module.exports = { placeLabels };
