// The Trellon viewer: shows one .glb (the page's ?model= address, model.glb by default) with orbit
// controls, a ground grid, a legend of its materials and its vertex and face counts.
//
// The page is titled with the file's name. When the model is shown, the page reports it where a
// test can read it: the body's data-status becomes "loaded" (data-vertices, data-faces,
// data-nodes and data-instances hold the counts), and the console gets "trellon-viewer: loaded
// vertices=V faces=F instances=I".
//
// Files with instancing (EXT_mesh_gpu_instancing, as `trellon-host render` writes them) load as
// instanced meshes: each mesh is drawn at every instance transform. Vertices and faces count what
// the file holds (a mesh once); instances count the copies drawn from instanced meshes.
// A failure sets data-status "error", the title "error: MESSAGE" and logs the message.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { farCopies } from './far_copies.js';
import { countModel, formatLength, frameBox } from './view_tools.js';

const BACKGROUND = 0x20242a;

const params = new URLSearchParams(window.location.search);
const modelUrl = params.get('model') || 'model.glb';

const $ = (id) => document.getElementById(id);

function report(status, title, message) {
  document.body.dataset.status = status;
  if (title) document.title = title;
  $('status').textContent = message;
}

// The file's own name, without the folders of its address.
function fileName(url) {
  const path = url.split('?')[0];
  return decodeURIComponent(path.substring(path.lastIndexOf('/') + 1)) || url;
}

function fail(message) {
  report('error', `error: ${message}`, message);
  console.error(`trellon-viewer: error: ${message}`);
}

// An address for a texture's image: its own for an <img>; an image embedded in a .glb comes as
// an ImageBitmap, which has none, so it is drawn small and handed over as a data address.
function swatchPicture(image) {
  if (!image) return null;
  if (image.src) return image.src;
  try {
    const canvas = document.createElement('canvas');
    canvas.width = 24;
    canvas.height = 24;
    canvas.getContext('2d').drawImage(image, 0, 0, canvas.width, canvas.height);
    return canvas.toDataURL();
  } catch (e) {
    return null;  // an image the canvas cannot draw keeps the colour swatch
  }
}

function showLegend(counts) {
  const list = $('legend');
  list.replaceChildren();
  const entries = [...counts.materials.values()].sort((a, b) =>
    (a.material.name || '').localeCompare(b.material.name || ''));
  for (const { material, faces } of entries) {
    const item = document.createElement('li');
    const swatch = document.createElement('span');
    swatch.className = 'swatch';
    swatch.style.background = material.color ? `#${material.color.getHexString()}` : '#888';
    // A textured material shows its texture in the swatch.
    const picture = material.map && swatchPicture(material.map.image);
    if (picture) {
      swatch.style.backgroundImage = `url(${picture})`;
      swatch.style.backgroundSize = 'cover';
    }
    const name = document.createElement('span');
    name.textContent = material.name || '(unnamed)';
    const count = document.createElement('span');
    count.className = 'faces';
    const rounded = Math.round(faces);
    count.textContent = `${rounded.toLocaleString('en')} ${rounded === 1 ? 'face' : 'faces'}`;
    item.append(swatch, name, count);
    list.append(item);
  }
  $('legend-title').hidden = entries.length === 0;
}

function main() {
  let renderer;
  try {
    renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
  } catch (e) {
    fail(`WebGL is not available (${e.message})`);
    return;
  }
  renderer.setPixelRatio(window.devicePixelRatio);
  renderer.setSize(window.innerWidth, window.innerHeight);
  $('view').append(renderer.domElement);

  const scene = new THREE.Scene();
  scene.background = new THREE.Color(BACKGROUND);
  scene.add(new THREE.HemisphereLight(0xffffff, 0x444450, 2.0));
  const sun = new THREE.DirectionalLight(0xffffff, 2.0);
  sun.position.set(3, 10, 6);
  scene.add(sun);

  const camera = new THREE.PerspectiveCamera(45, window.innerWidth / window.innerHeight, 0.01, 1000);
  camera.position.set(4, 3, 5);
  const controls = new OrbitControls(camera, renderer.domElement);
  controls.enableDamping = false;

  let far = null;  // copies drawn as points while they are too small to see
  const render = () => {
    if (far) far.update(camera, renderer.getDrawingBufferSize(new THREE.Vector2()).y);
    renderer.render(scene, camera);
  };
  controls.addEventListener('change', render);
  window.addEventListener('resize', () => {
    camera.aspect = window.innerWidth / window.innerHeight;
    camera.updateProjectionMatrix();
    renderer.setSize(window.innerWidth, window.innerHeight);
    render();
  });

  const name = fileName(modelUrl);
  $('file').textContent = name;
  document.title = `${name} - Trellon viewer`;
  new GLTFLoader().load(
    modelUrl,
    (gltf) => {
      const model = gltf.scene;
      scene.add(model);

      // Frame the model and lay the grid under it, on its lowest point.
      const { cell } = frameBox(new THREE.Box3().setFromObject(model), scene, camera, controls);

      const counts = countModel(model);
      $('nodes').textContent = counts.nodes.toLocaleString('en');
      $('vertices').textContent = counts.vertices.toLocaleString('en');
      $('faces').textContent = counts.faces.toLocaleString('en');
      $('instances').textContent = counts.instances.toLocaleString('en');
      $('cell').textContent = formatLength(cell);
      far = farCopies(model);
      $('counts').hidden = false;
      showLegend(counts);
      render();

      // Reported once the first frame with the model has been drawn.
      requestAnimationFrame(() => {
        const body = document.body.dataset;
        body.vertices = String(counts.vertices);
        body.faces = String(counts.faces);
        body.nodes = String(counts.nodes);
        body.instances = String(counts.instances);
        const summary =
          `loaded vertices=${counts.vertices} faces=${counts.faces} instances=${counts.instances}`;
        report('loaded', null, 'Drag to orbit, scroll to zoom, right-drag to pan.');
        console.log(`trellon-viewer: ${summary}`);
      });
    },
    undefined,
    (err) => fail(`cannot load ${modelUrl}: ${err && err.message ? err.message : err}`),
  );
}

main();
