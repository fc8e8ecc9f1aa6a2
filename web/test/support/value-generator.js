'use strict';
// Value texts of each kind, drawn from a seeded generator: well-formed ones
// around every range limit and texts a player gets wrong (signs, points,
// prefixes, white space, stray letters, numbers too long for 32 bits, floats
// on the midpoint between two neighbours).

function random(seed) {
  let state = seed >>> 0;
  return () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

function generator(seed) {
  const next = random(seed);
  const integer = (limit) => Math.floor(next() * limit);
  const pick = (list) => list[integer(list.length)];
  const repeat = (characters, count) => Array.from({ length: count }, () => pick(characters)).join('');
  const digits = (count) => repeat('0123456789', count);

  // Inserts, replaces or appends one character a player might type.
  function disturb(text, characters) {
    const at = integer(text.length + 1);
    const character = pick(characters);
    return pick([
      () => text.slice(0, at) + character + text.slice(at),
      () => text.slice(0, at) + character + text.slice(at + 1),
      () => text + character,
      () => character + text,
    ])();
  }
  const junk = [' ', '\t', '-', '+', '.', 'e', 'E', 'x', 'h', 'a', 'F', 'g', ',', '"', '1', '0', '\u00e9', '\u00a0'];

  function maybeDisturbed(text) {
    return next() < 0.3 ? disturb(text, junk) : text;
  }

  // Texts read in base 16: known ones, numbers around the range (`near`
  // and `wide` bound them) with and without a prefix, a sign or a suffix,
  // and runs of what such a text is made of.
  const hexadecimal = (known, near, wide) => () => maybeDisturbed(pick([
    () => pick(known),
    () => integer(near).toString(16),
    () => `${pick(['', '', '0x', '0X', ' ', '\t', '-', '+', '-0x'])}${'0'.repeat(integer(10))}${integer(wide).toString(16)}${pick(['', '', 'h', 'H', ' ', 'g'])}`,
    () => repeat('0123456789abcdefABCDEFxX-+ ', 1 + integer(12)),
  ])());

  const kinds = {
    boolean: () => pick([
      () => pick(['1', '0', 'true', 'false', 'yes', 'on', 'TRUE', '01', '10', '2', '-1', '+1', '1.0', ' 1', '1 ', 'l']),
      () => repeat('01 -+.xtrueyesTRUE', 1 + integer(4)),
      () => String(integer(100) - 20),
    ])(),
    digits: () => maybeDisturbed(pick([
      () => String(pick([0, 1, 299, 300, 301, 2000, 7500, 9999, 10000, 10001, 14999, 15000, 15001, 65535, 65536, 65537])),
      () => String(integer(70000)),
      () => '0'.repeat(integer(12)) + String(integer(20000)),
      () => digits(9 + integer(14)),
      () => pick(['2147483647', '2147483648', '4294967296', '99999999999', '-0', '-5', '+5']),
    ])()),
    flag: () => maybeDisturbed(pick([
      () => pick(['0', '1', '-0', '-1', '2', '00', '01', '001', '1-', '0-1', '--1', '-', '10', '-00']),
      () => repeat('-01', 1 + integer(5)),
      () => String(integer(2000000) - 1000000),
      () => digits(10 + integer(10)),
    ])()),
    decimal: () => maybeDisturbed(pick([
      () => pick(['100', '100.0', '100.5', '-1', '-', '.', '1e2', '12.5.3', '0', '-0', '.5', '5.', '-.5', '99.999999', '100.000001', '100.00000001']),
      () => `${integer(120)}.${digits(integer(12))}`,
      () => `${next() < 0.2 ? '-' : ''}${digits(integer(4))}.${digits(1 + integer(30))}`,
      () => `0.${'0'.repeat(30 + integer(20))}${digits(1 + integer(10))}`,
      () => floatMidpoint(next, integer),
      () => repeat('-.0123456789', 1 + integer(10)),
      () => digits(30 + integer(20)),
    ])()),
    keyCode: hexadecimal(['70', '0x70', '0X70', '70h', '112', '100', 'FF', 'ff', '0', '00', 'G1', '-1', '-FFFFFFFF', '-FFFFFF01',
      '+70', ' 70', '0x', '0xG', 'FFFFFFFF', '100000000'], 300, 0x200),
    buttonMask: hexadecimal(['0', '0000', '0021', '21', '0x0021', '21h', '1000', '8000', 'FFFF', 'ffff', '10000', '0400', '0C00',
      'F3FF', '-1', '-FFFF', '-FFFFFFFF', '+21', ' 21', 'A', 'Back', 'G1', '65535', '0x', 'FFFFFFFF', '100000000'], 0x11000, 0x20000),
  };
  return { kinds, integer, next };
}

// The exact decimal text of the midpoint between two neighbouring floats in
// 0 to 128, sometimes nudged by a last digit: where a conversion that rounds
// twice goes wrong.
function floatMidpoint(next, integer) {
  const bits = 0x30000000 + integer(0x13000000);
  const view = new DataView(new ArrayBuffer(4));
  view.setUint32(0, bits);
  const low = view.getFloat32(0);
  view.setUint32(0, bits + 1);
  const high = view.getFloat32(0);
  const middle = (low + high) / 2; // exact in a double
  let text = exactDecimal(middle);
  const nudge = next();
  if (nudge < 0.25) text += '1';
  else if (nudge < 0.5) text = lowerByOneUlpOfText(text);
  return text;
}

// Every digit of a double's value (a dyadic fraction has a finite expansion).
function exactDecimal(value) {
  let [numerator, denominator] = [BigInt(Math.floor(value * 2 ** 60)), 2n ** 60n];
  const whole = numerator / denominator;
  let rest = numerator % denominator;
  let fraction = '';
  while (rest !== 0n) {
    rest *= 10n;
    fraction += String(rest / denominator);
    rest %= denominator;
  }
  return fraction ? `${whole}.${fraction}` : String(whole);
}

// The text just below: its last digit lowered (a fraction ends in 5).
function lowerByOneUlpOfText(text) {
  return `${text.slice(0, -1)}4${'9'.repeat(5)}`;
}

module.exports = { generator, exactDecimal };
