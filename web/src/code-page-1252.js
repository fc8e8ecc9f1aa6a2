'use strict';
// The Windows ANSI code page 1252 as the system converts with it: bytes to
// characters (the five bytes it leaves undefined become the control
// character of the same number), and UTF-16 text to bytes the way
// WideCharToMultiByte does with no flags, which takes the code page's
// "best fit" for characters it lacks (full-width 5 becomes 5, the minus
// sign U+2212 a hyphen) and "?" for the rest, one per UTF-16 unit.

const HIGH = '\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d\u008f' +
  '\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178';

// Best-fit byte: the characters (hexadecimal code points and ranges) that
// convert to it. From Microsoft's code page data for 1252.
const BEST_FIT = {
  0x20: '2000-2006 3000',
  0x21: '1c3 ff01',
  0x22: '2ba 30e ff02',
  0x23: 'ff03',
  0x24: 'ff04',
  0x25: '66a ff05',
  0x26: 'ff06',
  0x27: '2b9 2bc 2c8 2032 ff07',
  0x28: '2320 ff08',
  0x29: '2321 ff09',
  0x2a: '2217 ff0a',
  0x2b: '250c 2510 2514 2518 251c 253c 2552-255d 256a-256c ff0b',
  0x2c: 'ff0c',
  0x2d: '2010-2011 2212 2500 252c 2534 2550 2564-2569 ff0d',
  0x2e: 'ff0e',
  0x2f: '2044 2215 ff0f',
  0x30: '2080 ff10',
  0x31: '2081 ff11',
  0x32: '2082 ff12',
  0x33: '2083 ff13',
  0x34: '2074 2084 ff14',
  0x35: '2075 2085 ff15',
  0x36: '2076 2086 ff16',
  0x37: '2077 2087 ff17',
  0x38: '2078 2088 221e ff18',
  0x39: '2089 ff19',
  0x3a: '589 2236 ff1a',
  0x3b: '37e ff1b',
  0x3c: '2329 3008 ff1c',
  0x3d: '2017 2261 2264-2265 ff1d',
  0x3e: '232a 3009 ff1e',
  0x40: 'ff20',
  0x41: '100 102 104 1cd 1de ff21',
  0x42: '212c ff22',
  0x43: '106 108 10a 10c 2102 212d ff23',
  0x44: '10e ff24',
  0x45: '112 114 116 118 11a 2107 2130 ff25',
  0x46: '3a6 2131 ff26',
  0x47: '11c 11e 120 122 1e4 1e6 393 ff27',
  0x48: '124 126 210b-210d ff28',
  0x49: '128 12a 12c 12e 130 197 1cf 2110-2111 ff29',
  0x4a: '134 ff2a',
  0x4b: '136 1e8 212a ff2b',
  0x4c: '139 13b 13d 141 2112 ff2c',
  0x4d: '2133 ff2d',
  0x4e: '143 145 147 2115 ff2e',
  0x4f: '14c 14e 150 19f-1a0 1d1 1ea 1ec 3a9 ff2f',
  0x50: '20a7 2118-2119 ff30',
  0x51: '211a ff31',
  0x52: '154 156 158 211b-211d ff32',
  0x53: '15a 15c 15e 3a3 ff33',
  0x54: '162 164 166 1ae 398 ff34',
  0x55: '168 16a 16c 16e 170 172 1af 1d3 1d5 1d7 1d9 1db ff35',
  0x56: 'ff36',
  0x57: '174 ff37',
  0x58: 'ff38',
  0x59: '176 ff39',
  0x5a: '179 17b 2124 2128 ff3a',
  0x5b: '301a ff3b',
  0x5c: '2216 ff3c',
  0x5d: '301b ff3d',
  0x5e: '2c4 302 2303 ff3e',
  0x5f: '2cd 331-332 2584 ff3f',
  0x60: '2cb 300 2035 ff40',
  0x61: '101 103 105 1ce 1df 3b1 ff41',
  0x62: '180 ff42',
  0x63: '107 109 10b 10d ff43',
  0x64: '10f 111 3b4 ff44',
  0x65: '113 115 117 119 11b 3b5 212e-212f ff45',
  0x66: '3c6 ff46',
  0x67: '11d 11f 121 123 1e5 1e7 261 210a ff47',
  0x68: '125 127 4bb 210e ff48',
  0x69: '129 12b 12d 12f 131 1d0 ff49',
  0x6a: '135 1f0 ff4a',
  0x6b: '137 1e9 ff4b',
  0x6c: '13a 13c 13e 142 19a 2113 ff4c',
  0x6d: 'ff4d',
  0x6e: '144 146 148 207f 2229 ff4e',
  0x6f: '14d 14f 151 1a1 1d2 1eb 1ed 2134 ff4f',
  0x70: '3c0 ff50',
  0x71: 'ff51',
  0x72: '155 157 159 ff52',
  0x73: '15b 15d 15f 3c3 ff53',
  0x74: '163 165 167 1ab 3c4 ff54',
  0x75: '169 16b 16d 16f 171 173 1b0 1d4 1d6 1d8 1da 1dc ff55',
  0x76: '221a ff56',
  0x77: '175 ff57',
  0x78: 'ff58',
  0x79: '177 ff59',
  0x7a: '17a 17c 1b6 ff5a',
  0x7b: 'ff5b',
  0x7c: '1c0 2223 2758 ff5c',
  0x7d: 'ff5d',
  0x7e: '303 223c ff5e',
  0x83: '191',
  0x98: '2248',
  0xa2: '20a1',
  0xa3: '20a4',
  0xa4: '263c',
  0xa6: '2302 2502 2524 2551 255e-2563 2588 258c 2590-2593 25a0',
  0xa8: '308',
  0xab: '226a 300a',
  0xac: '2310',
  0xaf: '2c9 304-305 2580',
  0xb0: '2da 30a 2070 2218',
  0xb1: '2213',
  0xb4: '2ca 301',
  0xb5: '3bc',
  0xb7: '2024 2219 22c5 30fb',
  0xb8: '327',
  0xbb: '226b 300b',
  0xc5: '212b',
  0xd0: '110 189',
  0xd8: '2205',
  0xdf: '3b2',
};

const charOfByte = (byte) => (byte >= 0x80 && byte < 0xa0 ? HIGH[byte - 0x80] : String.fromCharCode(byte));

const byteOfUnit = new Map();
for (let byte = 0; byte < 256; byte++) byteOfUnit.set(charOfByte(byte).charCodeAt(0), byte);
for (const [byte, list] of Object.entries(BEST_FIT)) {
  for (const item of list.split(' ')) {
    const [first, last = first] = item.split('-').map((hex) => parseInt(hex, 16));
    for (let unit = first; unit <= last; unit++) byteOfUnit.set(unit, Number(byte));
  }
}

const QUESTION_MARK = 0x3f;

function decode1252(bytes) {
  let text = '';
  for (const byte of bytes) text += charOfByte(byte);
  return text;
}

// The byte each UTF-16 unit of `text` converts to.
function bytesOf(text) {
  const bytes = new Uint8Array(text.length);
  for (let index = 0; index < text.length; index++) bytes[index] = byteOfUnit.get(text.charCodeAt(index)) ?? QUESTION_MARK;
  return bytes;
}

// Unicode text as the plugin's narrow reading receives it, shown again as
// characters of the code page: "５０００" gives "5000", "½" stays "½".
function narrowText(text, { bestFit = true } = {}) {
  let narrow = '';
  for (let index = 0; index < text.length; index++) {
    const unit = text.charCodeAt(index);
    const byte = byteOfUnit.get(unit);
    const exact = byte !== undefined && charOfByte(byte).charCodeAt(0) === unit;
    narrow += charOfByte(byte !== undefined && (exact || bestFit) ? byte : QUESTION_MARK);
  }
  return narrow;
}

// True when the character is one of the code page's own (no best fit needed).
function inCodePage(character) {
  const byte = byteOfUnit.get(character.charCodeAt(0));
  return character.length === 1 && byte !== undefined && charOfByte(byte) === character;
}

module.exports = { decode1252, bytesOf, narrowText, inCodePage, charOfByte };
