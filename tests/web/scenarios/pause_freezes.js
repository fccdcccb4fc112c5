'use strict';
// The swarm keeps moving; while P is held the picture below the overlay stands still, frame
// after frame, and once P is released it moves on.
const {run, fail, note, belowOverlay} = require('../web_lib');

const minimumChange = 100; // pixels below the overlay, between two pictures of a moving swarm
const heldFrames = 60; // frames shown while P is held, all of which must be the same

// The pixels below the overlay in which a fresh picture differs from PICTURE.
async function changedSince(session, picture) {
  const later = await session.picture('later');
  return later.differingPixels(picture, belowOverlay(later));
}

// Waits for the swarm to move on from PICTURE; returns how many pixels changed.
async function movedOn(session, what, picture) {
  let changed = 0;
  await session.waitFor(what, 5, async () => {
    changed = await changedSince(session, picture);
    return changed > minimumChange;
  });
  return changed;
}

run(async session => {
  await session.startRunning();
  await session.parkPointer();
  await session.waitFor('the swarm to spread into view', 15, () => session.swarmDrawn());
  const spread = session.shot;
  const changed = await movedOn(session, 'the swarm to move on', spread);
  note(`${changed} pixels below the overlay changed while the swarm moved`);

  const paused = await session.pauseUntilStill('the paused picture to stand still', 5, 'paused');
  const until = (await session.framesShown()) + heldFrames;
  await session.waitFor(`${heldFrames} frames shown while P is held`, 10, async () => {
    const moved = await changedSince(session, paused);
    if (moved !== 0) fail(`${moved} pixels changed below the overlay while P was held`);
    return (await session.framesShown()) >= until;
  });
  await session.page.keyboard.up('KeyP');
  const released = await movedOn(session, 'the swarm to move again after P was released', paused);
  note(`released: ${released} pixels changed`);
});
