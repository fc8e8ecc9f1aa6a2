'use strict';
// What the plugin's start-up warnings and errors and a fatal report's last
// line mean, and what the player can do about them. The fatal messages are
// the README's table "When the game will not start" word for word (a test
// holds the two together); the others are the lines of a plugin that loads
// but cannot act, or that the trampoline writes on the way to a fatal one.
// `begins` matches the start of the message's first line, `contains` any
// part of it. Text between backquotes is a file or folder name.

const FATAL = [
  {
    begins: 'Failed to find address library file:',
    meaning: 'no address-library file for this game version in `Data\\Zorvik\\Plugins\\` (Steam: `versionlib-1-14-70-0.bin`; other stores: `versionlib-1-14-70-0-1.bin`)',
    todo: 'install the address library that matches the game\'s exact version and store',
  },
  {
    begins: 'Address library version mismatch.',
    meaning: 'the file is for another game version (the message names it)',
    todo: 'install the file for the running version, or the plugin version for your game',
  },
  {
    begins: 'Unsupported address library format:',
    meaning: 'the file is not in the packed format 2',
    todo: 'get a current address-library file',
  },
  {
    begins: 'Failed to locate an appropriate address library with the path:',
    meaning: 'the file is cut short or damaged',
    todo: 'download the address library again',
  },
  {
    begins: 'Failed to find the id within the address library:',
    meaning: 'the file lacks a game function this plugin needs',
    todo: 'the file does not fit this plugin version; update one or the other',
  },
  {
    begins: 'failed to read the product version of the game executable',
    meaning: 'the game\'s executable carries no readable version',
    todo: 'repair the game installation',
  },
  {
    begins: 'unexpected code at the hooked call:',
    meaning: 'the game\'s per-frame call (ID 153799 + 0x6F) holds another instruction (the message names the byte found; 0xE9 is a jump): the address library does not fit this game, or another plugin rewrote that call',
    todo: 'install the address library for the game\'s exact version; then disable other plugins that change the HUD or the game\'s frame, one at a time',
  },
  {
    begins: 'unexpected address of the hooked call:',
    meaning: 'the address library places the per-frame function outside the game\'s code: the file is damaged or made for another game',
    todo: 'download the address library for the game\'s exact version again',
  },
  {
    begins: 'failed to create trampoline',
    meaning: 'no free memory near the game\'s code for the plugin\'s hook',
    todo: 'restart the game; remove other plugins that hook a lot',
  },
];

const SECURITY_TOOL = 'allow the game to run unhindered in your security tool (an exception for the game\'s folder), then start the game again';

const STARTUP = [
  {
    begins: 'Failed to register messaging listener for',
    meaning: 'the loader refused the plugin\'s listener: the plugin stays loaded but never acts, and the HUD stays as the game shows it',
    todo: 'install the Zorvik loader made for the game\'s exact version, then start the game again',
  },
  {
    begins: 'the HUD hook was not installed:',
    meaning: 'the plugin could not change the game\'s per-frame call: its rules of each frame never run; a menu opening still shows the HUD, and a subtitle ending or a menu closing may hide it, but nothing else does',
    todo: SECURITY_TOOL,
  },
  {
    begins: 'the sink of ',
    meaning: 'the game offered no source for these events when the plugin installed itself: the HUD will not answer them (menus, saves loaded, subtitles, discoveries, missions or level-ups, as the line names them); the rest of the plugin goes on',
    todo: 'make sure the game and the address library are the exact versions this plugin is made for; report the line if they are',
  },
  {
    begins: 'VirtualProtect failed with code:',
    meaning: 'Windows refused to make the game\'s code writable (the code is a Windows system error code; 5 is access denied): something, often a security tool, keeps the game\'s code from being changed',
    todo: SECURITY_TOOL,
  },
  {
    begins: 'VirtualAlloc failed with code:',
    meaning: 'one place near the game\'s code could not be reserved for the plugin\'s hook; the plugin tries the next one',
    todo: 'nothing, unless "failed to create trampoline" follows',
  },
  {
    begins: 'VirtualQuery failed with code:',
    meaning: 'Windows would not describe the memory near the game\'s code, so the plugin found no place for its hook',
    todo: 'restart the game; remove other plugins that hook a lot',
  },
  {
    contains: 'handle couldn\'t be acquired, shutting down',
    meaning: 'the plugin did not find the game\'s program in the process that loaded it, and did not load',
    todo: 'start the game through the Zorvik loader',
  },
  {
    contains: 'is nullptr, shutting down',
    meaning: 'a game object the plugin needs was not found, so the plugin ended the game without a message',
    todo: 'install the address library for the game\'s exact version; if the line stays, this plugin version does not fit your game',
  },
];

// The meaning and what to do for a message, or null for one the plugin
// writes as a matter of course.
function adviceFor(message) {
  const first = message.split('\n')[0];
  return [...FATAL, ...STARTUP].find((entry) => (entry.begins ? first.startsWith(entry.begins) : first.includes(entry.contains))) || null;
}

// A fatal report whose message is none of the above: a check of the
// plugin's own failed.
const UNKNOWN_FATAL = {
  meaning: 'one of the plugin\'s own checks failed, and it ended the game rather than run unsafely',
  todo: 'start the game again; if the same line comes back, keep this log and report it to the plugin\'s author',
};

module.exports = { adviceFor, FATAL, STARTUP, UNKNOWN_FATAL };
