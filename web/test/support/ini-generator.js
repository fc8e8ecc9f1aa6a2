'use strict';
// INI files for the file-reading comparison written by hand: names in other
// letter cases, white space, quotes, comments, keys written twice, sections
// twice or misspelt, line endings, byte-order marks, values longer than the
// plugin's buffer. ini-shapes.js generates files that mix all of these.

const fs = require('node:fs');
const path = require('node:path');
const { repository } = require('./build-tree');

const latin1 = (text) => Buffer.from(text, 'latin1');
const crlf = (lines) => latin1(lines.join('\r\n') + '\r\n');

function handWritten() {
  const shipped = fs.readFileSync(path.join(repository, 'package', 'LumenveilHUD.ini'));
  const utf16 = (text) => Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
  const utf8WithMark = (text) => Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), Buffer.from(text, 'utf8')]);
  const files = {
    shipped,
    empty: latin1(''),
    'no-section': crlf(['iHUDToggle=70', 'iKeepHUDShownMS=5000']),
    'letter-case': crlf(['[SETTINGS]', 'ihudtoggle=70', 'IKEEPHUDSHOWNMS=5000', 'bshowincombat=1', 'BLOGGING=1']),
    'white-space': crlf(['  [Settings]  ', '  iHUDToggle  =   70  ', '\tiKeepHUDShownMS\t=\t5000\t', 'bShowInCombat =0', 'fShowBelowHealthPercent=  25 ']),
    quotes: crlf(['[Settings]', 'iHUDToggle="70"', "iKeepHUDShownMS='5000'", 'iKeepHUDShownLongMS="5000\'', 'bLogging=""',
      'bShowInCombat="1', 'bShowWhileSneaking=\'0\'', 'fShowBelowHealthPercent=" 25 "', 'iVehicleAimKeyDown=""05""']),
    'inline-comments': crlf(['[Settings] ; the plugin\'s', 'iKeepHUDShownMS=5000 ; five seconds', 'bShowInCombat=1 ; on',
      'iHUDToggle=70 ; F1', 'fShowBelowHealthPercent=25 # a quarter']),
    'commented-keys': crlf(['[Settings]', ';iHUDToggle=70', '#iKeepHUDShownMS=5000', '; bShowInCombat=0', 'bShowWhileSneaking=0']),
    'key-twice': crlf(['[Settings]', 'iKeepHUDShownMS=1000', 'iHUDToggle=70', 'iKeepHUDShownMS=3000', 'IHUDTOGGLE=71']),
    'section-twice': crlf(['[Settings]', 'iKeepHUDShownMS=1000', '[Other]', 'iHUDToggle=72', '[settings]',
      'iKeepHUDShownMS=3000', 'iHUDToggle=70', 'bShowInCombat=0']),
    'section-variants': crlf(['[ Settings ]', 'iKeepHUDShownMS=1000', '[Settings', 'iHUDToggle=70', '[Settings]x', 'bShowInCombat=0']),
    'section-indented': crlf(['   [Settings]', 'iKeepHUDShownMS=1234']),
    'empty-section-first': crlf(['[]', 'iHUDToggle=70', '[Settings]', 'iKeepHUDShownMS=1000']),
    'lf-endings': latin1('[Settings]\niHUDToggle=70\niKeepHUDShownMS=5000\n'),
    'cr-endings': latin1('[Settings]\riHUDToggle=70\riKeepHUDShownMS=5000\r'),
    'mixed-endings': latin1('[Settings]\r\niHUDToggle=70\niKeepHUDShownMS=5000\rbShowInCombat=0'),
    'no-final-newline': latin1('[Settings]\r\niKeepHUDShownMS=4321'),
    'utf8-mark': utf8WithMark('[Settings]\r\niHUDToggle=70\r\niKeepHUDShownMS=5000\r\n'),
    'utf16-mark': utf16('[Settings]\r\niHUDToggle=70\r\niKeepHUDShownMS=5000\r\nfShowBelowHealthPercent=12.5\r\n'),
    'no-equals': crlf(['[Settings]', 'bLogging', 'iHUDToggle 70', 'iKeepHUDShownMS=5000']),
    'empty-name': crlf(['[Settings]', '=5000', ' = 70', 'iKeepHUDShownMS=']),
    'space-in-name': crlf(['[Settings]', 'iKeep HUDShownMS=5000', 'i HUDToggle=70']),
    'equals-in-value': crlf(['[Settings]', 'iHUDToggle=70=5', 'iKeepHUDShownMS==5000', 'fShowBelowHealthPercent=25=']),
    'long-value': crlf(['[Settings]', `iKeepHUDShownMS=${'0'.repeat(10005)}5`, `iHUDToggle=${'0'.repeat(9997)}71`, `bShowInCombat=1${' '.repeat(20000)}x`]),
    'long-line-of-spaces': crlf(['[Settings]', `iKeepHUDShownMS=${' '.repeat(12000)}5000`]),
    'non-ascii': latin1('[Settings]\r\niKeepHUDShownMS=\u00a05000\r\niHUDToggle=70\u00e9\r\nbShowInCombat=\u00b9\r\n'),
    'fullwidth-digits': utf8WithMark('[Settings]\r\niKeepHUDShownMS=\uff15\uff10\uff10\uff10\r\niHUDToggle=\uff17\uff10\r\n'),
    'tab-and-formfeed': latin1('[Settings]\r\n\fiKeepHUDShownMS=5000\f\r\n\viHUDToggle=70\v\r\n'),
    'keys-before-and-after': crlf(['iHUDToggle=71', '[Settings]', 'iKeepHUDShownMS=1000', '[General]', 'iKeepHUDShownMS=3000']),
  };
  return Object.entries(files).map(([name, bytes]) => ({ name, bytes, handWritten: true }));
}

function handWrittenFiles() {
  return handWritten();
}

module.exports = { handWrittenFiles };
