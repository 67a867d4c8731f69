// Builds scene files with `trellon-host build`, exports them with `trellon-host export --glb`,
// and checks each .glb with the Khronos glTF validator: a file passes when the validator reports
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
async function validate(glb) {
  const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(glb)),
    { maxIssues: 50 });
  const { numErrors, numWarnings, numInfos, messages } = report.issues;
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
