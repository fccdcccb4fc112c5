'use strict';
// The mode dialog comes first, drawn in black and white in a 320x200 canvas; Enter takes the
// 640x480 mode: the canvas takes that size, with the pitch-0 blue background dominant and
// overlay lines 1 to 3 only. Notes how long the dialog took to be drawn after the navigation
// began, a figure and no limit.
const {run, fail, note, startBackground} = require('../web_lib');

run(async session => {
  await session.startAtDialog();
  note(`the dialog drawn ${session.dialogShownAt - session.navigated} ms after the navigation began`);
  await session.chooseDefaultMode();
  const shot = session.frame;
  const colour = shot.dominantColour();
  if (colour !== startBackground) fail(`dominant colour ${colour}, expected ${startBackground}`);
  session.expectLine(1, /^XR: 0 YR: 0$/, shot);
  session.expectLine(2, /^XM: 0\.000000 YM: 0\.000000 ZM: 0\.000000$/, shot);
  session.expectLine(3, /^Drawing takes [0-9]+ ticks\.$/, shot);
  session.expectLine(4, /^$/, shot);
});
