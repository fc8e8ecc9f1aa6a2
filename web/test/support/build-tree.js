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

function runWindows(program, args, input, options) {
  return run(wineRun(), [required(path.join(windowsBuild, 'bin', program), 'windows-release', program.replace(/\.exe$/, '')), ...args], input, options);
}

function runNative(program, args, input, options) {
  return run(required(path.join(nativeBuild, 'bin', program), 'native-sanitize', program), args, input, options);
}

module.exports = { repository, windowsBuild, nativeBuild, runWindows, runNative, required };
