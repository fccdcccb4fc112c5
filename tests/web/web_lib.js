'use strict';
// Shared steps of the browser scenarios: the site served from 127.0.0.1, the page in one of the
// browser engines (engines.js), the canvas' own pixels and overlay lines, input that the
// program's turns take in, and waiting for conditions. Everything a scenario starts is ended
// when it ends, pass or fail, and anything the console reports as an error, or a script error
// of the page, fails it.
//
// A scenario is run as: node SCENARIO.js SITE_DIR READ_OVERLAY ENGINE BROWSER [DRIVER]
// (ENGINE chromium, firefox or webkit; DRIVER, WebKit's WebDriver, for webkit only).
// With WEB_KEEP=1 the pictures and the console's log are kept (they are always kept on failure).
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const engines = require('./engines');
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

// What the page tells the scenario, in every engine alike, put into the page ahead of its own
// script: each frame the program shows (one putImageData a turn), each console line, and each
// error of a script that the page does not handle itself (it keeps exit()'s unwinding quiet),
// kept until the scenario takes them. Where the engine's pointer lock cannot be driven
// (engines.js), the probe makes the page's requests for it fail, as an engine that refuses
// them does.
function probe(refusePointerLock) {
  if (refusePointerLock) {
    Element.prototype.requestPointerLock = function() {
      document.dispatchEvent(new Event('pointerlockerror'));
      return Promise.reject(new DOMException('pointer lock refused', 'NotAllowedError'));
    };
  }
  const put = CanvasRenderingContext2D.prototype.putImageData;
  window.e2eFramesShown = 0;
  CanvasRenderingContext2D.prototype.putImageData = function(...args) {
    window.e2eFramesShown++;
    return put.apply(this, args);
  };
  let log = [];
  window.e2eTakeLog = () => {
    const taken = log;
    log = [];
    return taken;
  };
  for (const type of ['log', 'info', 'warn', 'error', 'assert']) {
    const write = console[type];
    console[type] = function(...args) {
      if (type !== 'assert' || !args[0]) {
        log.push({type, text: args.slice(type === 'assert' ? 1 : 0).map(String).join(' ')});
      }
      return write.apply(this, args);
    };
  }
  // Looked at once the page's own handlers have had the event.
  const unhandled = (event, what) => setTimeout(() => {
    if (!event.defaultPrevented) log.push({type: 'pageerror', text: String(what)});
  });
  window.addEventListener('error', event => unhandled(event, event.error || event.message));
  window.addEventListener('unhandledrejection', event => unhandled(event, event.reason));
}

// The site's own files, and nothing else, from SITE_DIR, the page with the probe in its head.
// A request that finds nothing is an error of the scenario's.
function serveSite(siteDir, errors, refusePointerLock) {
  const server = http.createServer((request, response) => {
    const name = path.basename(new URL(request.url, 'http://host').pathname);
    const type = contentTypes[path.extname(name)];
    fs.readFile(path.join(siteDir, name), (error, body) => {
      if (error || !type) {
        errors.push(`HTTP 404: ${request.url}`);
        response.writeHead(404).end();
        return;
      }
      if (name === 'funnies.html') {
        const script = `<script>(${probe})(${refusePointerLock});</script>`;
        body = body.toString().replace('<head>', `<head>${script}`);
      }
      response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'}).end(body);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

class Session {
  constructor(dir, readOverlay, engine, page, errors) {
    this.dir = dir;
    this.readOverlay = readOverlay;
    this.engine = engine;
    this.locksPointer = engines.drivesPointerLock(engine);
    this.page = page;
    this.consoleLines = [];
    this.errors = errors;
    this.input = keysAndMouse(this);
  }

  log(line) {
    fs.appendFileSync(path.join(this.dir, 'console.log'), `${line}\n`);
  }

  // What the probe kept: the console's lines, and errors.
  takeLog(entries) {
    for (const {type, text} of entries) {
      const line = type === 'pageerror' ? `page error: ${text}` : `console ${type}: ${text}`;
      this.log(line);
      if (type !== 'pageerror') this.consoleLines.push(line);
      if (type === 'error' || type === 'assert' || type === 'pageerror') this.errors.push(line);
    }
  }

  // The page's answer to FN(...ARGS), or a failure if it gives none within answerLimitMs; the
  // probe's log comes back with it.
  async evaluate(fn, ...args) {
    const expression = `(async () => ({value: await (${fn})(...${JSON.stringify(args)}),
                                       log: window.e2eTakeLog ? window.e2eTakeLog() : []}))()`;
    let timer;
    const late = new Promise((resolve, reject) => {
      timer = setTimeout(() => reject(new Error(
          `the page did not answer a script call within ${answerLimitMs} ms`)), answerLimitMs);
    });
    try {
      const {value, log} = await Promise.race([this.page.evaluate(expression), late]);
      this.takeLog(log);
      return value;
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

  // Where the canvas pixel x, y is on the page, in whole CSS pixels (Firefox and WebDriver take
  // no fractions): in the pixel, at the scale of 1 the scenarios use on a desktop.
  canvasPoint(box, x, y) {
    return {x: Math.floor(box.x + (x + 0.5) * box.scale), y: Math.floor(box.y + (y + 0.5) * box.scale)};
  }

  // Moves the mouse onto the canvas pixel x, y.
  async pointerTo(x, y) {
    const at = this.canvasPoint(await this.canvasBox(), x, y);
    await this.page.mouse.move(at.x, at.y);
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
  // this.dialogShownAt is when the first of the two same pictures was asked for.
  async dialogDrawn() {
    const askedAt = Date.now();
    const shot = await this.picture('dialog');
    const [before, beforeAt] = [this.lastDialog, this.lastDialogAt];
    [this.lastDialog, this.lastDialogAt] = [shot, askedAt];
    if (shot.width !== dialogSize.width || shot.height !== dialogSize.height) return false;
    const counts = shot.histogram();
    const black = counts.get('0,0,0') || 0;
    const drawn = counts.size === 2 && black >= (shot.width * shot.height) * dialogBlackShare &&
                  before !== undefined && shot.differingPixels(before) === 0;
    if (drawn) this.dialogShownAt = beforeAt;
    return drawn;
  }

  async startAtDialog() {
    this.lastDialog = undefined;
    await this.waitFor('the mode dialog to be drawn', 20, () => this.dialogDrawn());
  }

  // Enter takes the dialog's first choice: the canvas takes its size, and the first frames
  // have the pitch-0 blue dominant (kept as this.frame).
  async chooseDefaultMode() {
    await this.page.keyboard.press('Enter');
    await this.waitForMode();
  }

  async waitForMode() {
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
    await this.input.hold('KeyP');
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

// The game's start, its keys and a left click as a desktop gives them: Enter in the dialog,
// held keys of the keyboard, a click of the mouse once the program's pointer is drawn where it
// aims, and the pointer parked out of the picture's way. A touch screen's scenario puts its
// own in session.input.
function keysAndMouse(session) {
  const {keyboard, mouse} = session.page;
  return {
    start: () => session.startRunning(),
    park: () => session.parkPointer(),
    hold: code => keyboard.down(code),
    release: code => keyboard.up(code),
    async click(x, y) {
      await session.pointerTo(x, y);
      await session.waitFor(`the program's pointer at ${x},${y}`, 5,
                            () => session.pointerDrawnAt(x, y, 'aiming'));
      await mouse.down({button: 'left'});
      await session.waitForFrames(3, 'the program to take in the press');
      await mouse.up({button: 'left'});
    },
  };
}

// The picture below the overlay, where the scene shows unobstructed.
function belowOverlay(picture) {
  return {x: 0, y: overlayHeight, width: picture.width, height: picture.height - overlayHeight};
}

// Puppeteer's engines also tell what the browser itself reports: a failed request, or an error
// on the console that no script of the page wrote.
function listenToBrowser(session) {
  const page = session.page;
  if (!page.on) return;
  page.on('console', message => {
    if (message.type() === 'error' || message.type() === 'assert') {
      session.errors.push(`console ${message.type()}: ${message.text()}`);
    }
  });
  page.on('requestfailed', request => {
    session.errors.push(`request failed: ${request.url()} ${request.failure().errorText}`);
  });
}

// run SCENARIO [SECONDS [PREPARE]]: runs the async SCENARIO(session) against a page of its
// own, within SECONDS in all, then checks that the console reported no error. PREPARE(session),
// where given, sets the page up before it is loaded.
async function run(scenario, seconds = 60, prepare = null) {
  const [siteDir, readOverlay, engine, browserPath, driverPath] = process.argv.slice(2);
  if (!siteDir || !readOverlay || !engine || !browserPath) {
    console.error(`usage: node ${path.basename(process.argv[1])} SITE_DIR READ_OVERLAY ENGINE ` +
                  'BROWSER [DRIVER]');
    process.exit(2);
  }
  if (!fs.existsSync(readOverlay)) {
    console.error(`FAIL: no ${readOverlay}: build the host's release preset first`);
    process.exit(1);
  }
  const name = `${engine}_${path.basename(process.argv[1], '.js')}`;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'funnies-web.'));
  const started = Date.now();
  const errors = [];
  let server = null;
  let browser = null;
  let timer;
  let passed = false;
  try {
    server = await serveSite(copySite(siteDir, dir), errors, !engines.drivesPointerLock(engine));
    browser = await engines.launch(engine, {browser: browserPath, driver: driverPath});
    const session = new Session(dir, readOverlay, engine, browser.page, errors);
    listenToBrowser(session);
    const late = new Promise((resolve, reject) => {
      timer = setTimeout(() => reject(new Error(`time limit of ${seconds} s`)), seconds * 1000);
    });
    await Promise.race([(async () => {
      session.url = `http://127.0.0.1:${server.address().port}/funnies.html`;
      if (prepare) await prepare(session);
      session.navigated = Date.now();
      await session.page.goto(session.url);
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

module.exports = {run, fail, note, belowOverlay, overlayHeight, startBackground, modeSize};
