// Copies too small to see as shapes, drawn as points.
//
// A layout of a hundred thousand copies framed whole puts most copies at a fraction of a pixel:
// drawn as meshes they cost the renderer every vertex of every copy (a browser drawing in
// software takes seconds) and still show at most a speck each. So, per instanced mesh, a copy
// whose bounding sphere spans fewer than MIN_PIXELS across the view is drawn as one point of its
// material's colour, and the instanced mesh draws only the copies that are larger. Moving the
// camera shares the copies out again, so a copy the user comes close to shows its shape.
//
// The instanced mesh keeps the bounds of all its copies (for framing and culling) and its node
// name, and the points are its child: a click on a point picks the same node.
import * as THREE from 'three';

// Below this size across (in pixels) a copy is a point. Two pixels: a shape smaller than that
// shows no outline, only a colour.
const MIN_PIXELS = 2;

class FarCopies {
  constructor(mesh) {
    this.mesh = mesh;
    this.all = mesh.count;
    this.matrices = mesh.instanceMatrix.array.slice(0, this.all * 16);
    // The bounds of every copy, kept while fewer are drawn.
    mesh.computeBoundingBox();
    mesh.computeBoundingSphere();
    const geometry = mesh.geometry;
    if (!geometry.boundingSphere) geometry.computeBoundingSphere();
    const sphere = geometry.boundingSphere;
    // Each copy's centre and radius in the mesh's own space.
    this.centres = new Float32Array(this.all * 3);
    this.radii = new Float32Array(this.all);
    const m = new THREE.Matrix4();
    const c = new THREE.Vector3();
    for (let i = 0; i < this.all; i += 1) {
      m.fromArray(this.matrices, i * 16);
      c.copy(sphere.center).applyMatrix4(m);
      this.centres.set([c.x, c.y, c.z], i * 3);
      this.radii[i] = sphere.radius * m.getMaxScaleOnAxis();
    }
    this.far = new Uint8Array(this.all);
    this.farCount = -1;
    const material = Array.isArray(mesh.material) ? mesh.material[0] : mesh.material;
    const pointGeometry = new THREE.BufferGeometry();
    pointGeometry.setAttribute('position', new THREE.BufferAttribute(new Float32Array(this.all * 3), 3));
    this.points = new THREE.Points(pointGeometry, new THREE.PointsMaterial({
      color: material && material.color ? material.color : 0xcccccc,
      size: MIN_PIXELS,
      sizeAttenuation: false,
    }));
    this.points.frustumCulled = false;
    mesh.add(this.points);
  }

  // Shares the copies out for a camera at `cameraInMesh` (in the mesh's space, whose units are
  // `scale` world units); `pixelsPerUnit`: the view's height in pixels over twice the tangent of
  // half its angle, the size in pixels of one unit seen from one unit away.
  update(cameraInMesh, scale, pixelsPerUnit) {
    const { all, centres, radii, far } = this;
    let changed = false;
    let farCount = 0;
    for (let i = 0; i < all; i += 1) {
      const dx = centres[i * 3] - cameraInMesh.x;
      const dy = centres[i * 3 + 1] - cameraInMesh.y;
      const dz = centres[i * 3 + 2] - cameraInMesh.z;
      const distance = Math.sqrt(dx * dx + dy * dy + dz * dz) * scale;
      const across = (2 * radii[i] * scale * pixelsPerUnit) / Math.max(distance, 1e-9);
      const isFar = across < MIN_PIXELS ? 1 : 0;
      if (far[i] !== isFar) {
        far[i] = isFar;
        changed = true;
      }
      farCount += isFar;
    }
    if (!changed && farCount === this.farCount) return;
    this.farCount = farCount;
    const matrices = this.mesh.instanceMatrix.array;
    const positions = this.points.geometry.attributes.position.array;
    let near = 0;
    let point = 0;
    for (let i = 0; i < all; i += 1) {
      if (far[i]) {
        positions.set(centres.subarray(i * 3, i * 3 + 3), point * 3);
        point += 1;
      } else {
        matrices.set(this.matrices.subarray(i * 16, i * 16 + 16), near * 16);
        near += 1;
      }
    }
    this.mesh.count = near;
    this.mesh.instanceMatrix.needsUpdate = true;
    this.points.geometry.setDrawRange(0, point);
    this.points.geometry.attributes.position.needsUpdate = true;
    this.points.visible = point > 0;
  }
}

// The instanced meshes of `root`, ready to share their copies out at every view.
export function farCopies(root) {
  const list = [];
  root.traverse((obj) => {
    if (obj.isInstancedMesh && obj.count > 0) list.push(new FarCopies(obj));
  });
  const inverse = new THREE.Matrix4();
  const cameraInMesh = new THREE.Vector3();
  return {
    // Before each draw: `height` is the view's height in pixels.
    update(camera, height) {
      const pixelsPerUnit = height / (2 * Math.tan(THREE.MathUtils.degToRad(camera.fov / 2)));
      camera.updateMatrixWorld();
      for (const far of list) {
        far.mesh.updateMatrixWorld();
        const world = far.mesh.matrixWorld;
        inverse.copy(world).invert();
        cameraInMesh.setFromMatrixPosition(camera.matrixWorld).applyMatrix4(inverse);
        far.update(cameraInMesh, world.getMaxScaleOnAxis(), pixelsPerUnit);
      }
    },
    // The points drawn now, over all meshes.
    points() {
      return list.reduce((sum, far) => sum + Math.max(far.farCount, 0), 0);
    },
  };
}
