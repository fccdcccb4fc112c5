'use strict';
// The three browser engines the scenarios run in, each behind the same small page interface:
// goto(url), reload(), evaluate(expression), keyboard.down/up/press(key), mouse.move(x, y),
// mouse.down/up({button}), with x and y in CSS pixels of the viewport and keys named as
// KeyboardEvent.code names them. Chromium and Firefox are driven by puppeteer-core (the
// DevTools protocol and WebDriver BiDi), WebKit by WebKitWebDriver over the W3C WebDriver
// protocol, with WebKitGTK's MiniBrowser in a virtual X server of its own.
//
// launch(engine, paths) gives {page, close()}; paths are the engine's programs as the test
// was given them.
const childProcess = require('child_process');
const http = require('http');
const net = require('net');
const puppeteer = require('puppeteer-core');

const viewport = {width: 800, height: 600};

async function launchPuppeteer(options) {
  const browser = await puppeteer.launch({headless: true, protocolTimeout: 30000, ...options});
  const page = await browser.newPage();
  await page.setViewport({...viewport, deviceScaleFactor: 1});
  return {page, browser, close: () => browser.close()};
}

// The X server's display number, as it prints it once it listens.
function startXvfb() {
  const xvfb = childProcess.spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24',
                                           '-nolisten', 'tcp'],
                                  {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
  return new Promise((resolve, reject) => {
    let text = '';
    xvfb.once('exit', status => reject(new Error(`Xvfb ended with status ${status}`)));
    xvfb.stdio[3].on('data', data => {
      text += data;
      if (text.includes('\n')) resolve({xvfb, display: `:${text.trim()}`});
    });
  });
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

// One W3C WebDriver command: its value, or a failure with the driver's error.
function command(port, method, path, body) {
  const data = body === undefined ? '' : JSON.stringify(body);
  return new Promise((resolve, reject) => {
    const request = http.request({host: '127.0.0.1', port, method, path,
                                  headers: {'Content-Type': 'application/json',
                                            'Content-Length': Buffer.byteLength(data)}},
                                 response => {
      let text = '';
      response.setEncoding('utf8');
      response.on('data', chunk => { text += chunk; });
      response.on('end', () => {
        const {value} = JSON.parse(text || '{}');
        if (response.statusCode >= 400 || (value && value.error)) {
          reject(new Error(`WebDriver ${method} ${path}: ${value && value.error}: ${value && value.message}`));
        } else {
          resolve(value);
        }
      });
    });
    request.on('error', reject);
    request.end(data);
  });
}

async function driverAnswers(port, seconds) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    try {
      return await command(port, 'GET', '/status');
    } catch (error) {
      if (Date.now() >= deadline) throw error;
      await new Promise(resolve => setTimeout(resolve, 50));
    }
  }
}

// WebDriver's key values: a letter as its character, the others as the protocol's codes.
const webDriverKeys = {Enter: '\ue007', Escape: '\ue00c', Space: ' '};
function webDriverKey(code) {
  const letter = /^Key([A-Z])$/.exec(code);
  if (letter) return letter[1].toLowerCase();
  if (!webDriverKeys[code]) throw new Error(`no WebDriver key for '${code}'`);
  return webDriverKeys[code];
}
const webDriverButtons = {left: 0, middle: 1, right: 2};

// The page over WebDriver: every input is one action of a lasting keyboard or mouse, whose
// held keys and buttons the driver keeps from one command to the next.
class WebDriverPage {
  constructor(port, session) {
    this.path = `/session/${session}`;
    this.port = port;
    this.keyboard = {
      down: key => this.act('key', 'keyboard', [{type: 'keyDown', value: webDriverKey(key)}]),
      up: key => this.act('key', 'keyboard', [{type: 'keyUp', value: webDriverKey(key)}]),
      press: key => this.act('key', 'keyboard', [{type: 'keyDown', value: webDriverKey(key)},
                                                 {type: 'keyUp', value: webDriverKey(key)}]),
    };
    // The protocol's places are whole CSS pixels: the scenarios aim at pixels' middles.
    this.mouse = {
      move: (x, y) => this.act('pointer', 'mouse', [{type: 'pointerMove', origin: 'viewport',
                                                    x: Math.floor(x), y: Math.floor(y),
                                                    duration: 0}]),
      down: ({button = 'left'} = {}) =>
        this.act('pointer', 'mouse', [{type: 'pointerDown', button: webDriverButtons[button]}]),
      up: ({button = 'left'} = {}) =>
        this.act('pointer', 'mouse', [{type: 'pointerUp', button: webDriverButtons[button]}]),
    };
  }

  send(method, path, body) { return command(this.port, method, `${this.path}${path}`, body); }

  act(type, id, actions) {
    const source = {type, id, actions};
    if (type === 'pointer') source.parameters = {pointerType: 'mouse'};
    return this.send('POST', '/actions', {actions: [source]});
  }

  goto(url) { return this.send('POST', '/url', {url}); }

  reload() { return this.send('POST', '/refresh', {}); }

  // The value of the script EXPRESSION, awaited where it is a promise.
  evaluate(expression) {
    return this.send('POST', '/execute/async', {
      script: `const done = arguments[0];
               Promise.resolve(${expression}).then(done, error => done({e2eError: String(error)}));`,
      args: [],
    }).then(value => {
      if (value && value.e2eError) throw new Error(`the page's script failed: ${value.e2eError}`);
      return value;
    });
  }
}

async function launchWebKit({driver, browser}) {
  const {xvfb, display} = await startXvfb();
  const port = await freePort();
  const webDriver = childProcess.spawn(driver, [`--port=${port}`, '--host=127.0.0.1'],
                                       {stdio: 'ignore', env: {...process.env, DISPLAY: display}});
  const close = async () => {
    if (page) await command(port, 'DELETE', page.path).catch(() => {});
    webDriver.kill();
    xvfb.kill();
  };
  let page = null;
  try {
    await driverAnswers(port, 10);
    const {sessionId} = await command(port, 'POST', '/session', {capabilities: {alwaysMatch: {
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': {binary: browser, args: ['--automation']},
    }}});
    page = new WebDriverPage(port, sessionId);
    await page.send('POST', '/window/rect', {...viewport});
    await page.send('POST', '/timeouts', {script: 30000});
  } catch (error) {
    await close();
    throw error;
  }
  return {page, close};
}

// Under automation only Chromium's pointer lock can be driven. Firefox and WebKit lock the
// pointer, then warp the system pointer to the window's middle and count movementX/Y from
// there, while their automation keeps placing the pointer where the scenario says: Firefox
// gives each move's distance from the middle (20 moves of (5, 2) from 280,316 gave -115,18
// then -110,20 ...), WebKit a move and its warp back by turns (5,-36, 227,66, 10,-34 ...).
// There the scenarios test the drag as an engine that refuses the lock gives it.
function drivesPointerLock(engine) { return engine === 'chromium'; }

function launch(engine, paths) {
  switch (engine) {
  case 'chromium':
    return launchPuppeteer({executablePath: paths.browser, args: ['--no-sandbox']});
  case 'firefox':
    return launchPuppeteer({browser: 'firefox', executablePath: paths.browser,
                            protocol: 'webDriverBiDi'});
  case 'webkit':
    return launchWebKit(paths);
  default:
    throw new Error(`no engine '${engine}' (chromium, firefox, webkit)`);
  }
}

module.exports = {launch, drivesPointerLock};
