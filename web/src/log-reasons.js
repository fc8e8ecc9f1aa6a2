'use strict';
// The reasons the log gives, in a player's words: the decision's verdicts
// ("result = [show] | IsWeaponDrawn") and the game's events the plugin's
// sinks log (" --> LocationTextEvent"). Each comes with the log's own word,
// which the page prints beside it in small type.

// The verdicts of the decision, by the word after "result = [show] | " or
// "result = [hide] | ".
const VERDICT_WORDS = {
  UnityInProcess: 'the plugin leaves the HUD to the game (just after loading, a video or the credits)',
  IsGameMenuPaused: 'a menu pauses the game',
  'PlayerChar->parentCell is nullptr': 'the player is between places (loading)',
  'Toggled ON': 'the toggle key turned the HUD on',
  'Toggled OFF': 'the toggle key turned the HUD off',
  'HUDToggleOverride [bShowHUD=TRUE] is active': 'the toggle key keeps the HUD on',
  'HUDToggleOverride [bShowHUD=FALSE] is active': 'the toggle key keeps the HUD off',
  SubtitlesPlaying: 'a subtitle is on screen',
  IsSneaking: 'sneaking',
  IsWeaponDrawn: 'a weapon is drawn',
  IsInCombat: 'in combat',
  VehicleAim: 'the vehicle-aim key is held',
  IsInVehicle: 'riding a land vehicle',
  HealthPercent: 'health is low',
  OxygenPercent: 'oxygen is low',
  BoostPackPercent: 'boost-pack fuel is low',
  IsOverencumbered: 'over-encumbered',
  IsJumping: 'jumping',
  HostileActorsNear: 'hostiles nearby',
  'menuStack.size <= 0': 'the game shows no screen of its own yet (loading)',
  'MQ305.IsStageDone(2000)': 'the main story is finished',
  '!MQ301.IsStageDone(0)': 'the main story has not begun yet',
  'AutoAim->data is nullptr': 'the game has no aiming data yet (loading)',
  'AutoAimTargetRef valid and exists': 'aiming at something',
};

// The two menus a setting decides about: shown or hidden with them open.
const OVERRIDDEN_MENU = /^MenuOverrider \[(\w+)\] is active$/;

const MENU_WORDS = {
  DataMenu: 'data menu',
  PauseMenu: 'pause menu',
  MainMenu: 'main menu',
  GalaxyStarMapMenu: 'star map',
  InventoryMenu: 'inventory',
  BSMissionMenu: 'mission log',
  PowersMenu: 'powers menu',
  SkillsMenu: 'skills menu',
  PhotoModeMenu: 'photo mode',
  ShipCrewMenu: 'ship crew menu',
  MessageBoxMenu: 'message box',
  MonocleMenu: 'hand scanner',
  SpaceshipHudMenu: 'ship HUD',
  EndGameCreditsMenu: 'end credits',
  PlayBinkMenu: 'video player',
  HUDMenu: 'HUD',
  HUDMessagesMenu: 'HUD messages',
  CursorMenu: 'mouse cursor',
};

const EVENT_WORDS = {
  SaveLoadEvent: ['save', 'a save was loaded'],
  LocationTextEvent: ['discovery', 'a location was discovered'],
  TraitDiscoveryTextEvent: ['discovery', 'a planet trait was discovered'],
  HUDNotification_MissionActiveWidgetUpdate: ['mission', 'a mission became active'],
  LevelUp_OnWidgetShown: ['levelup', 'a level-up'],
  ShowSubtitleEvent: ['subtitle', 'a subtitle appeared'],
  HideSubtitleEvent: ['subtitle', 'a subtitle ended'],
};

// "ContainerMenu" reads "container menu", "UIBarterMenu" "UI barter menu";
// the menus players meet most have names of their own above.
function menuWords(name) {
  if (MENU_WORDS[name]) return MENU_WORDS[name];
  const words = name.replace(/Menu$/, '').replace(/([a-z\d])([A-Z])/g, '$1 $2').replace(/([A-Z]+)([A-Z][a-z])/g, '$1 $2').split(/[\s_]+/).filter(Boolean);
  if (words.length === 0) return name;
  return `${words.map((word) => (/^[A-Z\d]+$/.test(word) ? word : word.toLowerCase())).join(' ')} menu`;
}

// The game event a sink's line names: { kind, words, logWord }, or null.
function eventOf(text) {
  if (!text.startsWith(' --> ')) return null;
  const logWord = text.slice(' --> '.length);
  const match = /^(\w+)(?: \[(.*)\] \| abOpening \[(\d)\])?$/.exec(logWord);
  if (!match) return { kind: 'event', words: `the game's event ${logWord}`, logWord };
  if (match[1] === 'MenuOpenCloseEvent' && match[2] !== undefined) {
    return { kind: 'menu', words: `the ${menuWords(match[2])} ${match[3] === '1' ? 'opened' : 'closed'}`, logWord };
  }
  const [kind, words] = EVENT_WORDS[match[1]] || ['event', `the game's event ${match[1]}`];
  return { kind, words, logWord };
}

function verdictOf(text) {
  const match = /^result = \[(show|hide)\](?: \| (.*))?/.exec(text);
  if (!match) return null;
  const [, outcome, word] = match;
  if (word === undefined) {
    return { words: outcome === 'hide' ? 'nothing asks for the HUD' : 'the decision shows the HUD', logWord: `[${outcome}]` };
  }
  const menu = OVERRIDDEN_MENU.exec(word);
  if (menu) {
    const setting = outcome === 'show' ? '' : ', set to hide the HUD';
    return { words: `the ${menuWords(menu[1])} is open${setting}`, logWord: word };
  }
  return { words: VERDICT_WORDS[word] || `the decision's reason "${word}"`, logWord: word };
}

// A line's reason as the player reads it and as the log wrote it, or null
// when the line gives none.
function reasonOf(text) {
  return verdictOf(text) || eventOf(text);
}

module.exports = { reasonOf, eventOf, menuWords, VERDICT_WORDS };
