'use strict';
// The tasks the page's own thread ran while something happened, from a
// trace of the browser: for each, its length on the wall clock and the
// processor time the thread spent on it. The processor time is the page's
// own work; on a machine shared with other jobs the thread also waits for a
// processor, which the wall clock counts and no page can help.

async function pageThreadTasks(page, during) {
  let trace;
  await page.tracing.start({ categories: ['devtools.timeline', 'disabled-by-default-devtools.timeline'] });
  try {
    await during();
  } finally {
    trace = JSON.parse(Buffer.from(await page.tracing.stop()).toString('utf8')).traceEvents;
  }
  const url = page.url();
  const started = trace.find((event) => event.name === 'TracingStartedInBrowser');
  const frame = started.args.data.frames.find((candidate) => candidate.url === url);
  const thread = trace.find((event) => event.pid === frame.processId && event.name === 'thread_name' && event.args.name === 'CrRendererMain');
  return trace.filter((event) => event.pid === thread.pid && event.tid === thread.tid && event.ph === 'X' && event.name === 'RunTask')
    .map((event) => ({ wallMs: event.dur / 1000, cpuMs: (event.tdur ?? event.dur) / 1000 }));
}

module.exports = { pageThreadTasks };
