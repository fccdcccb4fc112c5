'use strict';
// A right drag turns the camera by one binary-angle unit a mickey: 20 moves of (5, 2) with the
// right button down give pitch -40 and yaw -100, exactly, whether the browser locks the
// pointer (Chromium) or refuses to (Firefox and WebKit here: engines.js says why), and the
// background's blue follows the pitch. The program's pointer stays drawn where the drag began
// while it lasts; after it, where the locked pointer stayed, or where the unlocked one went.
const {run, fail, note, belowOverlay, overlayHeight, startBackground} = require('../web_lib');

const start = {x: 200, y: 300}; // in the canvas, below the overlay and off the middle
const moves = 20;
const step = {x: 5, y: 2};
const expectedLine = 'XR: -40 YR: -100';
const expectedBackground = '0,0,24'; // the blue is the pitch + 64

run(async session => {
  await session.startRunning();
  await session.pointerTo(start.x, start.y);
  await session.waitFor(`the program's pointer at ${start.x},${start.y}`, 5,
                        () => session.pointerDrawnAt(start.x, start.y, 'before'));

  const box = await session.canvasBox();
  const mouse = session.page.mouse;
  await mouse.down({button: 'right'});
  // The pass that first sees the button held starts the look; motion before it does not count.
  await session.waitForFrames(2, 'the program to take in the press');
  for (let i = 1; i <= moves; i++) {
    const at = session.canvasPoint(box, start.x + i * step.x, start.y + i * step.y);
    await mouse.move(at.x, at.y);
  }
  await session.waitForFrames(2, 'the program to take in the moves');
  const during = await session.picture('during');
  const at = session.pointerPosition(during);
  if (!at || at.x !== start.x || at.y !== start.y) {
    fail(`during the drag the pointer is drawn at ${JSON.stringify(at)}, not where it began`);
  }
  await mouse.up({button: 'right'});

  await session.waitFor(`overlay line 1 to read '${expectedLine}'`, 5,
                        async () => (await session.overlayLine(1)) === expectedLine);
  await session.waitForFrames(10);
  const after = await session.picture('after');
  const line = session.overlayLines(after)[0];
  if (line !== expectedLine) fail(`after the release overlay line 1 is '${line}'`);
  // The swarm may fill most of the picture (more than 92 % of it in one run): the sky between,
  // however little, is all of the new blue.
  const colours = after.histogram(belowOverlay(after));
  const pixels = after.width * (after.height - overlayHeight);
  const percent = colour => ((colours.get(colour) || 0) * 100) / pixels;
  const [now, before] = [percent(expectedBackground), percent(startBackground)];
  if (now < 1 || before > 1) {
    fail(`at pitch -40 ${now.toFixed(1)} % of the picture is ${expectedBackground} ` +
         `and ${before.toFixed(1)} % still ${startBackground}`);
  }
  const end = session.pointerPosition(after);
  const left = session.locksPointer ? start
                                    : {x: start.x + moves * step.x, y: start.y + moves * step.y};
  if (!end || end.x !== left.x || end.y !== left.y) {
    fail(`after the drag the pointer is drawn at ${JSON.stringify(end)}, not at ${left.x},${left.y}`);
  }
  note(`${moves} moves of (${step.x}, ${step.y}): '${line}', then the pointer at ${end.x},${end.y}`);
});
