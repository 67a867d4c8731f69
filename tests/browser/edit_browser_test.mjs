// The browser editor in headless Chromium, driven as a user would drive it: `trellon-host edit`
// serves a copy of tests/scenes/edit/garden.scene.json, the page is opened and used through the
// Chrome DevTools protocol (over a pipe): a spinner is changed, a null row added, a path picked by
// a mouse click in the view, the car-paint question answered in its dialog, two changes undone
// and the scene saved. The saved file must equal what `trellon-host ui` saves for the same steps.
// Last, a mesh file dropped on the page is added as a hidden node and picked as an item.
//
// The fixture: a fence of pickets (8 x 2 x 90) along Path, a straight line of 240 cm; picking it
// set every spacing to the path's tenth, 24. Laid out each object on its own, a path of length L
// takes int(L / spacing + 1) copies; as a sequence, int(L / spacing) slots, each given to the
// sequence's groups in turn. Every copy is a glTF instance in the model the page shows.
//
// Usage: node edit_browser_test.mjs HOST CHROMIUM SOURCE_DIR OUT_DIR
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import { openPage, sleep, startEditor, stopChildren } from './editor_driver.mjs';

const [hostProgram, chromiumProgram, sourceDir, outDir] = process.argv.slice(2);
let failures = 0;

function check(condition, message) {
  if (condition) {
    console.log(`ok: ${message}`);
  } else {
    failures += 1;
    console.log(`FAILED: ${message}`);
  }
}

function finish(code) {
  stopChildren();
  process.exit(code);
}

function fail(message) {
  console.log(`FAILED: ${message}`);
  finish(1);
}

setTimeout(() => fail('the test ran out of time (240 s)'), 240000).unref();

// --- The editor ---------------------------------------------------------------------------

fs.rmSync(outDir, { recursive: true, force: true });
fs.mkdirSync(outDir, { recursive: true });
const fixture = path.join(sourceDir, 'tests/scenes/edit/garden.scene.json');
const sceneFile = path.join(outDir, 'garden.scene.json');
fs.copyFileSync(fixture, sceneFile);

async function main() {
  const address = await startEditor(hostProgram, sceneFile, outDir, fail);
  const { page, evaluate, body, settled } = await openPage(chromiumProgram, outDir, address, fail);
  const clickRef = (ref) => evaluate(`document.querySelector('[data-ref="${ref}"]').click()`);
  const rows = () => evaluate(`[...document.querySelectorAll('[data-ref="Distribute Objects/1002"] tr.row-item')]
    .map((tr) => tr.textContent)`);

  let b = await settled(1, 'opening');
  check(b.instances === '11', `the fence opens with 11 pickets, one every 24 cm (${b.instances})`);

  // Framed, a 90 cm picket stands hundreds of pixels tall. Each wheel step takes the camera
  // 1 / 0.95 further: 150 steps, 2,200 times as far, leave a picket under a pixel, a point;
  // 150 steps back bring the shapes back.
  const wheel = async (deltaY) => {
    for (let i = 0; i < 150; i += 1) {
      await page('Input.dispatchMouseEvent', { type: 'mouseWheel', x: 400, y: 400, deltaX: 0, deltaY });
    }
    return (await body()).points;
  };
  check(b.points === '0', `framed, every picket is drawn as a shape (${b.points} as points)`);
  let points = await wheel(100);
  check(points === '11', `far away, the 11 pickets are drawn as points (${points})`);
  points = await wheel(-100);
  check(points === '0', `back at the framed view, they are shapes again (${points})`);

  // "Sequence in order": the sequence builder spreads int(240 / 24) = 10 slots over the path,
  // the one row (group 0) at every slot.
  await clickRef('Distribute Spline/1009');
  b = await settled(2, 'sequence pattern');
  check(b.instances === '10', `the sequence stands 10 pickets (${b.instances})`);

  // A null row is group 1: the slots alternate between the picket and nothing, 5 pickets.
  await clickRef('Distribute Objects/1008');
  b = await settled(3, 'null row');
  const list = await rows();
  check(list.some((r) => r.includes('Null Item')), `the list shows a null row (${list.join(' | ')})`);
  check(b.instances === '5', `every other slot stays empty: 5 pickets (${b.instances})`);

  // All Objects' spacing 20: int(240 / 20) = 12 slots, 6 pickets.
  await evaluate(`document.querySelector('[data-ref="Distribute Objects/1002"] tr[data-row="0"]').click()`);
  await settled(4, 'choosing All Objects');
  await evaluate(`(() => { const s = document.querySelector('[data-ref="Distribute Objects/1095"]');
    s.value = '20'; s.dispatchEvent(new Event('change')); })()`);
  b = await settled(5, 'spacing 20');
  check(b.instances === '6', `spacing 20 gives 12 slots and 6 pickets (${b.instances})`);
  console.log(`measured: spinner change to drawn model ${b.modelMs} ms`);

  // "Each object" again: the picket runs on its own at its spacing, which the sequence's
  // spacing set too: int(240 / 20 + 1) = 13 pickets.
  await clickRef('Distribute Spline/1013');
  b = await settled(6, 'each object');
  check(b.instances === '13', `each object on its own: 13 pickets (${b.instances})`);

  // The path pick button, then a real mouse click on the line Edge (120 cm) in the view:
  // int(120 / 20 + 1) = 7 pickets.
  await clickRef('Distribute Spline/1001');
  b = await settled(7, 'path pick mode');
  check(b.picking, 'the page is in a pick mode');
  const at = await evaluate('window.trellonEditor.screenPoint("Edge")');
  if (!at) fail('Edge is not in the view');
  for (const type of ['mousePressed', 'mouseReleased']) {
    await page('Input.dispatchMouseEvent', { type, x: at.x, y: at.y, button: 'left', clickCount: 1 });
  }
  b = await settled(8, 'picking Edge');
  check(b.instances === '7', `the 120 cm path takes 7 pickets (${b.instances})`);

  // The add-item pick mode, then the hidden Planter from the node list: its car-paint material
  // brings the question, answered Yes in the page's dialog. The planter takes the All Objects
  // spacing, 20: 7 planters beside the 7 pickets.
  await clickRef('Distribute Objects/1003');
  await settled(9, 'item pick mode');
  await evaluate(`document.querySelector('button[data-pick="Planter"]').click()`);
  let title = '';
  for (let i = 0; i < 100 && !title; i += 1) {
    await sleep(100);
    title = await evaluate(`document.getElementById('question').open ?
      document.getElementById('question-title').textContent : ''`);
  }
  check(title === 'Car Paint Material', `the question is asked in a dialog ("${title}")`);
  await evaluate(`document.querySelector('#question-buttons button[value="yes"]').click()`);
  b = await settled(10, 'answering yes');
  check(b.instances === '14', `7 pickets and 7 planters (${b.instances})`);

  // Undo twice: the planter and the path pick go; the 240 cm path shows its 13 pickets again.
  await evaluate(`document.getElementById('undo').click()`);
  await settled(11, 'first undo');
  await evaluate(`document.getElementById('undo').click()`);
  b = await settled(12, 'second undo');
  check(b.instances === '13', `after two undos the 240 cm path stands 13 pickets again (${b.instances})`);

  await evaluate(`document.getElementById('save').click()`);
  let status = '';
  for (let i = 0; i < 100 && !status.startsWith('Wrote'); i += 1) {
    await sleep(100);
    status = await evaluate(`document.getElementById('status').textContent`);
  }
  check(status === 'Wrote garden.scene.json.', `saved (${status})`);

  // The same steps through the ui command, from the same fixture.
  const steps = path.join(outDir, 'same.steps');
  fs.writeFileSync(steps, ['modify Fence', 'press spline/1009', 'press objects/1008',
    'choose objects/1002 0', 'set objects/1095 20', 'press spline/1013', 'press spline/1001',
    'pick Edge',
    'press objects/1003', 'answer yes', 'pick Planter', 'undo', 'undo'].join('\n'));
  const viaUi = path.join(outDir, 'ui.scene.json');
  const ui = spawnSync(hostProgram, ['ui', fixture, '--steps', steps, '-o', viaUi], { encoding: 'utf8' });
  check(ui.status === 0, `ui runs the same steps (${ui.stderr.trim()})`);
  const saved = fs.readFileSync(sceneFile, 'utf8');
  check(ui.status === 0 && saved === fs.readFileSync(viaUi, 'utf8'),
    'the scene the page saved equals the one ui saves for the same steps');

  // A mesh file dropped on the page becomes a hidden node, then an item picked from the list:
  // at the All Objects spacing, 20, int(240 / 20 + 1) = 13 copies beside the 13 pickets.
  await evaluate(`(() => {
    const dt = new DataTransfer();
    dt.items.add(new File(['v 0 0 0\\nv 10 0 0\\nv 0 10 0\\nf 1 2 3\\n'], 'rock.obj'));
    window.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, cancelable: true }));
  })()`);
  b = await settled(13, 'dropping rock.obj');
  const rock = await evaluate(`document.querySelector('li[data-node="rock"] .name')?.textContent`);
  check(rock === 'rock (geometry, hidden)', `the dropped file is a hidden node (${rock})`);
  check(fs.existsSync(path.join(outDir, 'rock.obj')), 'the file is kept in the scene folder');
  await clickRef('Distribute Objects/1003');
  await settled(14, 'item pick mode again');
  await evaluate(`document.querySelector('button[data-pick="rock"]').click()`);
  b = await settled(15, 'picking rock');
  check(b.instances === '26', `13 pickets and 13 rocks (${b.instances})`);
  finish(failures === 0 ? 0 : 1);
}

main().catch((e) => fail(e.stack || String(e)));
