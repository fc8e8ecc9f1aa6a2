'use strict';
// Programs of the project's builds that the tests run: the settings probes
// and the simulated game. Missing ones fail the test that needs them with
// the command that builds them.

const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');

const repository = path.resolve(__dirname, '..', '..', '..');
const windowsBuild = process.env.LUMENVEIL_WINDOWS_BUILD || path.join(repository, 'build', 'windows-release');
const nativeBuild = process.env.LUMENVEIL_NATIVE_BUILD || path.join(repository, 'build', 'native-sanitize');
// The page's tests run Windows programs in a Wine of their own (prefix and
// home): beside the Windows tests, their file reads never queue in one
// wineserver with those tests' programs, and their game sessions write the
// plugin's log into a home of their own.
const pageWine = path.join(windowsBuild, 'page-wine');

function required(file, preset, target) {
  if (!fs.existsSync(file)) {
    throw new Error(`${file} is missing: cmake --build --preset ${preset} --target ${target}`);
  }
  return file;
}

const wineRun = () => required(path.join(windowsBuild, 'wine-run.sh'), 'windows-release', 'settingsprobe');

// Runs a program with `input` on its standard input; its standard output, or
// an error that says how it failed.
function run(command, args, input, options = {}) {
  const result = spawnSync(command, args, { input, maxBuffer: 1 << 30, encoding: 'latin1', ...options });
  if (result.error) throw result.error;
  if (result.status !== 0) {
    throw new Error(`${command} ${args.join(' ')} exited with ${result.status}: ${result.stderr.slice(0, 2000)}`);
  }
  return result.stdout;
}

const inPageWine = (options = {}) => ({ ...options, env: { ...process.env, ...options.env, LUMENVEIL_WINE_DIR: pageWine } });

function runWindows(program, args, input, options) {
  return run(wineRun(), [required(path.join(windowsBuild, 'bin', program), 'windows-release', program.replace(/\.exe$/, '')), ...args], input,
    inPageWine(options));
}

// Wine makes a missing prefix when a program first starts in it, but two
// test files starting programs at once would race to make it: web/test.sh
// makes it before the tests start. Wine stamps a prefix it has finished
// making (.update-timestamp); without the Windows build, the tests that need
// it say so.
function preparePageWine() {
  const made = fs.existsSync(path.join(pageWine, 'prefix', '.update-timestamp'));
  if (!made && fs.existsSync(path.join(windowsBuild, 'wine-run.sh'))) run(wineRun(), ['wineboot', '--init'], '', inPageWine());
}

function runNative(program, args, input, options) {
  return run(required(path.join(nativeBuild, 'bin', program), 'native-sanitize', program), args, input, options);
}

module.exports = { repository, windowsBuild, nativeBuild, pageWine, runWindows, runNative, required, preparePageWine };
