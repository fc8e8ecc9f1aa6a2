'use strict';
// The log's analysis off the page's thread: a worker built from the page's
// own script text answers the file it is sent with its report, then ends
// itself, so that the page's thread need not wait for it to stop.

const { analyseLog } = require('./log-report');

function serveLogAnalysis(scope) {
  scope.onmessage = async (event) => {
    try {
      const bytes = new Uint8Array(await event.data.arrayBuffer());
      scope.postMessage({ report: analyseLog(bytes) });
    } catch (error) {
      scope.postMessage({ error: String((error && error.message) || error) });
    }
    scope.close();
  };
}

module.exports = { serveLogAnalysis };
