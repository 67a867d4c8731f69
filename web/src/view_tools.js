// Helpers the viewer and the editor share: counting what a model draws, the ground grid's cell,
// lengths for people, and framing a model: the grid under it and the camera on it.
import * as THREE from 'three';

// Vertices and faces as a renderer draws them: per primitive, its positions and its triangles.
export function countModel(root) {
  const counts = { nodes: 0, vertices: 0, faces: 0, instances: 0, materials: new Map() };
  root.traverse((obj) => {
    if (!obj.isMesh) return;
    const geometry = obj.geometry;
    const vertices = geometry.attributes.position ? geometry.attributes.position.count : 0;
    const faces = (geometry.index ? geometry.index.count : vertices) / 3;
    counts.vertices += vertices;
    counts.faces += faces;
    if (obj.isInstancedMesh) counts.instances += obj.count;
    const materials = Array.isArray(obj.material) ? obj.material : [obj.material];
    for (const m of materials) {
      const entry = counts.materials.get(m.uuid) || { material: m, faces: 0 };
      entry.faces += faces / materials.length;
      counts.materials.set(m.uuid, entry);
    }
  });
  root.traverse((obj) => {
    if (obj !== root && obj.parent === root) counts.nodes += 1;
  });
  return counts;
}

// A power of ten that gives the model's larger ground extent about 5 to 50 cells.
export function gridCell(extent) {
  if (!(extent > 0)) return 1;
  return Math.pow(10, Math.floor(Math.log10(extent / 5)));
}

export function formatLength(metres) {
  if (metres >= 1000) return `${metres / 1000} km`;
  if (metres >= 1) return `${metres} m`;
  if (metres >= 0.01) return `${Math.round(metres * 100)} cm`;
  return `${Math.round(metres * 1000 * 1000) / 1000} mm`;
}

// How far from the centre, along `direction`, the camera must stand for every corner of the box
// to lie within 90 % of the view in both directions.
export function fitDistance(box, centre, direction, camera) {
  if (box.isEmpty()) return 5;
  const tanY = Math.tan(THREE.MathUtils.degToRad(camera.fov / 2)) * 0.9;
  const tanX = tanY * camera.aspect;
  // The view's axes for a camera looking back along `direction`.
  const back = direction.clone().normalize();
  const right = new THREE.Vector3(0, 1, 0).cross(back).normalize();
  const up = back.clone().cross(right);
  let distance = 0;
  for (let i = 0; i < 8; i += 1) {
    const corner = new THREE.Vector3(i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
      i & 4 ? box.max.z : box.min.z).sub(centre);
    const toward = corner.dot(back);
    distance = Math.max(distance, toward + Math.abs(corner.dot(right)) / tanX,
      toward + Math.abs(corner.dot(up)) / tanY);
  }
  return Math.max(distance, 1e-3);
}

// Lays a ground grid under the box (just below its lowest point, so faces lying on the ground
// are not cut by its lines) and points the camera at the box's centre from above and to the
// side, just far enough for every corner to lie inside the view. Returns the grid (already in
// the scene) and its cell.
export function frameBox(box, scene, camera, controls) {
  const size = box.isEmpty() ? new THREE.Vector3(1, 1, 1) : box.getSize(new THREE.Vector3());
  const centre = box.isEmpty() ? new THREE.Vector3() : box.getCenter(new THREE.Vector3());
  const extent = Math.max(size.x, size.z, 1e-3);
  const cell = gridCell(extent);
  const cells = 2 * Math.ceil((extent * 0.75) / cell);
  const grid = new THREE.GridHelper(cells * cell, cells, 0x8a8f98, 0x4a4f58);
  const below = Math.max(size.y, extent) * 2e-3;
  grid.position.set(Math.round(centre.x / cell) * cell, box.isEmpty() ? 0 : box.min.y - below,
    Math.round(centre.z / cell) * cell);
  scene.add(grid);

  const direction = new THREE.Vector3(0.9, 0.7, 1.2).normalize();
  const distance = fitDistance(box, centre, direction, camera);
  camera.position.copy(centre).addScaledVector(direction, distance);
  camera.near = distance / 1000;
  camera.far = distance * 100;
  camera.updateProjectionMatrix();
  controls.target.copy(centre);
  controls.update();
  return { grid, cell };
}
