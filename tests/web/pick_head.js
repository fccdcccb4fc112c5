'use strict';
// Picking, as a step of the scenarios: a click (or a tap) on a head seen in the picture, away from the middle, selects that funnie:
// overlay line 4 shows a head that the camera saw where the click was, and the camera turns to
// it. The camera first backs away from the swarm, which starts around it, so that no funnie is
// so near that it is left undrawn yet picked; P is held from then on, so the swarm holds still.
//
// The heads are found in the picture itself. Every circle of a funnie is one flat colour, its
// own colour darkened by the depth and by 4 a segment towards the tail, and the head is the
// brightest: so a head wholly seen is a disc of one colour, most likely with no brighter kin in
// the picture. Discs are clicked until one selects a funnie. A disc may still be a body in
// front of another head, which picking finds under it: should the selected head be another that
// covers the click, the page is loaded again and a fresh swarm tried.
const {fail, note, belowOverlay, overlayHeight, startBackground} = require('./web_lib');
const {pixelOf} = require('./picture');

const minimumRadius = 6;
const backOff = 300; // units the camera backs away from the swarm's start
const offCentre = 60; // pixels from the middle, at least, so that the camera has to turn
const edgeMargin = 20; // a head at the picture's edge may have a body out of view, not drawn
const discsTried = 10; // on a swarm that holds still
const kinPixels = 20; // a region of one colour smaller than that may be particles
const tries = 3; // swarms, each on a fresh page
const selectedPattern = /^Selected funnie at (-?[0-9]+) (-?[0-9]+) (-?[0-9]+)\.$/;
const anglePattern = /^XR: (-?[0-9]+) YR: (-?[0-9]+)$/;
const unitsPerRadian = 128 / Math.PI; // binary angle units
const largestSizeFactor = 11 * (1 - 1 / 23); // segment count div 2, times (1 - 1 / count), at most

// A circle wholly seen: its bounding box square, give or take a particle on the edge, filled as
// a disc fills it (pi / 4), clear of the picture's edges. As its middle pixel and the radius
// that surely lies inside it.
function asDisc(box, count, picture) {
  const width = box.right - box.left + 1;
  const height = box.bottom - box.top + 1;
  const fill = count / (width * height);
  const clear = box.left >= edgeMargin && box.top >= overlayHeight + edgeMargin &&
                box.right < picture.width - edgeMargin && box.bottom < picture.height - edgeMargin;
  const radius = Math.min(width, height) / 2 - 1;
  const round = Math.abs(width - height) <= 1 && fill >= 0.7 && fill <= 0.85;
  if (!clear || !round || radius < minimumRadius) return null;
  return {x: Math.round(box.left + (width - 1) / 2), y: Math.round(box.top + (height - 1) / 2),
          radius};
}

// The 4-connected regions of one colour below the overlay, other than the background, each
// as its colour, its pixel count and its bounding box.
function regions(picture) {
  const background = pixelOf(startBackground);
  const seen = new Uint8Array(picture.width * picture.height);
  const found = [];
  picture.forEach(belowOverlay(picture), (x0, y0, colour) => {
    if (seen[y0 * picture.width + x0] || colour === background) return;
    let count = 0;
    const box = {left: x0, right: x0, top: y0, bottom: y0};
    const stack = [[x0, y0]];
    seen[y0 * picture.width + x0] = 1;
    while (stack.length > 0) {
      const [x, y] = stack.pop();
      count++;
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y);
      box.bottom = Math.max(box.bottom, y);
      for (const [nx, ny] of [[x + 1, y], [x - 1, y], [x, y + 1], [x, y - 1]]) {
        const next = ny * picture.width + nx;
        if (nx >= 0 && ny >= overlayHeight && nx < picture.width && ny < picture.height &&
            !seen[next] && picture.pixel(nx, ny) === colour) {
          seen[next] = 1;
          stack.push([nx, ny]);
        }
      }
    }
    found.push({colour: picture.colour(x0, y0), count, box});
  });
  return found;
}

// KIN is the same funnie's colour, brighter than COLOUR: each component of COLOUR above 0 is
// brighter in KIN by the same k > 0, and each at 0 is at most k there (cut at 0 by darkening).
function brighterKin(colour, kin) {
  const c = colour.split(',').map(Number);
  const b = kin.split(',').map(Number);
  const lit = c.findIndex(component => component > 0);
  if (lit < 0) return false;
  const k = b[lit] - c[lit];
  return k > 0 && c.every((component, i) => (component > 0 ? b[i] - component === k : b[i] <= k));
}

// The discs that may be heads, off the middle: those without brighter kin first, the largest
// first. Kin is looked for among the circles: a funnie's particles are single pixels, of its
// colour darkened by their depth alone.
function headDiscs(picture) {
  const found = regions(picture);
  const circles = [...new Set(found.filter(region => region.count >= kinPixels)
                                   .map(region => region.colour))];
  const middle = {x: picture.width / 2, y: picture.height / 2};
  const discs = [];
  for (const region of found) {
    const disc = asDisc(region.box, region.count, picture);
    if (disc) discs.push({...disc, colour: region.colour});
  }
  const offMiddle = discs
    .filter(disc => Math.hypot(disc.x - middle.x, disc.y - middle.y) >= offCentre)
    .sort((a, b) => b.radius - a.radius);
  const kinless = disc => !circles.some(colour => brighterKin(disc.colour, colour));
  return offMiddle.filter(kinless).concat(offMiddle.filter(disc => !kinless(disc)));
}

// Where the camera at CAMERA, pitch and yaw 0, shows a point of the world: the library's camera
// matrix looks along +z with x and y turned over, onto the whole viewport.
function projected([x, y, z], camera, picture) {
  const depth = z - camera[2];
  return {x: picture.width / 2 - (picture.width / 2) * ((x - camera[0]) / depth),
          y: picture.height / 2 - (picture.height / 2) * ((y - camera[1]) / depth), depth};
}

// The largest radius a head at depth Z can have, in pixels of a picture W wide.
function largestHeadRadius(z, width) { return (largestSizeFactor * (width / 2)) / z; }

// How far off the head's place on the picture may be from the one computed from line 4, where
// each coordinate is cut toward zero: by less than a unit each, seen from DEPTH - 1 at worst.
function cutError([x, y], camera, seenAt, picture) {
  const depth = seenAt.depth - 1;
  const across = (size, offset) => (size / 2 / depth) * (1 + (Math.abs(offset) + 1) / depth);
  return Math.hypot(across(picture.width, x - camera[0]), across(picture.height, y - camera[1]));
}

// The camera at CAMERA is turned to the head: the heading and elevation of the head from there
// (whole units, so give or take a unit and a half) are the yaw and pitch.
function aimedAt(head, camera, angleLine) {
  const match = anglePattern.exec(angleLine);
  if (!match) return false;
  const [pitch, yaw] = match.slice(1).map(Number);
  const [x, y, z] = head.map((coordinate, i) => coordinate - camera[i]);
  let expectedYaw = Math.atan2(x, z) * unitsPerRadian;
  if (expectedYaw < 0) expectedYaw += 256;
  const expectedPitch = Math.atan2(y, Math.hypot(x, z)) * unitsPerRadian;
  let yawOff = yaw - expectedYaw;
  if (yawOff > 128) yawOff -= 256;
  if (yawOff < -128) yawOff += 256;
  return Math.abs(pitch - expectedPitch) <= 1.5 && Math.abs(yawOff) <= 1.5;
}

// Clicks in the disc's middle and returns the head that line 4 shows, or null. The pass that
// takes in the press picks and writes line 4 before it shows its frame: a few frames after the
// click the line is there or nothing was picked.
async function clickOn(session, disc) {
  await session.input.click(disc.x, disc.y);
  await session.waitForFrames(2, 'the program to take in the release');
  const match = selectedPattern.exec(await session.overlayLine(4));
  return match && match.slice(1).map(Number);
}

// The camera backed away by S, then the swarm in view and held still by P: its picture and the
// camera's position.
async function holdSwarmStill(session) {
  await session.input.hold('KeyS');
  let camera = null;
  await session.waitFor(`the camera to back away ${backOff} units`, 10, async () => {
    camera = (await session.cameraPosition()).map(Number);
    return camera[2] <= -backOff;
  });
  await session.input.release('KeyS');
  await session.waitFor('the swarm to be in view', 15, () => session.swarmDrawn());
  const still = await session.pauseUntilStill('the paused swarm to hold still', 10, 'still');
  return {still, camera: (await session.cameraPosition()).map(Number)};
}

// Clicks the likeliest heads in turn until one selects a funnie: {disc, head, still, camera}.
async function selectSeenHead(session) {
  await session.input.start();
  await session.input.park();
  const {still, camera} = await holdSwarmStill(session);
  const discs = headDiscs(still);
  note(`camera at ${camera.join(' ')}: ${discs.length} discs of one colour off the middle`);
  for (const disc of discs.slice(0, discsTried)) {
    note(`clicking the ${disc.colour} disc of radius ${disc.radius} at ${disc.x},${disc.y}`);
    const head = await clickOn(session, disc);
    if (head) return {disc, head, still, camera};
  }
  return fail(`none of the ${Math.min(discsTried, discs.length)} likeliest discs was a head`);
}

// The scenario: a seen head clicked, the camera turned to it.
async function pickSeenHead(session) {
  for (let attempt = 1; ; attempt++) {
    const {disc, head, still, camera} = await selectSeenHead(session);
    const seenAt = projected(head, camera, still);
    if (seenAt.depth <= 1) fail(`the selected head at ${head.join(' ')} is not in front`);
    const off = Math.hypot(seenAt.x - disc.x, seenAt.y - disc.y);
    const error = cutError(head, camera, seenAt, still);
    note(`selected the head at ${head.join(' ')}, seen at ` +
         `${seenAt.x.toFixed(1)},${seenAt.y.toFixed(1)} give or take ${error.toFixed(1)}`);
    if (off <= disc.radius + 1 + error) {
      let angles = '';
      await session.waitFor('the camera to turn to the selected head', 5, async () => {
        const [line1, , , line4] = session.overlayLines(await session.picture('tracking'));
        if (line4 !== `Selected funnie at ${head.join(' ')}.`) fail(`line 4 changed to '${line4}'`);
        angles = line1;
        return aimedAt(head, camera, angles);
      });
      note(`camera turned to it: '${angles}'`);
      await session.input.release('KeyP');
      return;
    }
    if (off >= largestHeadRadius(seenAt.depth, still.width) + error || attempt === tries) {
      fail(`the selected head at ${head.join(' ')} is not the one clicked at ${disc.x},${disc.y}`);
    }
    note('the disc clicked was no head: the click lay on another head behind it, a fresh page');
    await session.input.release('KeyP');
    await session.page.reload();
  }
}

module.exports = {pickSeenHead};
