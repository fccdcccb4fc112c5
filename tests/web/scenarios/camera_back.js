'use strict';
// S held moves the free camera back along its view direction (yaw 0: towards -z) in whole
// 4-unit steps for as long as it is held; released, the camera stays where it is.
const {run, fail, note} = require('../web_lib');

const distance = 40; // units to go back before S is released
const readings = 3; // positions read off the moving camera, at least, besides the start

// The camera is straight behind the start, a whole number of 4-unit steps back.
function checkStepsBack([x, y, z]) {
  if (x !== '0.000000' || y !== '0.000000') fail(`S moved the camera sideways: ${x} ${y} ${z}`);
  const back = -Number(z);
  if (!/^-?[0-9]+\.000000$/.test(z) || back % 4 !== 0 || back < 0) {
    fail(`S took the camera to z ${z}, not a whole number of 4-unit steps back`);
  }
  return back;
}

run(async session => {
  await session.startRunning();
  const seen = new Set();
  let back = 0;
  await session.page.keyboard.down('KeyS');
  await session.waitFor(`S to take the camera ${distance} units back`, 15, async () => {
    const now = checkStepsBack(await session.cameraPosition());
    if (now < back) fail(`the camera came forward from ${back} to ${now} units back, S held`);
    back = now;
    seen.add(now);
    return back >= distance && seen.size > readings;
  });
  await session.page.keyboard.up('KeyS');
  note(`distances back seen while S was held: ${[...seen].join(' ')}`);

  // Released, the camera stops: two readings 10 frames apart agree, and 30 frames later too.
  let stoppedAt = null;
  await session.waitFor('the camera to stop after S was released', 5, async () => {
    const position = (await session.cameraPosition()).join(' ');
    await session.waitForFrames(10);
    stoppedAt = (await session.cameraPosition()).join(' ');
    return position === stoppedAt;
  });
  const stopped = checkStepsBack(stoppedAt.split(' '));
  if (stopped < back) fail(`released, the camera is ${stopped} units back, less than ${back}`);
  await session.waitForFrames(30, 'the program to show 30 more frames');
  const later = (await session.cameraPosition()).join(' ');
  if (later !== stoppedAt) fail(`the camera moved from ${stoppedAt} to ${later} with no key held`);
  note(`released at ${stopped} units back: camera at ${later}`);
});
