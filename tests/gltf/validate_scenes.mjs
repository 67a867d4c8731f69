// Builds scene files with `trellon-host build`, exports them with `trellon-host export --glb`,
// renders them with `trellon-host render` (Corona's instancing: EXT_mesh_gpu_instancing), and
// checks each .glb with the Khronos glTF validator: a file passes when the validator reports
// no error and no warning (infos, such as an unused texture coordinate set or a node without a
// mesh, are allowed).
// Usage: node validate_scenes.mjs WEB_DIR TRELLON_HOST OUT_DIR SCENE...
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

const [webDir, host, outDir, ...scenes] = process.argv.slice(2);
const require = createRequire(path.resolve(webDir, 'package.json'));
const validator = require('gltf-validator');

fs.mkdirSync(outDir, { recursive: true });
let passed = 0;
let failed = 0;
// The validator does not know EXT_mesh_gpu_instancing: its rules are checked here. Each
// instanced node has TRANSLATION, ROTATION and SCALE, float VEC3 / VEC4 / VEC3 of one count,
// with unit rotations and positive scales; the file lists the extension as used and required.
function instancingProblems(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const jsonLength = view.getUint32(12, true);
  const doc = JSON.parse(new TextDecoder().decode(bytes.subarray(20, 20 + jsonLength)));
  const binAt = 20 + jsonLength + 8;
  const problems = [];
  const wanted = { TRANSLATION: 'VEC3', ROTATION: 'VEC4', SCALE: 'VEC3' };
  const instanced = (doc.nodes ?? []).filter((n) => n.extensions?.EXT_mesh_gpu_instancing);
  if (instanced.length > 0 && !(doc.extensionsRequired ?? []).includes('EXT_mesh_gpu_instancing')) {
    problems.push('EXT_mesh_gpu_instancing is used but not required');
  }
  for (const node of instanced) {
    const attributes = node.extensions.EXT_mesh_gpu_instancing.attributes;
    const counts = new Set();
    for (const [name, type] of Object.entries(wanted)) {
      const accessor = doc.accessors[attributes[name]];
      if (!accessor || accessor.type !== type || accessor.componentType !== 5126) {
        problems.push(`${node.name}: ${name} is not a float ${type}`);
        continue;
      }
      counts.add(accessor.count);
      const bv = doc.bufferViews[accessor.bufferView];
      const at = binAt + bv.byteOffset + (accessor.byteOffset ?? 0);
      const n = type === 'VEC4' ? 4 : 3;
      for (let i = 0; i < accessor.count; i += 1) {
        const v = [];
        for (let k = 0; k < n; k += 1) v.push(view.getFloat32(at + (i * n + k) * 4, true));
        if (name === 'ROTATION' && Math.abs(Math.hypot(...v) - 1) > 1e-4) {
          problems.push(`${node.name}: rotation ${i} is not a unit quaternion`);
          break;
        }
        if (name === 'SCALE' && v.some((x) => !(x > 0))) {
          problems.push(`${node.name}: scale ${i} is not positive`);
          break;
        }
      }
    }
    if (counts.size !== 1) problems.push(`${node.name}: the instance accessors differ in count`);
  }
  return problems;
}

async function validate(glb) {
  const bytes = new Uint8Array(fs.readFileSync(glb));
  const report = await validator.validateBytes(bytes, { maxIssues: 50 });
  const { numErrors, numInfos, messages } = report.issues;
  const instancing = instancingProblems(bytes);
  for (const p of instancing) console.log(`  ${glb}: ${p}`);
  const numWarnings = report.issues.numWarnings + instancing.length;
  if (numErrors > 0 || numWarnings > 0) {
    console.log(`FAIL ${glb}: ${numErrors} errors, ${numWarnings} warnings`);
    for (const m of messages.filter((x) => x.severity <= 1)) {
      console.log(`  ${m.code} at ${m.pointer ?? m.offset}: ${m.message}`);
    }
    failed += 1;
  } else {
    console.log(`ok   ${glb}: no errors or warnings (${numInfos} infos)`);
    passed += 1;
  }
}

for (const scene of scenes) {
  const stem = path.join(outDir, path.basename(scene).replace(/\.scene\.json$|\.json$/, ''));
  const runs = [
    { glb: `${stem}.glb`, args: ['build', scene, '-o', `${stem}.glb`] },
    { glb: `${stem}.export.glb`,
      args: ['export', scene, '-o', `${stem}.export.scene.json`, '--glb', `${stem}.export.glb`] },
    { glb: `${stem}.render.glb`,
      args: ['render', scene, '--renderer', 'corona', '-o', `${stem}.render.glb`] },
  ];
  for (const { glb, args } of runs) {
    try {
      execFileSync(host, args, { stdio: ['ignore', 'ignore', 'inherit'] });
    } catch (e) {
      console.log(`FAIL ${scene}: trellon-host ${args[0]} failed (${e.status})`);
      failed += 1;
      continue;
    }
    await validate(glb);
  }
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
