'use strict';
// Analyses a log file in a worker made from an inline Blob of the page's
// modules, so a file of a million lines leaves the page responsive; where a
// worker cannot be made, on the page's thread after the next paint. Gives
// { report, where }, where being "worker" or "page".

const { analyseLog } = require('./log-report');

function workerSource(modulesText) {
  return `${modulesText}\nLumenveilModules.require('./log-worker').serveLogAnalysis(self);\n`;
}

function analyseOnPage(file) {
  return new Promise((resolve) => setTimeout(resolve, 0))
    .then(async () => ({ report: analyseLog(new Uint8Array(await file.arrayBuffer())), where: 'page' }));
}

function analyseLogFile(file, modulesText) {
  let worker;
  let url;
  try {
    url = URL.createObjectURL(new Blob([workerSource(modulesText)], { type: 'text/javascript' }));
    worker = new Worker(url);
  } catch (error) {
    if (url) URL.revokeObjectURL(url);
    return analyseOnPage(file);
  }
  return new Promise((resolve, reject) => {
    // The worker ends itself once it has answered.
    worker.onmessage = (event) => {
      URL.revokeObjectURL(url);
      if (event.data.error) reject(new Error(event.data.error));
      else resolve({ report: event.data.report, where: 'worker' });
    };
    worker.onerror = (event) => {
      event.preventDefault();
      worker.terminate();
      URL.revokeObjectURL(url);
      analyseOnPage(file).then(resolve, reject);
    };
    worker.postMessage(file);
  });
}

module.exports = { analyseLogFile };
