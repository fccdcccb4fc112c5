'use strict';
// A phone: a 390x844 touch screen, no keys and no mouse (Chromium's emulation, touches through
// the DevTools protocol). The page fits the screen's width, nothing to scroll sideways, and
// shows its controls; a tap on the dialog's OK starts the game; a tap picks a funnie while
// Pause is held; on a fresh page the Back control held moves the camera back in whole 4-unit
// steps, and a cancelled touch lets go of it; a one-finger drag turns the camera as a right
// drag does; Quit ends the program and the page says so.
const {run, fail, note, modeSize} = require('../web_lib');
const {pickSeenHead} = require('../pick_head');

const phone = {width: 390, height: 844, deviceScaleFactor: 3, mobile: true};
const okButton = {x: 263, y: 131}; // the dialog's OK, in its canvas' pixels
const dragStart = {x: 200, y: 300};
const moves = 20;
const step = {x: 5, y: 2};
const expectedLine = 'XR: -40 YR: -100';

// The fingers on the screen. Chromium takes a touchStart or touchMove with every finger down,
// a touchEnd with the fingers that leave (seen: with two fingers down, a touchEnd naming one
// ends that one alone), and a touchCancel of them all with none.
class Fingers {
  constructor(cdp) {
    this.cdp = cdp;
    this.points = new Map();
    this.nextId = 1;
  }

  send(type, points) {
    return this.cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points});
  }

  async down(x, y) {
    const id = this.nextId++;
    this.points.set(id, {x, y, id});
    await this.send('touchStart', [...this.points.values()]);
    return id;
  }

  async move(id, x, y) {
    this.points.set(id, {x, y, id});
    await this.send('touchMove', [...this.points.values()]);
  }

  async up(id) {
    const point = this.points.get(id);
    this.points.delete(id);
    await this.send('touchEnd', [point]);
  }

  async cancel() {
    this.points.clear();
    await this.send('touchCancel', []);
  }
}

// Where the middle of the canvas pixel x, y is on the screen.
async function onCanvas(session, x, y) {
  const box = await session.canvasBox();
  return {x: box.x + (x + 0.5) * box.scale, y: box.y + (y + 0.5) * box.scale};
}

// The middle of the control for the key CODE.
function control(session, code) {
  return session.evaluate(code => {
    const box = document.querySelector(`#controls [data-code="${code}"]`).getBoundingClientRect();
    return {x: box.x + box.width / 2, y: box.y + box.height / 2};
  }, code);
}

// The page as a phone shows it: the canvas no wider than the screen, nothing beyond its edge,
// and the controls in view. Gives the canvas' scale.
async function checkFits(session, what) {
  const fit = await session.evaluate(() => ({
    canvas: document.getElementById('canvas').getBoundingClientRect().width,
    scrollWidth: document.documentElement.scrollWidth,
    width: window.innerWidth,
    controls: document.getElementById('controls').getBoundingClientRect().height,
  }));
  if (fit.canvas > fit.width || fit.scrollWidth > fit.width) {
    fail(`${what}: the canvas is ${fit.canvas} px and the page ${fit.scrollWidth} px wide ` +
         `on a screen of ${fit.width} px`);
  }
  if (fit.controls === 0) fail(`${what}: the on-screen controls are not shown`);
  note(`${what}: the canvas ${fit.canvas.toFixed(1)} px wide on a screen of ${fit.width} px`);
}

// The keys are the on-screen controls, held by a finger each, and a click is a tap: the game
// starts with a tap on OK. The pointer stays drawn where the last tap was: a tap anywhere
// else would be a click, which may pick a funnie.
function touchInput(session, fingers) {
  const held = new Map();
  const input = {
    async start() {
      await session.startAtDialog();
      await input.click(okButton.x, okButton.y);
      await session.waitForMode();
    },
    park: async () => {},
    async hold(code) {
      const at = await control(session, code);
      held.set(code, await fingers.down(at.x, at.y));
    },
    async release(code) {
      await fingers.up(held.get(code));
      held.delete(code);
    },
    async click(x, y) {
      const at = await onCanvas(session, x, y);
      await fingers.up(await fingers.down(at.x, at.y));
    },
  };
  return input;
}

// The camera's z while the Back control is held: it goes back in whole 4-unit steps, and a
// cancelled touch stops it.
async function backThenCancel(session, fingers) {
  const at = await control(session, 'KeyS');
  await fingers.down(at.x, at.y);
  let z = 0;
  await session.waitFor('Back to take the camera 40 units back', 15, async () => {
    const [x, y, now] = (await session.cameraPosition()).map(Number);
    if (x !== 0 || y !== 0 || now > z || now % 4 !== 0) {
      fail(`Back held took the camera to ${x} ${y} ${now}, not straight back in 4-unit steps`);
    }
    z = now;
    return z <= -40;
  });
  await fingers.cancel();
  let stopped = null;
  await session.waitFor('the camera to stop once the touch was cancelled', 5, async () => {
    const before = (await session.cameraPosition()).join(' ');
    await session.waitForFrames(10);
    stopped = (await session.cameraPosition()).join(' ');
    return before === stopped;
  });
  note(`Back held, then the touch cancelled: the camera stopped at ${stopped}`);
}

async function dragTurns(session, fingers) {
  const from = await onCanvas(session, dragStart.x, dragStart.y);
  const finger = await fingers.down(from.x, from.y);
  for (let i = 1; i <= moves; i++) {
    const to = await onCanvas(session, dragStart.x + i * step.x, dragStart.y + i * step.y);
    await fingers.move(finger, to.x, to.y);
  }
  await fingers.up(finger);
  await session.waitFor(`overlay line 1 to read '${expectedLine}'`, 5,
                        async () => (await session.overlayLine(1)) === expectedLine);
  note(`a drag of ${moves} moves of (${step.x}, ${step.y}): '${expectedLine}'`);
}

async function prepare(session) {
  const cdp = await session.page.createCDPSession();
  await cdp.send('Emulation.setDeviceMetricsOverride', phone);
  await cdp.send('Emulation.setTouchEmulationEnabled', {enabled: true, maxTouchPoints: 5});
  session.fingers = new Fingers(cdp);
}

run(async session => {
  const fingers = session.fingers;
  session.input = touchInput(session, fingers);
  await pickSeenHead(session);

  // A fresh page, the camera as it starts.
  await session.page.reload();
  await session.startAtDialog();
  await checkFits(session, 'the dialog');
  await session.input.click(okButton.x, okButton.y);
  await session.waitForMode();
  await checkFits(session, `the ${modeSize.width}x${modeSize.height} mode`);
  await backThenCancel(session, fingers);
  await dragTurns(session, fingers);

  await session.input.hold('Escape');
  await session.waitFor("the page's 'funnies has ended.'", 10,
                        async () => (await session.ending()).status === 'funnies has ended.');
}, 90, prepare);
