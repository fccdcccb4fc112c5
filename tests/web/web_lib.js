'use strict';
// Shared steps of the browser scenarios: the site served from 127.0.0.1, the page in headless
// Chromium, the canvas' own pixels and overlay lines, input that the program's turns take in,
// and waiting for conditions. Everything a scenario starts is ended when it ends, pass or fail,
// and anything the console reports as an error, or a script error of the page, fails it.
//
// A scenario is run as: node SCENARIO.js SITE_DIR READ_OVERLAY CHROMIUM
// With WEB_KEEP=1 the pictures and the console's log are kept (they are always kept on failure).
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const {Picture} = require('./picture');

const dialogSize = {width: 320, height: 200};
const dialogBlackShare = 0.1; // of the dialog's pixels, once its frames, lists and text are drawn
const modeSize = {width: 640, height: 480}; // the dialog's first choice, taken with Enter
const overlayHeight = 40; // four text lines, 10 pixels apart
const startBackground = '0,0,64';
const answerLimitMs = 2000; // a script call the page has not answered by then: the page hangs
const pointerWidth = 8; // the white fill of the library's arrow
const pointerHeight = 14;

const coordinate = '(-?[0-9]+\\.[0-9]{6})';
const positionPattern = new RegExp(`^XM: ${coordinate} YM: ${coordinate} ZM: ${coordinate}$`);

const siteFiles = ['funnies.html', 'funnies.js', 'funnies.wasm'];
const contentTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

function fail(message) { throw new Error(message); }

function note(message) { console.log(`  ${message}`); }

// The site's files, copied at once, so that a build going on beside the scenario cannot hand the
// page a script and a wasm of different builds.
function copySite(siteDir, dir) {
  const copy = path.join(dir, 'site');
  fs.mkdirSync(copy);
  for (const file of siteFiles) fs.copyFileSync(path.join(siteDir, file), path.join(copy, file));
  return copy;
}

// The site's own files, and nothing else, from SITE_DIR.
function serveSite(siteDir) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://host').pathname);
    const type = contentTypes[path.extname(name)];
    fs.readFile(path.join(siteDir, name), (error, body) => {
      if (error || !type) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'}).end(body);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

// Counts the canvas' updates: the program shows a frame by one putImageData, at each turn.
function countFramesShown() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  window.e2eFramesShown = 0;
  CanvasRenderingContext2D.prototype.putImageData = function(...args) {
    window.e2eFramesShown++;
    return put.apply(this, args);
  };
}

class Session {
  constructor(dir, readOverlay, page) {
    this.dir = dir;
    this.readOverlay = readOverlay;
    this.page = page;
    this.consoleLines = [];
    this.errors = [];
  }

  log(line) {
    this.consoleLines.push(line);
    fs.appendFileSync(path.join(this.dir, 'console.log'), `${line}\n`);
  }

  // The page's answer to FN, or a failure if it gives none within answerLimitMs.
  async evaluate(fn, ...args) {
    let timer;
    const late = new Promise((resolve, reject) => {
      timer = setTimeout(() => reject(new Error(
          `the page did not answer a script call within ${answerLimitMs} ms`)), answerLimitMs);
    });
    try {
      return await Promise.race([this.page.evaluate(fn, ...args), late]);
    } finally {
      clearTimeout(timer);
    }
  }

  // Resolves at the page's next animation frame, at which the program takes its turn.
  nextFrame() {
    return this.evaluate(() => new Promise(resolve => requestAnimationFrame(resolve)));
  }

  framesShown() { return this.evaluate(() => window.e2eFramesShown); }

  // waitFor WHAT SECONDS CONDITION: polls the async CONDITION once a frame until it holds.
  async waitFor(what, seconds, condition) {
    if (!(await this.pollFor(seconds, condition))) {
      fail(`gave up after ${seconds} s waiting for ${what}`);
    }
  }

  // pollFor SECONDS CONDITION: true once CONDITION holds, false when SECONDS have passed first.
  async pollFor(seconds, condition) {
    const deadline = Date.now() + seconds * 1000;
    for (;;) {
      if (await condition()) return true;
      if (Date.now() >= deadline) return false;
      await this.nextFrame();
    }
  }

  // Until the program has shown COUNT more frames: turns it has taken, whatever the time.
  async waitForFrames(count, what = `${count} more frames`) {
    const until = (await this.framesShown()) + count;
    await this.waitFor(what, 10, async () => (await this.framesShown()) >= until);
  }

  // The canvas' own pixels, kept as NAME.png.
  async picture(name) {
    const url = await this.evaluate(() => document.getElementById('canvas').toDataURL());
    const png = Buffer.from(url.slice(url.indexOf(',') + 1), 'base64');
    fs.writeFileSync(path.join(this.dir, `${name}.png`), png);
    const picture = Picture.fromPng(png);
    picture.name = name;
    return picture;
  }

  // The four overlay lines of the picture, as the host build's reader sees them in its top rows.
  overlayLines(picture) {
    const bmp = path.join(this.dir, `${picture.name}.bmp`);
    picture.writeBmp(bmp, Math.min(overlayHeight, picture.height));
    const text = childProcess.execFileSync(this.readOverlay, [bmp], {encoding: 'utf8'});
    return text.split('\n').slice(0, 4);
  }

  async overlayLine(number, picture) {
    return this.overlayLines(picture || (await this.picture('overlay')))[number - 1];
  }

  // The camera's position from overlay line 2 of a fresh picture: [x, y, z] as printed.
  async cameraPosition() {
    const line = await this.overlayLine(2);
    const match = positionPattern.exec(line);
    if (!match) fail(`overlay line 2 is '${line}'`);
    return match.slice(1);
  }

  // expectLine N PATTERN PICTURE: overlay line N of the picture matches the regular expression.
  expectLine(number, pattern, picture) {
    const text = this.overlayLines(picture)[number - 1];
    if (!pattern.test(text)) {
      fail(`overlay line ${number} is '${text}', expected to match ${pattern}`);
    }
  }

  canvasBox() {
    return this.evaluate(() => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      return {x: box.x, y: box.y, scale: box.width / document.getElementById('canvas').width};
    });
  }

  // Moves the mouse to the middle of the canvas pixel x, y.
  async pointerTo(x, y) {
    const box = await this.canvasBox();
    await this.page.mouse.move(box.x + (x + 0.5) * box.scale, box.y + (y + 0.5) * box.scale);
  }

  // Where the program drew its pointer ({x, y} of the top-left corner of its white fill, the
  // pointer's hot spot), looked for below the overlay only; null where it is not to be seen.
  // The rows are visited top first, so the first white pixel is on the top row.
  pointerPosition(picture) {
    let box = null;
    picture.forEach(belowOverlay(picture), (x, y, pixel) => {
      if (pixel !== 0xffffff) return;
      box = box || {left: x, top: y, right: x, bottom: y};
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x);
      box.bottom = Math.max(box.bottom, y);
    });
    const fits = box && box.right - box.left < pointerWidth && box.bottom - box.top < pointerHeight;
    if (!fits) return null;
    return {x: box.left, y: box.top};
  }

  async pointerDrawnAt(x, y, name = 'pointer') {
    const at = this.pointerPosition(await this.picture(name));
    return at !== null && at.x === x && at.y === y;
  }

  // The mode dialog is drawn in its own size of canvas, in black and white only, and holds
  // still, its lists and buttons all drawn: before that the canvas is black, then white with
  // the pointer, then filling in.
  async dialogDrawn() {
    const shot = await this.picture('dialog');
    const before = this.lastDialog;
    this.lastDialog = shot;
    if (shot.width !== dialogSize.width || shot.height !== dialogSize.height) return false;
    const counts = shot.histogram();
    const black = counts.get('0,0,0') || 0;
    return counts.size === 2 && black >= (shot.width * shot.height) * dialogBlackShare &&
           before !== undefined && shot.differingPixels(before) === 0;
  }

  async startAtDialog() {
    this.lastDialog = undefined;
    await this.waitFor('the mode dialog to be drawn', 20, () => this.dialogDrawn());
  }

  // Enter takes the dialog's first choice: the canvas takes its size, and the first frames
  // have the pitch-0 blue dominant (kept as this.frame).
  async chooseDefaultMode() {
    await this.page.keyboard.press('Enter');
    const mode = `${modeSize.width}x${modeSize.height}`;
    await this.waitFor(`the ${mode} mode's first frames`, 10, async () => {
      this.frame = await this.picture('frame');
      return this.frame.width === modeSize.width && this.frame.height === modeSize.height &&
             this.frame.dominantColour() === startBackground;
    });
  }

  async startRunning() {
    await this.startAtDialog();
    await this.chooseDefaultMode();
  }

  // The program's pointer in the bottom-right corner, where it covers at most a pixel.
  async parkPointer() {
    const corner = {x: modeSize.width - 1, y: modeSize.height - 1};
    await this.pointerTo(corner.x, corner.y);
    await this.waitFor('the pointer to be parked in the corner', 5, async () => {
      const at = this.pointerPosition(await this.picture('parked'));
      return at === null || (at.x === corner.x && at.y === corner.y);
    });
  }

  // Holds P down until two pictures 5 frames apart are the same below the overlay (line 3's
  // drawing time may change from frame to frame), and gives the first of them.
  async pauseUntilStill(what, seconds, name) {
    await this.page.keyboard.down('KeyP');
    let still = null;
    await this.waitFor(what, seconds, async () => {
      still = await this.picture(name);
      await this.waitForFrames(5);
      const again = await this.picture(`${name}_again`);
      return again.differingPixels(still, belowOverlay(again)) === 0;
    });
    return still;
  }

  // The swarm, starting at the camera too near to be drawn, has spread into view: at least
  // MINIMUM pixels below the overlay are not background (sets this.shot).
  async swarmDrawn(minimum = 2000) {
    this.shot = await this.picture('swarm');
    return this.shot.dominantColour() === startBackground &&
           this.shot.pixelsOtherThan(startBackground, belowOverlay(this.shot)) >= minimum;
  }

  // The page's status line, and whether the page shows its button to start again.
  ending() {
    return this.evaluate(() => ({status: document.getElementById('status').textContent,
                                 again: !document.getElementById('again').hidden,
                                 canvas: !document.getElementById('canvas').hidden}));
  }
}

// The picture below the overlay, where the scene shows unobstructed.
function belowOverlay(picture) {
  return {x: 0, y: overlayHeight, width: picture.width, height: picture.height - overlayHeight};
}

async function openPage(session, url) {
  const page = session.page;
  await page.setViewport({width: 800, height: 600, deviceScaleFactor: 1});
  page.on('console', message => {
    const line = `console ${message.type()}: ${message.text()}`;
    session.log(line);
    if (message.type() === 'error' || message.type() === 'assert') session.errors.push(line);
  });
  page.on('pageerror', error => {
    session.log(`page error: ${error.message}`);
    session.errors.push(`page error: ${error.message}`);
  });
  page.on('requestfailed', request => {
    session.errors.push(`request failed: ${request.url()} ${request.failure().errorText}`);
  });
  page.on('response', response => {
    if (response.status() >= 400) {
      session.errors.push(`HTTP ${response.status()}: ${response.url()}`);
    }
  });
  await page.evaluateOnNewDocument(countFramesShown);
  await page.goto(url);
}

// run SCENARIO [SECONDS]: runs the async SCENARIO(session) against a page of its own, within
// SECONDS in all, then checks that the console reported no error.
async function run(scenario, seconds = 60) {
  const [siteDir, readOverlay, chromium] = process.argv.slice(2);
  if (!siteDir || !readOverlay || !chromium) {
    console.error(`usage: node ${path.basename(process.argv[1])} SITE_DIR READ_OVERLAY CHROMIUM`);
    process.exit(2);
  }
  if (!fs.existsSync(readOverlay)) {
    console.error(`FAIL: no ${readOverlay}: build the host's release preset first`);
    process.exit(1);
  }
  const name = path.basename(process.argv[1], '.js');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'funnies-web.'));
  const started = Date.now();
  let server = null;
  let browser = null;
  let timer;
  let passed = false;
  try {
    server = await serveSite(copySite(siteDir, dir));
    browser = await puppeteer.launch({executablePath: chromium, headless: true,
                                      args: ['--no-sandbox'], protocolTimeout: 30000});
    const session = new Session(dir, readOverlay, await browser.newPage());
    const late = new Promise((resolve, reject) => {
      timer = setTimeout(() => reject(new Error(`time limit of ${seconds} s`)), seconds * 1000);
    });
    await Promise.race([(async () => {
      await openPage(session, `http://127.0.0.1:${server.address().port}/funnies.html`);
      await scenario(session);
    })(), late]);
    if (session.errors.length > 0) {
      fail(`the console reported errors:\n${session.errors.join('\n')}`);
    }
    passed = true;
  } catch (error) {
    console.error(`FAIL: ${error.message}`);
  } finally {
    clearTimeout(timer);
    if (browser) await browser.close().catch(() => {});
    if (server) server.close();
  }
  if (passed && !process.env.WEB_KEEP) {
    fs.rmSync(dir, {recursive: true, force: true});
  } else {
    note(`pictures and the console's log: ${dir}`);
  }
  if (passed) console.log(`PASS: ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
  process.exit(passed ? 0 : 1);
}

module.exports = {run, fail, note, belowOverlay, overlayHeight, startBackground};
