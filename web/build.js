'use strict';
// Builds the one self-contained page from web/src: the markup, the style,
// the shipped settings file, and every module of src/ wrapped in a small
// module table, so the page works from a double click with no network.
//   node build.js            writes LumenveilHUD-Companion.html
//   node build.js --check    fails when the committed page is not the built one

const fs = require('node:fs');
const path = require('node:path');

const source = path.join(__dirname, 'src');
const output = path.join(__dirname, 'LumenveilHUD-Companion.html');
const shippedIni = path.join(__dirname, '..', 'package', 'LumenveilHUD.ini');

function moduleTable() {
  const files = fs.readdirSync(source).filter((file) => file.endsWith('.js')).sort();
  const entries = files.map((file) => {
    const name = `./${file.replace(/\.js$/, '')}`;
    const code = fs.readFileSync(path.join(source, file), 'utf8');
    if (code.includes('</script')) throw new Error(`${file} holds "</script", which would end the page's script`);
    return `${JSON.stringify(name)}: function (module, exports, require) {\n${code}\n}`;
  });
  return [
    '// The modules of web/src, each a function of its own module record.',
    'var LumenveilModules = (function () {',
    '  var factories = {',
    entries.join(',\n'),
    '  };',
    '  var cache = {};',
    '  function require(name) {',
    "    var key = name.replace(/\\.js$/, '');",
    '    if (cache[key]) return cache[key].exports;',
    "    if (!factories[key]) throw new Error('no module ' + name);",
    '    var module = { exports: {} };',
    '    cache[key] = module;',
    '    factories[key].call(module.exports, module, module.exports, require);',
    '    return module.exports;',
    '  }',
    '  return { require: require };',
    '})();',
  ].join('\n');
}

function build() {
  const template = fs.readFileSync(path.join(source, 'page.html'), 'utf8');
  const ini = fs.readFileSync(shippedIni, 'latin1').replace(/\r\n/g, '\n');
  const parts = { '/*STYLE*/': fs.readFileSync(path.join(source, 'page.css'), 'utf8').trimEnd(), '/*SHIPPED_INI*/': ini, '/*MODULES*/': moduleTable() };
  return template.replace(/\/\*(STYLE|SHIPPED_INI|MODULES)\*\//g, (marker) => parts[marker]);
}

if (require.main === module) {
  const page = build();
  if (process.argv.includes('--check')) {
    const committed = fs.existsSync(output) ? fs.readFileSync(output, 'utf8') : '';
    if (committed !== page) {
      console.error(`${path.relative(process.cwd(), output)} is not built from web/src: run node web/build.js and commit it`);
      process.exit(1);
    }
  } else {
    fs.writeFileSync(output, page);
    console.log(`wrote ${output} (${page.length} bytes)`);
  }
}

module.exports = { build, output };
