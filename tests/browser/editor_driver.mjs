// Drives `trellon-host edit` and a headless Chromium over the DevTools protocol (on a pipe: fd 3
// in, fd 4 out, messages ended by NUL), for the editor's browser test and its page benchmark.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

// Child processes to stop when the script ends.
export const children = [];

export function stopChildren() {
  for (const child of children) child.kill('SIGINT');
}

// Starts the editor on `sceneFile` (any free port); resolves to the page's address. `fail` is
// called if the editor ends early.
export function startEditor(hostProgram, sceneFile, outDir, fail) {
  return new Promise((resolve) => {
    const editor = spawn(hostProgram, ['edit', sceneFile, '--port', '0'],
      { stdio: ['ignore', 'pipe', fs.openSync(path.join(outDir, 'edit.log'), 'w')] });
    children.push(editor);
    let said = '';
    editor.stdout.on('data', (chunk) => {
      said += chunk;
      const m = said.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) resolve(m[0]);
    });
    editor.on('exit', (code) => fail(`trellon-host edit ended (${code}): ${said}`));
  });
}

// Starts Chromium (software GL, a 1280 x 800 window); returns send(method, params, sessionId).
function startChromium(chromiumProgram, outDir) {
  const args = ['--headless', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--no-first-run', '--disable-dev-shm-usage', '--hide-scrollbars', '--window-size=1280,800',
    `--user-data-dir=${path.join(outDir, 'profile')}`, '--remote-debugging-pipe'];
  if (process.getuid && process.getuid() === 0) args.unshift('--no-sandbox');
  const chromium = spawn(chromiumProgram, args, {
    stdio: ['ignore', 'ignore', fs.openSync(path.join(outDir, 'chromium.log'), 'w'), 'pipe', 'pipe'],
  });
  children.push(chromium);
  const input = chromium.stdio[3];
  const output = chromium.stdio[4];
  const waiting = new Map();
  let nextId = 1;
  let buffer = Buffer.alloc(0);
  output.on('data', (chunk) => {
    buffer = Buffer.concat([buffer, chunk]);
    for (let end = buffer.indexOf(0); end >= 0; end = buffer.indexOf(0)) {
      const message = JSON.parse(buffer.subarray(0, end).toString('utf8'));
      buffer = buffer.subarray(end + 1);
      const done = waiting.get(message.id);
      if (!done) continue;
      waiting.delete(message.id);
      if (message.error) done.reject(new Error(JSON.stringify(message.error)));
      else done.resolve(message.result);
    }
  });
  return (method, params = {}, sessionId = undefined) => new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, { resolve, reject });
    input.write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
  });
}

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Opens `address` in a new Chromium. Returns page(method, params) for the page's session,
// evaluate(expression) for a value computed in it, body() for the page's data-* state and
// settled(count, what), which waits until the page shows the model of change `count`.
export async function openPage(chromiumProgram, outDir, address, fail) {
  const send = startChromium(chromiumProgram, outDir);
  const { targetId } = await send('Target.createTarget', { url: address });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  const page = (method, params) => send(method, params, sessionId);
  const evaluate = async (expression) => {
    const r = await page('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
    if (r.exceptionDetails) throw new Error(`${expression}: ${JSON.stringify(r.exceptionDetails)}`);
    return r.result.value;
  };
  const body = () => evaluate(`document.body ? ({ ...document.body.dataset,
    picking: document.body.classList.contains('picking') }) : {}`);
  const settled = async (count, what, tries = 600) => {
    for (let i = 0; i < tries; i += 1) {
      const b = await body();
      if (b.status === 'ready' && b.count === String(count) && b.modelCount === String(count)) return b;
      if (b.status === 'error') fail(`${what}: the page failed: ${JSON.stringify(b)}`);
      await sleep(100);
    }
    return fail(`${what}: the page did not settle at change ${count}: ${JSON.stringify(await body())}`);
  };
  return { page, evaluate, body, settled };
}
