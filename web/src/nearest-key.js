'use strict';
// The real key a misspelt one most likely meant: the smallest edit distance,
// letter case ignored.

function editDistance(a, b) {
  let previous = Array.from({ length: b.length + 1 }, (_, index) => index);
  for (let i = 1; i <= a.length; i++) {
    const current = [i];
    for (let j = 1; j <= b.length; j++) {
      const substitution = previous[j - 1] + (a[i - 1] === b[j - 1] ? 0 : 1);
      current.push(Math.min(previous[j] + 1, current[j - 1] + 1, substitution));
    }
    previous = current;
  }
  return previous[b.length];
}

function nearestKey(name, keys) {
  let best = null;
  for (const key of keys) {
    const distance = editDistance(name.toLowerCase(), key.toLowerCase());
    if (best === null || distance < best.distance) best = { key, distance };
  }
  return best;
}

module.exports = { nearestKey, editDistance };
