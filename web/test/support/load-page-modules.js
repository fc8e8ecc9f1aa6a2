'use strict';
// The page's modules as the page runs them: the same files, loaded by Node.
const path = require('node:path');

const source = path.resolve(__dirname, '..', '..', 'src');
module.exports = (name) => require(path.join(source, name));
