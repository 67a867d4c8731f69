// The Trellon editor page: the model as the renderer draws it (instanced) beside the command
// panel of `trellon-host edit`. Every change is a panel step sent to the host (POST api/step with
// the change count the page shows); the host answers with its new state, the panel is drawn
// again and the model reloaded, keeping the camera.
//
// Picking: while a pick mode is in force, a click on a node in the view (a mesh, or a shape's
// line) or its "Pick" button in the node list sends `pick NODE`. Otherwise a click on a Trellon
// object opens it in the panel. A question box comes back as a refusal carrying the question;
// the page asks it in a dialog and sends the steps again after the answer. A select-by-name
// dialog does the same with a list of nodes.
//
// What a test can read: the body's data-status ("ready" once the model of the current state is
// drawn, "busy" while a change is on its way, "error" after a failed load), data-count (the
// change count of the state shown), data-model-count (the count the drawn model belongs to),
// data-vertices, data-faces and data-instances (what the drawn model holds), data-points (how
// many of its copies are drawn as points, being too small to see as shapes), data-model-ms (how
// long the last change took from the click to the drawn model) and data-error (the last refusal).
// window.trellonEditor.screenPoint(NAME) gives the page position of a point on a node in the view.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { farCopies } from './far_copies.js';
import { countModel, frameBox } from './view_tools.js';
import { drawPanel, word } from './edit_panel.js';

const BACKGROUND = 0x20242a;
const LINE_COLOUR = 0xf0c040;

const $ = (id) => document.getElementById(id);
const body = document.body.dataset;

let state = null;
let busy = false;
let changeStarted = 0;

function setStatus(text, error = false) {
  $('status').textContent = text;
  $('status').className = error ? 'error' : '';
}

async function api(path, options = {}) {
  const response = await fetch(path, { cache: 'no-store', ...options });
  const type = response.headers.get('Content-Type') || '';
  const answer = type.startsWith('application/json') ? await response.json() : null;
  return { ok: response.ok, status: response.status, answer };
}

function post(path, payload) {
  return api(path, {
    method: 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(payload),
  });
}

// --- The view -----------------------------------------------------------------------------

let renderer = null;
const scene = new THREE.Scene();
const camera = new THREE.PerspectiveCamera(45, 1, 0.01, 1000);
let controls = null;
let model = null;   // the loaded glTF scene
let lines = null;   // the shapes' lines, for seeing and picking paths
let grid = null;
let framed = false;
let far = null;     // the model's copies drawn as points while they are too small to see

function viewSize() {
  const r = $('view').getBoundingClientRect();
  return { width: Math.max(r.width, 1), height: Math.max(r.height, 1) };
}

function render() {
  if (far) {
    far.update(camera, renderer.getDrawingBufferSize(new THREE.Vector2()).y);
    body.points = String(far.points());
  }
  renderer.render(scene, camera);
}

// A replaced model's buffers and textures go at once: the browser frees them only when told.
function dispose(root) {
  root.traverse((obj) => {
    if (obj.geometry) obj.geometry.dispose();
    if (obj.isInstancedMesh) obj.dispose();
    for (const m of obj.material ? [obj.material].flat() : []) {
      for (const value of Object.values(m)) if (value && value.isTexture) value.dispose();
      m.dispose();
    }
  });
}

// Without multisampling: a large layout redraws much faster where the browser draws in software,
// and the editor redraws after every change.
function setUpView() {
  renderer = new THREE.WebGLRenderer({ antialias: false, preserveDrawingBuffer: true });
  renderer.setPixelRatio(window.devicePixelRatio);
  const { width, height } = viewSize();
  renderer.setSize(width, height);
  camera.aspect = width / height;
  camera.position.set(4, 3, 5);
  camera.updateProjectionMatrix();
  $('view').append(renderer.domElement);
  scene.background = new THREE.Color(BACKGROUND);
  scene.add(new THREE.HemisphereLight(0xffffff, 0x444450, 2.0));
  const sun = new THREE.DirectionalLight(0xffffff, 2.0);
  sun.position.set(3, 10, 6);
  scene.add(sun);
  controls = new OrbitControls(camera, renderer.domElement);
  controls.enableDamping = false;
  controls.addEventListener('change', render);
  window.addEventListener('resize', () => {
    const size = viewSize();
    camera.aspect = size.width / size.height;
    camera.updateProjectionMatrix();
    renderer.setSize(size.width, size.height);
    render();
  });
  // A click (not a drag) picks.
  let down = null;
  renderer.domElement.addEventListener('pointerdown', (e) => { down = { x: e.clientX, y: e.clientY }; });
  renderer.domElement.addEventListener('pointerup', (e) => {
    if (!down || Math.hypot(e.clientX - down.x, e.clientY - down.y) > 4) return;
    clickView(e.clientX, e.clientY);
  });
}

function drawLines() {
  if (lines) scene.remove(lines);
  lines = new THREE.Group();
  for (const node of state.nodes) {
    for (const line of node.lines || []) {
      const points = line.points.map((p) => new THREE.Vector3(p[0], p[1], p[2]));
      const geometry = new THREE.BufferGeometry().setFromPoints(points);
      const material = new THREE.LineBasicMaterial({ color: LINE_COLOUR });
      const drawn = line.closed ? new THREE.LineLoop(geometry, material) : new THREE.Line(geometry, material);
      drawn.name = node.name;
      drawn.userData.node = node.name;
      lines.add(drawn);
    }
  }
  scene.add(lines);
}

// Frames the model once; later loads keep the camera where the user left it.
function frame(box) {
  if (grid) scene.remove(grid);
  grid = frameBox(box, scene, camera, controls).grid;
}

let modelRequest = 0;
const loader = new GLTFLoader();
const loadGlb = (url) => new Promise((resolve, reject) => loader.load(url, resolve, undefined, reject));

// The model of the state shown: what the renderer draws, and the proxies of objects whose display
// mode draws markers instead (when the state says there are any).
async function loadModel() {
  const count = state.count;
  const request = ++modelRequest;
  const loadStarted = performance.now();
  let loaded;
  try {
    loaded = await Promise.all([
      loadGlb(`api/model.glb?count=${count}`),
      state.proxies ? loadGlb(`api/proxies.glb?count=${count}`) : Promise.resolve(null),
    ]);
  } catch (err) {
    body.status = 'error';
    setStatus(`The model cannot be shown: ${err && err.message ? err.message : err}`, true);
    return;
  }
  if (request !== modelRequest) return;  // a newer state's model is on its way
  const loadMs = performance.now() - loadStarted;
  if (model) {
    scene.remove(model);
    dispose(model);
  }
  model = new THREE.Group();
  model.add(loaded[0].scene);
  if (loaded[1]) model.add(loaded[1].scene);
  scene.add(model);
  drawLines();
  if (!framed) {
    const box = new THREE.Box3().setFromObject(model);
    box.union(new THREE.Box3().setFromObject(lines));
    frame(box);
    framed = true;
  }
  const counts = countModel(loaded[0].scene);
  far = farCopies(loaded[0].scene);
  $('vertices').textContent = counts.vertices.toLocaleString('en');
  $('faces').textContent = counts.faces.toLocaleString('en');
  $('instances').textContent = counts.instances.toLocaleString('en');
  const drawStarted = performance.now();
  render();
  const drawMs = performance.now() - drawStarted;
  requestAnimationFrame(() => {
    body.loadMs = String(Math.round(loadMs));
    body.drawMs = String(Math.round(drawMs));
    body.vertices = String(counts.vertices);
    body.faces = String(counts.faces);
    body.instances = String(counts.instances);
    body.proxies = loaded[1] ? 'shown' : 'none';
    body.modelCount = String(count);
    if (changeStarted) {
      const ms = Math.round(performance.now() - changeStarted);
      body.modelMs = String(ms);
      $('model-ms').textContent = `${ms} ms`;
      changeStarted = 0;
    }
    if (!busy) body.status = 'ready';
  });
}

// The node under a page position: the nearest mesh or line, by its scene node's name.
function nodeAt(x, y) {
  const r = renderer.domElement.getBoundingClientRect();
  const pointer = new THREE.Vector2(((x - r.left) / r.width) * 2 - 1, -((y - r.top) / r.height) * 2 + 1);
  const ray = new THREE.Raycaster();
  ray.setFromCamera(pointer, camera);
  ray.params.Line.threshold = camera.position.distanceTo(controls.target) * 0.01;
  ray.params.Points.threshold = ray.params.Line.threshold;
  const names = new Set(state.nodes.map((n) => n.name));
  const targets = [model, lines].filter(Boolean);
  for (const hit of ray.intersectObjects(targets, true)) {
    for (let o = hit.object; o; o = o.parent) {
      if (names.has(o.name)) return o.name;
    }
  }
  return null;
}

function clickView(x, y) {
  const name = nodeAt(x, y);
  if (!name) return;
  const node = state.nodes.find((n) => n.name === name);
  if (state.pickMode) {
    send([`pick ${word(name)}`]);
  } else if (node && node.kind === 'trellon' && name !== state.edited) {
    send([`modify ${word(name)}`]);
  }
}

// The page position of a point on node `name` (the middle of a line's first segment, or a
// mesh's centre), or null when the node is not in the view.
function screenPoint(name) {
  let point = null;
  const line = lines && lines.children.find((l) => l.name === name);
  if (line) {
    const p = line.geometry.attributes.position;
    point = new THREE.Vector3(p.getX(0), p.getY(0), p.getZ(0))
      .lerp(new THREE.Vector3(p.getX(1), p.getY(1), p.getZ(1)), 0.5);
  } else if (model) {
    const object = model.getObjectByName(name);
    if (object) point = new THREE.Box3().setFromObject(object).getCenter(new THREE.Vector3());
  }
  if (!point) return null;
  const v = point.project(camera);
  const r = renderer.domElement.getBoundingClientRect();
  return { x: r.left + ((v.x + 1) / 2) * r.width, y: r.top + ((1 - v.y) / 2) * r.height };
}

// --- The panel and the node list ----------------------------------------------------------

function drawNodes() {
  const list = $('nodes');
  list.replaceChildren();
  for (const node of state.nodes) {
    const item = document.createElement('li');
    item.dataset.node = node.name;
    if (node.hidden) item.classList.add('hidden');
    if (node.name === state.edited) item.classList.add('edited');
    const name = document.createElement('span');
    name.className = 'name';
    name.textContent = `${node.name} (${node.kind}${node.hidden ? ', hidden' : ''})`;
    item.append(name);
    if (state.pickMode) {
      const pick = document.createElement('button');
      pick.textContent = 'Pick';
      pick.dataset.pick = node.name;
      pick.addEventListener('click', () => send([`pick ${word(node.name)}`]));
      item.append(pick);
    } else if (node.kind === 'trellon' && node.name !== state.edited) {
      const edit = document.createElement('button');
      edit.textContent = 'Edit';
      edit.addEventListener('click', () => send([`modify ${word(node.name)}`]));
      item.append(edit);
    }
    list.append(item);
  }
}

function show(newState) {
  state = newState;
  body.count = String(state.count);
  document.body.classList.toggle('picking', state.pickMode);
  $('file').textContent = state.scene;
  document.title = `${state.scene} - Trellon editor`;
  $('undo').disabled = state.undo === 0;
  $('redo').disabled = state.redo === 0;
  drawPanel($('rollouts'), state.rollouts, send);
  drawNodes();
  const said = state.messages.map((m) => `${m.title}: ${m.text}`).join(' ');
  setStatus(said || (state.pickMode ? 'Pick a node in the view or in the list.' : 'Ready.'));
  loadModel();
}

function refuse(message) {
  body.error = message;
  setStatus(message, true);
}

// Asks a question box's question; resolves with the answer word, or null when closed.
function ask(question) {
  return new Promise((resolve) => {
    const dialog = $('question');
    $('question-title').textContent = question.title;
    $('question-text').textContent = question.text;
    const buttons = $('question-buttons');
    buttons.replaceChildren();
    for (const b of question.buttons) {
      const button = document.createElement('button');
      button.value = b;
      button.textContent = b[0].toUpperCase() + b.slice(1);
      buttons.append(button, ' ');
    }
    dialog.onclose = () => resolve(dialog.returnValue || null);
    dialog.returnValue = '';
    dialog.showModal();
  });
}

// The select-by-name dialog: resolves with the chosen node names, or null when cancelled.
function chooseNodes() {
  return new Promise((resolve) => {
    const dialog = $('chooser');
    const list = $('chooser-nodes');
    list.replaceChildren();
    for (const node of state.nodes) {
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.value = node.name;
      const label = document.createElement('label');
      label.append(box, ` ${node.name}`);
      const item = document.createElement('li');
      item.append(label);
      list.append(item);
    }
    dialog.onclose = () => {
      const names = [...list.querySelectorAll('input:checked')].map((b) => b.value);
      resolve(dialog.returnValue === 'ok' && names.length ? names : null);
    };
    dialog.returnValue = '';
    dialog.showModal();
  });
}

async function change(path, payload) {
  if (busy) return;
  busy = true;
  body.status = 'busy';
  changeStarted = performance.now();
  try {
    let { ok, answer } = await post(path, { count: state.count, ...payload });
    // A question or a select-by-name dialog: ask the user, then send the steps again.
    while (!ok && answer && payload.steps && (answer.question || answer.chooseNodes)) {
      let first;
      if (answer.question) {
        const reply = await ask(answer.question);
        if (!reply) break;
        first = `answer ${reply}`;
      } else {
        const names = await chooseNodes();
        if (!names) break;
        first = `names ${names.map(word).join(' ')}`;
      }
      payload = { ...payload, steps: [first, ...payload.steps] };
      ({ ok, answer } = await post(path, { count: state.count, ...payload }));
    }
    busy = false;
    if (ok) {
      body.error = '';
      // A help link the module opened: shown as the host shows it, in the user's browser.
      for (const page of answer.opened || []) {
        if (/^https?:\/\//.test(page)) window.open(page, '_blank', 'noopener');
      }
      show(answer);
    } else {
      changeStarted = 0;
      refuse(answer && answer.error ? answer.error : 'The host refused the change.');
      if (answer && answer.error && answer.error.includes('has changed since')) show((await api('api/state')).answer);
      body.status = 'ready';
    }
  } catch (e) {
    busy = false;
    changeStarted = 0;
    refuse(`The host did not answer: ${e.message}`);
    body.status = 'ready';
  }
}

function send(steps) {
  return change('api/step', { steps });
}

async function writeFile(path, what) {
  const { ok, answer } = await post(path, { count: state.count });
  if (ok) setStatus(`Wrote ${answer.saved || answer.exported}.`);
  else refuse(answer ? answer.error : `${what} failed`);
}

async function dropFiles(files) {
  for (const file of files) {
    if (busy) return;
    busy = true;
    body.status = 'busy';
    const url = `api/import?name=${encodeURIComponent(file.name)}&count=${state.count}`;
    const { ok, answer } = await api(url, { method: 'POST', body: file });
    busy = false;
    if (!ok) {
      refuse(answer ? answer.error : `${file.name} was not added`);
      body.status = 'ready';
      return;
    }
    show(answer);
    setStatus(`Added ${file.name} as a hidden node.`);
  }
}

function setUpPage() {
  $('undo').addEventListener('click', () => change('api/undo', {}));
  $('redo').addEventListener('click', () => change('api/redo', {}));
  $('save').addEventListener('click', () => writeFile('api/save', 'Saving'));
  $('export').addEventListener('click', () => writeFile('api/export', 'Exporting'));
  $('create').addEventListener('submit', (e) => {
    e.preventDefault();
    const name = $('create-name').value.trim();
    if (name) send([`create ${word(name)}`]);
  });
  window.addEventListener('keydown', (e) => {
    if (!(e.ctrlKey || e.metaKey) || e.target.tagName === 'INPUT') return;
    if (e.key === 'z') change('api/undo', {});
    if (e.key === 'y') change('api/redo', {});
  });
  window.addEventListener('dragover', (e) => {
    e.preventDefault();
    $('drop-hint').hidden = false;
  });
  window.addEventListener('dragleave', () => { $('drop-hint').hidden = true; });
  window.addEventListener('drop', (e) => {
    e.preventDefault();
    $('drop-hint').hidden = true;
    dropFiles([...e.dataTransfer.files]);
  });
}

async function main() {
  try {
    setUpView();
  } catch (e) {
    body.status = 'error';
    setStatus(`WebGL is not available (${e.message})`, true);
    return;
  }
  setUpPage();
  window.trellonEditor = { screenPoint };
  const { ok, answer } = await api('api/state');
  if (!ok) {
    body.status = 'error';
    setStatus(answer ? answer.error : 'The host did not answer.', true);
    return;
  }
  show(answer);
}

main();
