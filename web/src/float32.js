'use strict';
// Decimal text to a 32-bit float, rounded once and correctly as the C
// library's strtof does. Going through a double first rounds twice, which
// is wrong exactly when the double lands on the midpoint between two floats;
// that case is settled with exact integer arithmetic.

const buffer = new DataView(new ArrayBuffer(4));

function bitsOf(value) {
  buffer.setFloat32(0, value);
  return buffer.getUint32(0);
}

function fromBits(bits) {
  buffer.setUint32(0, bits >>> 0);
  return buffer.getFloat32(0);
}

// The float next to a finite positive float, away from zero.
function nextUp(value) {
  return fromBits(bitsOf(value) + 1);
}

// An exact fraction numerator/denominator (BigInt) of a finite double.
function exactFraction(value) {
  const view = new DataView(new ArrayBuffer(8));
  view.setFloat64(0, value);
  const high = view.getUint32(0);
  const low = view.getUint32(4);
  const exponentBits = (high >>> 20) & 0x7ff;
  let mantissa = (BigInt(high & 0xfffff) << 32n) | BigInt(low);
  let exponent;
  if (exponentBits === 0) {
    exponent = -1074;
  } else {
    mantissa |= 1n << 52n;
    exponent = exponentBits - 1075;
  }
  return exponent >= 0 ? [mantissa << BigInt(exponent), 1n] : [mantissa, 1n << BigInt(-exponent)];
}

// digits: the decimal digits without point; scale: the power of ten to apply.
function compareDecimalWith(digits, scale, value) {
  const [numerator, denominator] = exactFraction(value);
  let left = BigInt(digits) * denominator;
  let right = numerator;
  if (scale >= 0) {
    left *= 10n ** BigInt(scale);
  } else {
    right *= 10n ** BigInt(-scale);
  }
  return left < right ? -1 : left > right ? 1 : 0;
}

// text: an optional minus and digits with at most one point, at least one
// digit. Returns the float value (Infinity when it overflows the float range).
function decimalToFloat32(text) {
  const negative = text.startsWith('-');
  const body = negative ? text.slice(1) : text;
  const point = body.indexOf('.');
  const digits = point < 0 ? body : body.slice(0, point) + body.slice(point + 1);
  const scale = point < 0 ? 0 : -(body.length - point - 1);
  const asDouble = Number(body);
  let result = Math.fround(asDouble);
  if (Number.isFinite(result) && result !== asDouble) {
    const lower = asDouble > result ? result : fromBits(bitsOf(result) - 1);
    const upper = nextUp(lower);
    const middle = lower + (upper - lower) / 2;
    if (Number.isFinite(upper) && asDouble === middle) {
      const side = compareDecimalWith(digits, scale, middle);
      result = side < 0 ? lower : side > 0 ? upper : (bitsOf(lower) & 1) === 0 ? lower : upper;
    }
  }
  return negative ? -result : result;
}

// The smallest positive normal float: below it a conversion underflows.
const minNormal = 1.1754943508222875e-38;

module.exports = { decimalToFloat32, bitsOf, minNormal };
