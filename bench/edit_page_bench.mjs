// The browser editor's redraw at scale: the benchmark scene of bench/host_scene.h (an item every
// 10,000 / N units along a 10,000-unit zig-zag path of 21 legs, mode 6, ForceDisplay) opened in
// `trellon-host edit` in headless Chromium; the item's spacing spinner is changed back and forth
// and the page's own figures are read after each change: the whole change (request to drawn
// model), the model's fetch and parse, and the first draw.
//
// Usage: node bench/edit_page_bench.mjs HOST CHROMIUM [COPIES=100000] [ITEM=box|grid] [CHANGES=5]
// (Chromium draws with its software renderer here: the draw share is an upper bound for a GPU.)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { openPage, startEditor, stopChildren } from '../tests/browser/editor_driver.mjs';

const [hostProgram, chromiumProgram, copiesArg = '100000', item = 'box', changesArg = '5'] =
  process.argv.slice(2);
const copies = Number(copiesArg);
const changes = Number(changesArg);

function fail(message) {
  console.log(`FAILED: ${message}`);
  stopChildren();
  process.exit(1);
}

// The item: a unit box, or the 500-face grid (25 x 10 quads standing in the XZ plane, 0.1 apart).
function itemObject() {
  if (item === 'box') return { type: 'box', length: 1, width: 1, height: 1 };
  const vertices = [];
  const faces = [];
  for (let j = 0; j <= 10; j += 1) for (let i = 0; i <= 25; i += 1) vertices.push([i * 0.1, 0, j * 0.1]);
  for (let j = 0; j < 10; j += 1) {
    for (let i = 0; i < 25; i += 1) {
      const a = j * 26 + i;
      faces.push([a, a + 1, a + 27], [a, a + 27, a + 26]);
    }
  }
  return { type: 'mesh', vertices, faces };
}

function benchScene() {
  const points = [];
  const step = 10000 / 21;
  for (let k = 0, x = 0, y = 0; k <= 21; k += 1) {
    points.push([x, y, 0]);
    if (k % 2 === 0) x += step; else y += step;
  }
  const spacing = 10000 / copies;
  return {
    format: 'trellon-scene', version: 1, nodes: [
      { name: 'Path', object: { type: 'line', points } },
      { name: 'Item', hidden: true, object: itemObject() },
      { name: 'Copies', object: { type: 'Trellon',
        setup: [{ op: 'create', seed: 1 }, { op: 'pickPath', node: 'Path' }, { op: 'addItem', node: 'Item' }],
        params: [{ name: 'Geo_UserSpacing', value: 1 }, { name: 'Geo_Pattern', value: 2 },
          { name: 'Item_Spacing', value: [spacing, spacing] }, { name: 'ForceDisplay', value: 1 },
          { name: 'Display_Mode', value: 6 }] } },
    ],
  };
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function main() {
  const outDir = fs.mkdtempSync(path.join(os.tmpdir(), 'trellon-edit-page-'));
  const sceneFile = path.join(outDir, 'copies.scene.json');
  fs.writeFileSync(sceneFile, JSON.stringify(benchScene()));
  const address = await startEditor(hostProgram, sceneFile, outDir, fail);
  const { evaluate, settled } = await openPage(chromiumProgram, outDir, address, fail);
  let b = await settled(1, 'opening', 1200);
  console.log(`opened: ${b.instances} instances, ${b.faces} faces per instance set, ` +
    `load ${b.loadMs} ms, draw ${b.drawMs} ms`);
  await evaluate(`document.querySelector('[data-ref="Distribute Objects/1002"] tr[data-row="1"]').click()`);
  await settled(2, 'choosing the item', 1200);
  const figures = { modelMs: [], loadMs: [], drawMs: [] };
  const spacing = 10000 / copies;
  for (let k = 0; k < changes; k += 1) {
    const value = spacing * (k % 2 === 0 ? 1.001 : 1);
    await evaluate(`(() => { const s = document.querySelector('[data-ref="Distribute Objects/1095"]');
      s.value = '${value}'; s.dispatchEvent(new Event('change')); })()`);
    b = await settled(3 + k, `change ${k + 1}`, 1200);
    for (const key of Object.keys(figures)) figures[key].push(Number(b[key]));
    console.log(`change ${k + 1}: ${b.instances} instances (${b.points} as points), change to drawn model ${b.modelMs} ms ` +
      `(load ${b.loadMs}, first draw ${b.drawMs})`);
  }
  console.log(`median of ${changes}: change to drawn model ${median(figures.modelMs)} ms, ` +
    `load ${median(figures.loadMs)} ms, first draw ${median(figures.drawMs)} ms`);
  stopChildren();
  // Chromium may still be writing its profile as it ends.
  fs.rmSync(outDir, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
  process.exit(0);
}

main().catch((e) => fail(e.stack || String(e)));
