'use strict';
// The whole session in one page: the page answers script calls while the program runs (its
// loop gives the browser its turn), Escape held ends the program with status 0, and the page
// then says so, hides the canvas and offers to start again. Nothing on the console is an
// error from the dialog to the end (every scenario checks that; this one covers the end).
const {run, fail, note} = require('../web_lib');

const calls = 50; // script calls while the program runs, each answered in time or a failure
const endedLine = 'console log: funnies ended with status 0';

run(async session => {
  await session.startRunning();
  const framesBefore = await session.framesShown();
  let slowest = 0;
  for (let i = 0; i < calls; i++) {
    const asked = Date.now();
    const running = await session.evaluate(() => !document.getElementById('canvas').hidden);
    slowest = Math.max(slowest, Date.now() - asked);
    if (!running) fail('the canvas was hidden while the program ran');
  }
  const frames = (await session.framesShown()) - framesBefore;
  if (frames === 0) fail(`the program showed no frame while the page answered ${calls} calls`);
  note(`${calls} script calls answered while the program showed ${frames} frames, ` +
       `the slowest in ${slowest} ms`);
  await session.waitFor('the swarm to spread into view', 15, () => session.swarmDrawn());

  await session.page.keyboard.down('Escape');
  let ending = null;
  await session.waitFor("the page's 'funnies has ended.'", 10, async () => {
    ending = await session.ending();
    return ending.status === 'funnies has ended.';
  });
  await session.page.keyboard.up('Escape');
  await session.waitFor('the exit status on the console', 5,
                        async () => session.consoleLines.includes(endedLine));
  if (!ending.again) fail("the page does not show its 'Start funnies again' button");
  if (ending.canvas) fail('the page still shows the canvas after the end');
  const focused = await session.evaluate(() => document.activeElement.id);
  if (focused !== 'again') fail(`the focus is on '${focused}', not on the button to start again`);
  const others = session.consoleLines.filter(line => line !== endedLine);
  if (others.length > 0) fail(`the console shows more than the exit status:\n${others.join('\n')}`);
});
